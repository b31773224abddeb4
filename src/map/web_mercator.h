#pragma once

#include <cstdint>

// Web Mercator arithmetic of the map engine: degrees to world and pixel coordinates with 256-pixel
// tiles, the view window that a centre, zoom and size select, and distances in metres.
namespace kestrova {

// Latitudes beyond this have no Web Mercator image; they are clamped to it.
inline constexpr double kMaxMercatorLatitude = 85.0511287798;
inline constexpr int kTileSize = 256;

// A point of the Mercator square: x and y both run 0..1, x from 180° west, y from the north edge.
struct WorldPoint {
    double x = 0;
    double y = 0;
};

// A tile of the XYZ scheme (row 0 at the north edge).
struct TileId {
    int z = 0;
    int x = 0;
    int y = 0;
    friend bool operator==(const TileId&, const TileId&) = default;
};

struct TileIdHash {
    std::size_t operator()(const TileId& id) const noexcept {
        return (std::size_t(uint32_t(id.z)) << 58) ^ (std::size_t(uint32_t(id.x)) << 29) ^ std::size_t(uint32_t(id.y));
    }
};

WorldPoint worldFromDegrees(double longitude, double latitude);
// Degrees of a world point: longitude first, latitude second.
void degreesFromWorld(WorldPoint point, double& longitude, double& latitude);
// Engine points are millionths of a degree, longitude first.
WorldPoint worldFromMicrodegrees(int32_t x, int32_t y);

// The width of the whole world in pixels at a zoom level (256 · 2^zoom).
double worldPixels(int zoom);

// Metres on the ground per world unit (the whole Mercator width) at a latitude given as world y.
double metresPerWorldUnit(double worldY);
// Ground distance between two nearby world points, measured at the latitude of the first.
double distanceMetres(WorldPoint a, WorldPoint b);

// The view: a window of width × height pixels at a zoom level, centred on a world point. The top-left
// pixel of the window sits at the whole global pixel (left, top), so a point's pixel is the floor of its
// global pixel less that corner.
class ViewWindow {
public:
    ViewWindow(int width, int height, int zoom, WorldPoint centre);
    // The window whose top-left pixel is the global pixel (left, top).
    static ViewWindow fromCorner(int width, int height, int zoom, double left, double top);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int zoom() const { return m_zoom; }
    double left() const { return m_left; }
    double top() const { return m_top; }
    double worldPixels() const { return m_worldPixels; }

    // The point's position inside the window in pixels, fractional.
    double viewX(WorldPoint point) const { return point.x * m_worldPixels - m_left; }
    double viewY(WorldPoint point) const { return point.y * m_worldPixels - m_top; }
    // The pixel that holds the point, clamped to the 32-bit range.
    int32_t pixelX(WorldPoint point) const;
    int32_t pixelY(WorldPoint point) const;

private:
    int m_width;
    int m_height;
    int m_zoom;
    double m_worldPixels;
    double m_left;
    double m_top;
};

} // namespace kestrova
