#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace kestrova {

// Writes a new raster MBTiles file: the metadata and tiles tables with their unique indexes, the tiles
// addressed by XYZ column/row and stored in TMS rows. Everything goes into one transaction; commit()
// makes the file complete. The file must not exist yet.
class MbtilesWriter {
public:
    explicit MbtilesWriter(const QString& path);

    void addMetadata(const QString& name, const QString& value);
    void addTile(int zoom, int x, int y, const QByteArray& data);
    void commit();

private:
    void exec(const char* sql);
    [[noreturn]] void fail(const QString& what) const;

    struct CloseDb {
        void operator()(sqlite3* db) const;
    };
    struct FinalizeStatement {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

    sqlite3_stmt* prepare(const char* sql);

    QString m_path;
    std::unique_ptr<sqlite3, CloseDb> m_db; // declared first: the statements are finalized before it closes
    Statement m_insertTile;
    Statement m_insertMetadata;
};

} // namespace kestrova
