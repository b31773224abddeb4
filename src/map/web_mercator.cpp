#include "map/web_mercator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace kestrova {

namespace {

// Equatorial circumference of the WGS 84 sphere that Web Mercator uses.
constexpr double kEarthCircumference = 40075016.685578488;

int32_t clampToInt32(double value) {
    if (std::isnan(value))
        return 0;
    const double low = std::numeric_limits<int32_t>::min();
    const double high = std::numeric_limits<int32_t>::max();
    return int32_t(std::clamp(std::floor(value), low, high));
}

} // namespace

WorldPoint worldFromDegrees(double longitude, double latitude) {
    const double lat = std::clamp(latitude, -kMaxMercatorLatitude, kMaxMercatorLatitude) * std::numbers::pi / 180.0;
    WorldPoint point;
    point.x = (longitude + 180.0) / 360.0;
    point.y = (1.0 - std::log(std::tan(lat) + 1.0 / std::cos(lat)) / std::numbers::pi) / 2.0;
    return point;
}

void degreesFromWorld(WorldPoint point, double& longitude, double& latitude) {
    longitude = point.x * 360.0 - 180.0;
    latitude = std::atan(std::sinh(std::numbers::pi * (1.0 - 2.0 * point.y))) * 180.0 / std::numbers::pi;
}

WorldPoint worldFromMicrodegrees(int32_t x, int32_t y) {
    return worldFromDegrees(x / 1e6, y / 1e6);
}

double worldPixels(int zoom) {
    return kTileSize * std::ldexp(1.0, zoom);
}

double metresPerWorldUnit(double worldY) {
    double longitude = 0;
    double latitude = 0;
    degreesFromWorld({0.0, worldY}, longitude, latitude);
    return kEarthCircumference * std::cos(latitude * std::numbers::pi / 180.0);
}

double distanceMetres(WorldPoint a, WorldPoint b) {
    return std::hypot(b.x - a.x, b.y - a.y) * metresPerWorldUnit(a.y);
}

ViewWindow::ViewWindow(int width, int height, int zoom, WorldPoint centre)
    : m_width(width), m_height(height), m_zoom(zoom), m_worldPixels(kestrova::worldPixels(zoom)),
      m_left(std::floor(centre.x * m_worldPixels - width / 2.0)),
      m_top(std::floor(centre.y * m_worldPixels - height / 2.0)) {}

ViewWindow ViewWindow::fromCorner(int width, int height, int zoom, double left, double top) {
    ViewWindow view(width, height, zoom, WorldPoint{});
    view.m_left = left;
    view.m_top = top;
    return view;
}

int32_t ViewWindow::pixelX(WorldPoint point) const {
    return clampToInt32(viewX(point));
}
int32_t ViewWindow::pixelY(WorldPoint point) const {
    return clampToInt32(viewY(point));
}

} // namespace kestrova
