#include "tile_range.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrova {

namespace {

constexpr double kMaxLatitude = 85.0511287798;

int tileX(double lon, int zoom) {
    const double n = std::ldexp(1.0, zoom);
    return std::clamp(int(std::floor((lon + 180.0) / 360.0 * n)), 0, int(n) - 1);
}

int tileY(double lat, int zoom) {
    const double n = std::ldexp(1.0, zoom);
    const double phi = std::clamp(lat, -kMaxLatitude, kMaxLatitude) * std::numbers::pi / 180.0;
    const double y = (1.0 - std::log(std::tan(phi) + 1.0 / std::cos(phi)) / std::numbers::pi) / 2.0 * n;
    return std::clamp(int(std::floor(y)), 0, int(n) - 1);
}

} // namespace

std::vector<TileRange> tileRangesFor(const GeoBounds& bounds, int minZoom, int maxZoom, int pad) {
    std::vector<TileRange> ranges;
    for (int z = minZoom; z <= maxZoom; ++z) {
        const int last = (1 << z) - 1;
        TileRange r;
        r.zoom = z;
        r.minX = std::max(0, tileX(bounds.west, z) - pad);
        r.maxX = std::min(last, tileX(bounds.east, z) + pad);
        r.minY = std::max(0, tileY(bounds.north, z) - pad);
        r.maxY = std::min(last, tileY(bounds.south, z) + pad);
        ranges.push_back(r);
    }
    return ranges;
}

int tmsRow(int zoom, int y) {
    return (1 << zoom) - 1 - y;
}

} // namespace kestrova
