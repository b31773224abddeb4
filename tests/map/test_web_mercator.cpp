#include "map/map_engine.h"
#include "map/web_mercator.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

// Expected pixels worked out by hand from x = (lon + 180) / 360 · W and
// y = (1 − ln(tan φ + sec φ) / π) / 2 · W with W = 256 · 2^zoom.
struct PixelCase {
    double longitude;
    double latitude;
    int32_t px;
    int32_t py;
};

void expectPixels(int width, int height, int zoom, double centreLon, double centreLat,
                  std::initializer_list<PixelCase> cases) {
    MapEngine engine;
    engine.SetViewSize(width, height);
    engine.SetCenter(int32_t(std::lround(centreLon * 1e6)), int32_t(std::lround(centreLat * 1e6)));
    engine.SetZoom(zoom);
    for (const PixelCase& c : cases) {
        int32_t px = -1;
        int32_t py = -1;
        engine.ToPixel(int32_t(std::lround(c.longitude * 1e6)), int32_t(std::lround(c.latitude * 1e6)), px, py);
        EXPECT_EQ(px, c.px) << c.longitude << "," << c.latitude;
        EXPECT_EQ(py, c.py) << c.longitude << "," << c.latitude;
    }
}

TEST(WebMercator, GlobalPixels_MatchHandComputedValues) {
    const WorldPoint point = worldFromDegrees(121.565, 25.033);
    EXPECT_NEAR(point.x * worldPixels(14), 3513486.905, 0.001);
    EXPECT_NEAR(point.y * worldPixels(14), 1795748.501, 0.001);
    EXPECT_EQ(int(point.x * (1 << 14)), 13724);
    EXPECT_EQ(int(point.y * (1 << 14)), 7014);
    double lon = 0;
    double lat = 0;
    degreesFromWorld(point, lon, lat);
    EXPECT_NEAR(lon, 121.565, 1e-9);
    EXPECT_NEAR(lat, 25.033, 1e-9);
}

TEST(WebMercator, Latitude_ClampedToMercatorLimit) {
    EXPECT_DOUBLE_EQ(worldFromDegrees(0, 89.9).y, worldFromDegrees(0, kMaxMercatorLatitude).y);
    EXPECT_NEAR(worldFromDegrees(0, 90).y, 0.0, 1e-9);
    EXPECT_NEAR(worldFromDegrees(0, -90).y, 1.0, 1e-9);
}

TEST(WebMercator, MetresPerPixel_AtZoom14) {
    EXPECT_NEAR(metresPerWorldUnit(0.5) / worldPixels(14), 9.5546, 1e-4);
    EXPECT_NEAR(metresPerWorldUnit(worldFromDegrees(0, 25.03).y) / worldPixels(14), 8.657, 1e-3);
}

TEST(ToPixel, TaipeiView_MatchesHandComputedPixels) {
    // Centre pixel (3513486.905, 1795748.501); window corner floor(x − 352), floor(y − 224) =
    // (3513134, 1795524).
    expectPixels(704, 448, 14, 121.565, 25.033,
                 {{121.565, 25.033, 352, 224},
                  {121.566, 25.034, 364, 211},
                  {121.56, 25.03, 294, 263},
                  {121.5, 25.1, -405, -638}});
}

TEST(ToPixel, LowZoomAroundOrigin_MatchesHandComputedPixels) {
    // Zoom 6: W = 16384, the origin is at (8192, 8192) and the corner at (8142, 8152).
    expectPixels(100, 80, 6, 0, 0, {{0, 0, 50, 40}, {10, 10, 505, -418}, {-10, -10, -406, 497}});
}

TEST(ToPixel, FollowsTheViewLastSetUp) {
    MapEngine engine;
    engine.SetViewSize(704, 448);
    engine.SetCenter(121565000, 25033000);
    engine.SetZoom(14);
    engine.SetZoom(16); // as the place search does
    int32_t px = 0;
    int32_t py = 0;
    engine.ToPixel(121566000, 25034000, px, py);
    // At zoom 16 every distance from the centre is four times that of zoom 14.
    EXPECT_NEAR(px, 352 + 4 * (364.556 - 352.905), 1.0);
    EXPECT_NEAR(py, 224 + 4 * (211.642 - 224.501), 1.0);
}

} // namespace
} // namespace kestrova
