#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A decoded Mapbox Vector Tile: layers of features with attributes and geometry in tile units
// (0..extent, y down). Geometry of all features of a layer is kept in flat arrays.
namespace kestrova {

enum class GeometryType : uint8_t { Point = 1, LineString = 2, Polygon = 3 };

struct TileValue {
    enum class Kind : uint8_t { None, String, Number, Bool };
    Kind kind = Kind::None;
    std::string text;
    double number = 0;
    bool flag = false;
};

struct TilePoint {
    int32_t x = 0;
    int32_t y = 0;
};

// A feature's attributes are the (key, value) index pairs tagBegin..tagEnd of its layer's tag array;
// its geometry is the parts partBegin..partEnd. A part is a point run (points), a line (lines) or a
// ring (polygons: exteriors wound with positive area, holes negative, the closing point not repeated).
struct TileFeature {
    GeometryType type = GeometryType::Point;
    uint32_t tagBegin = 0;
    uint32_t tagEnd = 0;
    uint32_t partBegin = 0;
    uint32_t partEnd = 0;
};

struct TileLayer {
    std::string name;
    uint32_t extent = 4096;
    std::vector<std::string> keys;
    std::vector<TileValue> values;
    std::vector<TileFeature> features;
    std::vector<uint32_t> tags; // key index, value index, key index, value index...
    std::vector<TilePoint> points;
    std::vector<uint32_t> partEnds; // one past the last point of each part

    // The value of the feature's attribute, nullptr when it has none.
    const TileValue* attribute(const TileFeature& feature, std::string_view key) const;
    uint32_t partBegin(uint32_t part) const { return part == 0 ? 0 : partEnds[part - 1]; }
    std::size_t memoryBytes() const;
};

struct VectorTile {
    std::vector<TileLayer> layers;

    const TileLayer* layer(std::string_view name) const;
    std::size_t memoryBytes() const;
};

// The tile in protobuf form decoded. Never throws: a malformed layer is left out, a malformed feature is
// skipped, and attributes with bad indexes are ignored.
VectorTile decodeVectorTile(std::string_view data);

} // namespace kestrova
