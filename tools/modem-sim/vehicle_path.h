#pragma once

#include "modem-sim/scenario.h"

#include <vector>

// Where a simulated vehicle is at a given moment: it drives its path as a closed loop (after the last
// point back to the first) at a constant speed from the simulator's start.
namespace kestrova {

struct VehicleFix {
    double Longitude = 0;
    double Latitude = 0;
    double Heading = 0; // degrees clockwise from north, 0 to below 360
};

class VehiclePath {
public:
    // points must not be empty; speedKmh >= 0.
    VehiclePath(std::vector<GeoPoint> points, double speedKmh);

    // The fix after seconds of driving (seconds >= 0). A single point, a loop of no length or speed 0
    // keep the vehicle at its first point, heading along its first leg (north without one).
    VehicleFix at(double seconds) const;

private:
    std::vector<GeoPoint> m_points;
    std::vector<double> m_legStart; // metres along the loop where leg i (point i to i+1) begins
    double m_length = 0;
    double m_metresPerSecond = 0;
    double m_metresPerDegreeLon = 0;
};

} // namespace kestrova
