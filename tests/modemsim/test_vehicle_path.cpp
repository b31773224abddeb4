#include "modem-sim/vehicle_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace kestrova;

namespace {

// A square of about 360 m a side, driven anticlockwise seen from above: north, east, south, west.
const std::vector<GeoPoint> kSquare{{121.56, 25.03}, {121.56, 25.03325}, {121.5636, 25.03325}, {121.5636, 25.03}};

void expectFix(const VehicleFix& fix, double longitude, double latitude, double heading) {
    EXPECT_NEAR(fix.Longitude, longitude, 1e-9);
    EXPECT_NEAR(fix.Latitude, latitude, 1e-9);
    EXPECT_NEAR(fix.Heading, heading, 1e-6);
}

// The sides' lengths in metres by the simulator's flat projection.
const double kNorthSide = 0.00325 * 111320.0;
const double kEastSide = 0.0036 * 111320.0 * std::cos(25.03 * std::numbers::pi / 180.0);

} // namespace

TEST(VehiclePathDriving, Square_EachLegHeadsItsWayAndTheLoopCloses) {
    const VehiclePath path(kSquare, 36); // 10 m/s
    const double lap = (2 * kNorthSide + 2 * kEastSide) / 10;
    const double side = kNorthSide / 10;

    expectFix(path.at(0), 121.56, 25.03, 0);
    expectFix(path.at(side / 2), 121.56, 25.031625, 0);
    EXPECT_NEAR(path.at(side + 1).Heading, 90, 1e-6);
    EXPECT_NEAR(path.at(lap / 2 + 1).Heading, 180, 1e-6);
    // The closing leg from the last point back to the first heads west.
    EXPECT_NEAR(path.at(lap - 1).Heading, 270, 1e-6);
    EXPECT_NEAR(path.at(lap - 1).Latitude, 25.03, 1e-9);
    expectFix(path.at(lap + side / 2), 121.56, 25.031625, 0);
}

TEST(VehiclePathDriving, StandingVehicles_StayAtTheFirstPoint) {
    expectFix(VehiclePath({{121.56, 25.03}}, 50).at(1000), 121.56, 25.03, 0);
    expectFix(VehiclePath(kSquare, 0).at(1000), 121.56, 25.03, 0);
    // A repeated point makes a leg of no length: it is skipped, not driven with a made-up heading.
    expectFix(VehiclePath({{121.56, 25.03}, {121.56, 25.03}, {121.57, 25.03}}, 0).at(5), 121.56, 25.03, 90);
    expectFix(VehiclePath({{121.56, 25.03}, {121.56, 25.03}}, 30).at(5), 121.56, 25.03, 0);
}
