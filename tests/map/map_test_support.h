#pragma once

#include "map/web_mercator.h"

#include <QString>

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

// Builders for the map tests: vector tiles encoded from plain descriptions, gzip, MBTiles files, and the
// application object that fonts need.
namespace kestrova::test {

using TestValue = std::variant<std::string, double, bool>;

struct TestFeature {
    uint32_t type = 1; // 1 point, 2 line, 3 polygon
    std::vector<std::pair<std::string, TestValue>> tags;
    std::vector<uint32_t> geometry; // command integers
};

struct TestLayer {
    std::string name;
    uint32_t extent = 4096;
    std::vector<TestFeature> features;
};

struct TilePointXY {
    int32_t x;
    int32_t y;
};

// Command streams for one point, one line, and polygon rings (each ring given without its closing point).
std::vector<uint32_t> pointGeometry(int32_t x, int32_t y);
std::vector<uint32_t> lineGeometry(const std::vector<TilePointXY>& points);
std::vector<uint32_t> polygonGeometry(const std::vector<std::vector<TilePointXY>>& rings);

std::string encodeTile(const std::vector<TestLayer>& layers);
std::string gzipped(const std::string& data);

struct TestTile {
    TileId id;
    std::string data;
};

// A new MBTiles file with the metadata and tiles given (rows stored in TMS order).
void writeMbtiles(const QString& path, const std::map<std::string, std::string>& metadata,
                  const std::vector<TestTile>& tiles);

// Runs SQL on the SQLite file at path, creating it when missing.
void runSql(const QString& path, const char* sql);

// The position of a point in a tile's units (4096 per tile) at a zoom level: the tile, and x, y inside it.
TileId tileOf(double longitude, double latitude, int zoom);
TilePointXY inTile(double longitude, double latitude, TileId tile, uint32_t extent = 4096);

// Creates the one QGuiApplication of the test program (offscreen) unless there is one already.
void ensureGuiApplication();

} // namespace kestrova::test
