#include "map/mbtiles_file.h"

#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

namespace kestrova {

namespace {

// What a map file may hold in its metadata: real files have a few dozen rows, the largest value (the
// layer description "json") some megabytes at most.
constexpr int kMaxMetadataRows = 1000;
constexpr qint64 kMaxMetadataBytes = 32 * 1024 * 1024;
// The work one statement on a map file may do, in SQLite's virtual-machine steps. Reading the zoom range
// from an unindexed table of a million tiles takes some ten million, once at the load.
constexpr int kStatementBudgetSteps = 50'000'000;
// A tile look-up takes a hundred steps through an index, five a tile through a table without one: this
// budget (some milliseconds) lets such a table of 200,000 tiles answer, and bounds what a view that
// computes rows without end costs each look-up of a render or a place search.
constexpr int kTileLookupBudgetSteps = 1'000'000;
// The progress handler runs once per this many steps.
constexpr int kProgressInterval = 10'000;
// Together with the tile size limit of the callers: no value larger than this is ever made.
constexpr int kMaxValueBytes = 64 * 1024 * 1024;

QString sqliteError(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// The step's error text; an interruption is the work budget running out.
QString stepError(sqlite3* db, int status) {
    if (status == SQLITE_INTERRUPT)
        return QStringLiteral("a statement did not end within its work budget");
    return sqliteError(db);
}

std::optional<int> zoomValue(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > kMaxTileZoom)
        return std::nullopt;
    return value;
}

} // namespace

MbtilesFile::~MbtilesFile() {
    sqlite3_finalize(m_tileQuery);
    sqlite3_close(m_db);
}

std::unique_ptr<MbtilesFile> MbtilesFile::open(const QString& path, QString& error) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        error = QStringLiteral("cannot read %1").arg(path);
        return nullptr;
    }
    std::unique_ptr<MbtilesFile> file(new MbtilesFile);
    // Read-only, so that a wrong path never leaves a new empty database behind.
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &file->m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = file->m_db ? sqliteError(file->m_db) : QStringLiteral("cannot open %1").arg(path);
        return nullptr;
    }
    // Metadata and tiles may be views, which can compute rows without end or values of any size.
    sqlite3_limit(file->m_db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    sqlite3_progress_handler(file->m_db, kProgressInterval, &MbtilesFile::onProgress, file.get());
    if (!file->readMetadata(error) || !file->readZoomRange(error) || !file->prepareTileQuery(error) ||
        !file->checkTileLookups(error))
        return nullptr;
    return file;
}

int MbtilesFile::onProgress(void* file) {
    int& left = static_cast<MbtilesFile*>(file)->m_progressLeft;
    return --left < 0 ? 1 : 0;
}

void MbtilesFile::startBudget(int steps) {
    m_progressLeft = steps / kProgressInterval;
}

bool MbtilesFile::readMetadata(QString& error) {
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT name, value FROM metadata", -1, &query, nullptr) != SQLITE_OK) {
        error = sqliteError(m_db);
        return false;
    }
    startBudget(kStatementBudgetSteps);
    int status = SQLITE_ROW;
    int rows = 0;
    qint64 bytes = 0;
    while ((status = sqlite3_step(query)) == SQLITE_ROW) {
        bytes += sqlite3_column_bytes(query, 0) + sqlite3_column_bytes(query, 1);
        if (++rows > kMaxMetadataRows || bytes > kMaxMetadataBytes) {
            error = QStringLiteral("the metadata holds more than %1 rows or %2 bytes")
                        .arg(kMaxMetadataRows)
                        .arg(kMaxMetadataBytes);
            sqlite3_finalize(query);
            return false;
        }
        const auto* key = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(query, 1));
        if (key)
            m_metadata.emplace(QString::fromUtf8(key), QString::fromUtf8(value ? value : ""));
    }
    if (status != SQLITE_DONE)
        error = stepError(m_db, status);
    sqlite3_finalize(query);
    return status == SQLITE_DONE;
}

bool MbtilesFile::prepareTileQuery(QString& error) {
    const char* sql = "SELECT CASE WHEN length(tile_data) <= ?4 THEN tile_data END, length(tile_data) FROM tiles "
                      "WHERE zoom_level = ?1 AND tile_column = ?2 AND tile_row = ?3";
    if (sqlite3_prepare_v2(m_db, sql, -1, &m_tileQuery, nullptr) != SQLITE_OK) {
        error = sqliteError(m_db);
        return false;
    }
    return true;
}

