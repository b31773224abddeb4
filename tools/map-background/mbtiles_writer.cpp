#include "mbtiles_writer.h"

#include "startup/runtime_error.h"
#include "tile_range.h"

#include <sqlcipher/sqlite3.h>

namespace kestrova {

void MbtilesWriter::CloseDb::operator()(sqlite3* db) const {
    sqlite3_close(db);
}

void MbtilesWriter::FinalizeStatement::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

MbtilesWriter::MbtilesWriter(const QString& path) : m_path(path) {
    const QByteArray file = path.toLocal8Bit();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    m_db.reset(db); // a handle comes back even when opening fails, and must be closed
    if (rc != SQLITE_OK) {
        fail(QStringLiteral("cannot create"));
    }
    // A half-written file is thrown away by the caller, so the journal would only cost time.
    exec("PRAGMA journal_mode = OFF");
    exec("PRAGMA synchronous = OFF");
    exec("BEGIN");
    exec("CREATE TABLE metadata (name TEXT, value TEXT)");
    exec("CREATE UNIQUE INDEX metadata_name ON metadata (name)");
    exec("CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB)");
    exec("CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row)");
    m_insertMetadata.reset(prepare("INSERT INTO metadata (name, value) VALUES (?, ?)"));
    m_insertTile.reset(prepare("INSERT INTO tiles (zoom_level, tile_column, tile_row, tile_data) VALUES (?, ?, ?, ?)"));
}

void MbtilesWriter::addMetadata(const QString& name, const QString& value) {
    const QByteArray n = name.toUtf8();
    const QByteArray v = value.toUtf8();
    sqlite3_stmt* s = m_insertMetadata.get();
    sqlite3_reset(s);
    sqlite3_bind_text(s, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, v.constData(), int(v.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(s) != SQLITE_DONE) {
        fail(QStringLiteral("cannot write metadata \"%1\" to").arg(name));
    }
}

void MbtilesWriter::addTile(int zoom, int x, int y, const QByteArray& data) {
    sqlite3_stmt* s = m_insertTile.get();
    sqlite3_reset(s);
    sqlite3_bind_int(s, 1, zoom);
    sqlite3_bind_int(s, 2, x);
    sqlite3_bind_int(s, 3, tmsRow(zoom, y));
    sqlite3_bind_blob(s, 4, data.constData(), int(data.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(s) != SQLITE_DONE) {
        fail(QStringLiteral("cannot write tile %1/%2/%3 to").arg(zoom).arg(x).arg(y));
    }
}

void MbtilesWriter::commit() {
    exec("COMMIT");
}

sqlite3_stmt* MbtilesWriter::prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), sql, -1, &statement, nullptr) != SQLITE_OK) {
        fail(QStringLiteral("cannot prepare a statement for"));
    }
    return statement;
}

void MbtilesWriter::exec(const char* sql) {
    if (sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(QStringLiteral("cannot set up"));
    }
}

void MbtilesWriter::fail(const QString& what) const {
    const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db.get())) : QStringLiteral("out of memory");
    throw RuntimeError(QStringLiteral("%1 %2: %3").arg(what, m_path, reason));
}

} // namespace kestrova
