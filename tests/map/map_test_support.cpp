#include "map_test_support.h"

#include <QFile>
#include <QGuiApplication>

#include <protozero/pbf_writer.hpp>
#include <sqlcipher/sqlite3.h>
#include <zlib.h>

#include <cmath>
#include <stdexcept>

// fontconfig keeps some of its start-up allocations until the process ends; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace kestrova::test {

namespace {

uint32_t command(uint32_t id, uint32_t count) {
    return (count << 3) | id;
}
uint32_t zigzag(int32_t value) {
    return protozero::encode_zigzag32(value);
}

void appendMoves(std::vector<uint32_t>& out, const std::vector<TilePointXY>& points, int32_t& cx, int32_t& cy,
                 std::size_t first, std::size_t last) {
    for (std::size_t i = first; i < last; ++i) {
        out.push_back(zigzag(points[i].x - cx));
        out.push_back(zigzag(points[i].y - cy));
        cx = points[i].x;
        cy = points[i].y;
    }
}

void check(int status, sqlite3* db) {
    if (status != SQLITE_OK && status != SQLITE_DONE && status != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

} // namespace

std::vector<uint32_t> pointGeometry(int32_t x, int32_t y) {
    return {command(1, 1), zigzag(x), zigzag(y)};
}

std::vector<uint32_t> lineGeometry(const std::vector<TilePointXY>& points) {
    std::vector<uint32_t> out{command(1, 1)};
    int32_t cx = 0;
    int32_t cy = 0;
    appendMoves(out, points, cx, cy, 0, 1);
    out.push_back(command(2, uint32_t(points.size() - 1)));
    appendMoves(out, points, cx, cy, 1, points.size());
    return out;
}

std::vector<uint32_t> polygonGeometry(const std::vector<std::vector<TilePointXY>>& rings) {
    std::vector<uint32_t> out;
    int32_t cx = 0;
    int32_t cy = 0;
    for (const auto& ring : rings) {
        out.push_back(command(1, 1));
        appendMoves(out, ring, cx, cy, 0, 1);
        out.push_back(command(2, uint32_t(ring.size() - 1)));
        appendMoves(out, ring, cx, cy, 1, ring.size());
        out.push_back(command(7, 1));
    }
    return out;
}

std::string encodeTile(const std::vector<TestLayer>& layers) {
    std::string data;
    protozero::pbf_writer tile(data);
    for (const TestLayer& layer : layers) {
        std::vector<std::string> keys;
        std::vector<TestValue> values;
        auto indexOf = [](auto& list, const auto& item) {
            for (std::size_t i = 0; i < list.size(); ++i) {
                if (list[i] == item)
                    return uint32_t(i);
            }
            list.push_back(item);
            return uint32_t(list.size() - 1);
        };
        std::string layerData;
        {
            protozero::pbf_writer out(layerData);
            out.add_string(1, layer.name);
            for (const TestFeature& feature : layer.features) {
                std::string featureData;
                {
                    protozero::pbf_writer f(featureData);
                    std::vector<uint32_t> tags;
                    for (const auto& [key, value] : feature.tags) {
                        tags.push_back(indexOf(keys, key));
                        tags.push_back(indexOf(values, value));
                    }
                    if (!tags.empty())
                        f.add_packed_uint32(2, tags.begin(), tags.end());
                    f.add_uint32(3, feature.type);
                    f.add_packed_uint32(4, feature.geometry.begin(), feature.geometry.end());
                }
                out.add_message(2, featureData);
            }
            for (const std::string& key : keys)
                out.add_string(3, key);
            for (const TestValue& value : values) {
                std::string valueData;
                {
                    protozero::pbf_writer v(valueData);
                    if (const auto* text = std::get_if<std::string>(&value))
                        v.add_string(1, *text);
                    else if (const auto* number = std::get_if<double>(&value))
                        v.add_float(2, float(*number));
                    else
                        v.add_bool(7, std::get<bool>(value));
                }
                out.add_message(4, valueData);
            }
            out.add_uint32(5, layer.extent);
            // Written last, as tilemaker does.
            out.add_uint32(15, 2);
        }
        tile.add_message(3, layerData);
    }
    return data;
}

std::string gzipped(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&stream, uLong(data.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

void writeMbtiles(const QString& path, const std::map<std::string, std::string>& metadata,
                  const std::vector<TestTile>& tiles) {
    QFile::remove(path);
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot create " + path.toStdString());
    check(sqlite3_exec(db,
                       "CREATE TABLE metadata (name TEXT, value TEXT);"
                       "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB);"
                       "CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row);",
                       nullptr, nullptr, nullptr),
          db);
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO metadata VALUES (?, ?)", -1, &insert, nullptr), db);
    for (const auto& [key, value] : metadata) {
        sqlite3_bind_text(insert, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, value.c_str(), -1, SQLITE_TRANSIENT);
        check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (?, ?, ?, ?)", -1, &insert, nullptr), db);
    for (const TestTile& tile : tiles) {
        sqlite3_bind_int(insert, 1, tile.id.z);
        sqlite3_bind_int(insert, 2, tile.id.x);
        sqlite3_bind_int(insert, 3, (1 << tile.id.z) - 1 - tile.id.y);
        sqlite3_bind_blob(insert, 4, tile.data.data(), int(tile.data.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

void runSql(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + path.toStdString());
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

TileId tileOf(double longitude, double latitude, int zoom) {
    const WorldPoint point = worldFromDegrees(longitude, latitude);
    const double count = std::ldexp(1.0, zoom);
    return {zoom, int(std::floor(point.x * count)), int(std::floor(point.y * count))};
}

TilePointXY inTile(double longitude, double latitude, TileId tile, uint32_t extent) {
    const WorldPoint point = worldFromDegrees(longitude, latitude);
    const double count = std::ldexp(1.0, tile.z);
    return {int32_t(std::lround((point.x * count - tile.x) * extent)),
            int32_t(std::lround((point.y * count - tile.y) * extent))};
}

void ensureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_map";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

} // namespace kestrova::test
