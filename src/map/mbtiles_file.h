#pragma once

#include "map/web_mercator.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// One MBTiles file opened read-only: its metadata and its tiles by XYZ address (rows are stored in TMS
// order, counted from the south edge).
namespace kestrova {

class MbtilesFile {
public:
    enum class TileState { Found, Missing, Unreadable };

    ~MbtilesFile();
    MbtilesFile(const MbtilesFile&) = delete;
    MbtilesFile& operator=(const MbtilesFile&) = delete;

    // The file opened, or nullptr with the reason in error: a missing or unreadable file, a file that is
    // not SQLite, one without the metadata and tiles tables, metadata beyond its row or size limit, or
    // a metadata or tiles table (either may be a view) that does not answer within the work budget (at
    // every zoom level of the file, for a tile look-up).
    static std::unique_ptr<MbtilesFile> open(const QString& path, QString& error);

    // A metadata value, "" when the key is absent.
    QString metadata(const QString& key) const;
    // The zoom range of the tiles: the metadata's minzoom/maxzoom, else the levels present.
    int minZoom() const { return m_minZoom; }
    int maxZoom() const { return m_maxZoom; }

    // The stored bytes of a tile. A stored empty or NULL tile is Found with no bytes; a tile larger than
    // maxBytes, a database error or a look-up beyond its work budget (far smaller than a statement's at
    // the load) is Unreadable.
    TileState readTile(TileId tile, std::size_t maxBytes, std::string& data);

    // The TMS row of an XYZ row at a zoom level.
    static int tmsRow(int zoom, int y) { return (1 << zoom) - 1 - y; }

private:
    MbtilesFile() = default;
    bool readMetadata(QString& error);
    bool readZoomRange(QString& error);
    bool prepareTileQuery(QString& error);
    bool checkTileLookups(QString& error);
    // The tile query reset and bound to a tile (TMS row) and a size limit, with a look-up's work budget.
    void startTileQuery(int zoom, int column, int row, std::size_t maxBytes);
    // The statement about to run gets this many steps of work, for all its steps together.
    void startBudget(int steps);
    static int onProgress(void* file);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_tileQuery = nullptr;
    // Progress calls still allowed to the statement being stepped.
    int m_progressLeft = 0;
    std::map<QString, QString> m_metadata;
    int m_minZoom = 0;
    int m_maxZoom = 0;
};

// Zoom levels beyond this are not used (tile addresses would overflow the pixel arithmetic).
inline constexpr int kMaxTileZoom = 24;

} // namespace kestrova