void MbtilesFile::startTileQuery(int zoom, int column, int row, std::size_t maxBytes) {
    sqlite3_reset(m_tileQuery);
    sqlite3_bind_int(m_tileQuery, 1, zoom);
    sqlite3_bind_int(m_tileQuery, 2, column);
    sqlite3_bind_int(m_tileQuery, 3, row);
    sqlite3_bind_int64(m_tileQuery, 4, sqlite3_int64(maxBytes));
    startBudget(kTileLookupBudgetSteps);
}

bool MbtilesFile::checkTileLookups(QString& error) {
    // Look-ups of a tile that no file holds: a tiles table or view that cannot answer them within a
    // look-up's budget would leave every view blank and slow, so the file is refused now. One level alone
    // would not do: a view whose zoom column is a constant answers any other level at once, unread.
    for (int zoom = m_minZoom; zoom <= m_maxZoom; ++zoom) {
        startTileQuery(zoom, -1, -1, 0);
        int status = SQLITE_ROW;
        while (status == SQLITE_ROW)
            status = sqlite3_step(m_tileQuery);
        sqlite3_reset(m_tileQuery);
        if (status != SQLITE_DONE) {
            error = stepError(m_db, status);
            return false;
        }
    }
    return true;
}

bool MbtilesFile::readZoomRange(QString& error) {
    std::optional<int> low = zoomValue(metadata(QStringLiteral("minzoom")));
    std::optional<int> high = zoomValue(metadata(QStringLiteral("maxzoom")));
    if (!low || !high) {
        sqlite3_stmt* query = nullptr;
        if (sqlite3_prepare_v2(m_db, "SELECT MIN(zoom_level), MAX(zoom_level) FROM tiles", -1, &query, nullptr) !=
            SQLITE_OK) {
            error = sqliteError(m_db);
            return false;
        }
        startBudget(kStatementBudgetSteps);
        const int status = sqlite3_step(query);
        if (status == SQLITE_ROW && sqlite3_column_type(query, 0) == SQLITE_INTEGER) {
            const sqlite3_int64 first = sqlite3_column_int64(query, 0);
            const sqlite3_int64 last = sqlite3_column_int64(query, 1);
            if (!low && first >= 0 && first <= kMaxTileZoom)
                low = int(first);
            if (!high && last >= 0 && last <= kMaxTileZoom)
                high = int(last);
        }
        sqlite3_finalize(query);
        if (status != SQLITE_ROW && status != SQLITE_DONE) {
            error = stepError(m_db, status);
            return false;
        }
    }
    if (!low || !high || *low > *high) {
        error = QStringLiteral("no usable zoom range");
        return false;
    }
    m_minZoom = *low;
    m_maxZoom = *high;
    return true;
}

QString MbtilesFile::metadata(const QString& key) const {
    const auto found = m_metadata.find(key);
    return found == m_metadata.end() ? QString() : found->second;
}

MbtilesFile::TileState MbtilesFile::readTile(TileId tile, std::size_t maxBytes, std::string& data) {
    data.clear();
    if (tile.z < 0 || tile.z > kMaxTileZoom || tile.x < 0 || tile.y < 0 || tile.x >= (1 << tile.z) ||
        tile.y >= (1 << tile.z))
        return TileState::Missing;
    startTileQuery(tile.z, tile.x, tmsRow(tile.z, tile.y), maxBytes);
    const int status = sqlite3_step(m_tileQuery);
    TileState state = TileState::Unreadable;
    if (status == SQLITE_DONE) {
        state = TileState::Missing;
    } else if (status == SQLITE_ROW) {
        const bool tooLarge =
            sqlite3_column_type(m_tileQuery, 0) == SQLITE_NULL && sqlite3_column_type(m_tileQuery, 1) != SQLITE_NULL;
        if (!tooLarge) {
            const void* bytes = sqlite3_column_blob(m_tileQuery, 0);
            const int size = sqlite3_column_bytes(m_tileQuery, 0);
            if (bytes && size > 0)
                data.assign(static_cast<const char*>(bytes), std::size_t(size));
            state = TileState::Found;
        }
    }
    sqlite3_reset(m_tileQuery);
    return state;
}

} // namespace kestrova
