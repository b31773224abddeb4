#include "modem-sim/vehicle_path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrova {

namespace {

// A flat local projection is plenty for a town-sized path; the console measures its offsets the same way.
constexpr double kMetresPerDegreeLat = 111320.0;

double headingOf(double east, double north) {
    if (east == 0 && north == 0)
        return 0;
    double degrees = std::atan2(east, north) * 180.0 / std::numbers::pi;
    if (degrees < 0)
        degrees += 360.0;
    return degrees >= 360.0 ? 0.0 : degrees;
}

} // namespace

VehiclePath::VehiclePath(std::vector<GeoPoint> points, double speedKmh)
    : m_points(std::move(points)), m_metresPerSecond(speedKmh / 3.6) {
    m_metresPerDegreeLon = kMetresPerDegreeLat * std::cos(m_points.front().Latitude * std::numbers::pi / 180.0);
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        const GeoPoint& a = m_points[i];
        const GeoPoint& b = m_points[(i + 1) % m_points.size()];
        m_legStart.push_back(m_length);
        m_length += std::hypot((b.Longitude - a.Longitude) * m_metresPerDegreeLon,
                               (b.Latitude - a.Latitude) * kMetresPerDegreeLat);
    }
}

VehicleFix VehiclePath::at(double seconds) const {
    double along = 0;
    if (m_length > 0 && m_metresPerSecond > 0)
        along = std::fmod(std::max(0.0, seconds) * m_metresPerSecond, m_length);

    // The last leg whose start is at or before the distance driven, skipping legs of no length.
    std::size_t leg = 0;
    for (std::size_t i = 0; i < m_legStart.size(); ++i) {
        const double end = i + 1 < m_legStart.size() ? m_legStart[i + 1] : m_length;
        if (end > m_legStart[i] && m_legStart[i] <= along)
            leg = i;
    }
    const GeoPoint& a = m_points[leg];
    const GeoPoint& b = m_points[(leg + 1) % m_points.size()];
    const double east = (b.Longitude - a.Longitude) * m_metresPerDegreeLon;
    const double north = (b.Latitude - a.Latitude) * kMetresPerDegreeLat;
    const double legLength = std::hypot(east, north);
    const double t = legLength > 0 ? std::clamp((along - m_legStart[leg]) / legLength, 0.0, 1.0) : 0.0;

    VehicleFix fix;
    fix.Longitude = a.Longitude + (b.Longitude - a.Longitude) * t;
    fix.Latitude = a.Latitude + (b.Latitude - a.Latitude) * t;
    fix.Heading = headingOf(east, north);
    return fix;
}

} // namespace kestrova
