#pragma once

#include <cstdint>
#include <vector>

namespace kestrova {

// A longitude/latitude box in degrees (west, south, east, north).
struct GeoBounds {
    double west = 0;
    double south = 0;
    double east = 0;
    double north = 0;
};

// The tiles of one zoom level that a box covers, inclusive, in XYZ numbering (row 0 at the north).
struct TileRange {
    int zoom = 0;
    int minX = 0;
    int maxX = 0;
    int minY = 0;
    int maxY = 0;

    std::int64_t count() const { return std::int64_t(maxX - minX + 1) * (maxY - minY + 1); }
};

// Web Mercator tile ranges covering `bounds` at each zoom from minZoom to maxZoom, widened by `pad`
// tiles on every side (clamped to the world) so a view centred near the box's edge is still covered.
std::vector<TileRange> tileRangesFor(const GeoBounds& bounds, int minZoom, int maxZoom, int pad);

// The TMS row that MBTiles stores for XYZ row y at `zoom`.
int tmsRow(int zoom, int y);

} // namespace kestrova
