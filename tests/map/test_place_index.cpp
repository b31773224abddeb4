#include "map/place_index.h"

#include "map_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace kestrova {
namespace {

using test::TestFeature;
using test::TestLayer;

constexpr int kZoom = 14;

// Tiles of zoom 14 around a point in Taipei, made of features placed by degrees.
class PlaceTiles {
public:
    void poi(double lon, double lat, const std::string& name, const std::string& kind) {
        add(lon, lat, "poi", {{"name", name}, {"class", kind}});
    }
    void place(double lon, double lat, const std::string& name, const std::string& kind) {
        add(lon, lat, "place", {{"name", name}, {"class", kind}});
    }
    // A road from one point to another, written into every tile of the box the two ends span (as tiles
    // are cut, each holds the stretch that crosses it and its buffer).
    void road(double lon1, double lat1, double lon2, double lat2, const std::string& name) {
        const TileId first = test::tileOf(std::min(lon1, lon2), std::max(lat1, lat2), kZoom);
        const TileId last = test::tileOf(std::max(lon1, lon2), std::min(lat1, lat2), kZoom);
        for (int x = first.x; x <= last.x; ++x) {
            for (int y = first.y; y <= last.y; ++y) {
                const TileId tile{kZoom, x, y};
                std::vector<std::pair<std::string, test::TestValue>> tags;
                if (!name.empty())
                    tags.push_back({"name", name});
                m_features[key(tile)]["transportation_name"].push_back(
                    {2, tags, test::lineGeometry({test::inTile(lon1, lat1, tile), test::inTile(lon2, lat2, tile)})});
            }
        }
    }

    PlaceFinder finder() {
        return PlaceFinder([this](TileId id) -> std::shared_ptr<const TilePlaces> {
            ++m_lookups;
            const auto found = m_features.find(key(id));
            if (found == m_features.end())
                return nullptr;
            std::vector<TestLayer> layers;
            for (const auto& [name, features] : found->second)
                layers.push_back({name, 4096, features});
            return std::make_shared<TilePlaces>(extractPlaces(decodeVectorTile(test::encodeTile(layers)), id));
        });
    }
    int lookups() const { return m_lookups; }

private:
    static std::tuple<int, int, int> key(TileId id) { return {id.z, id.x, id.y}; }
    void add(double lon, double lat, const std::string& layer,
             std::vector<std::pair<std::string, test::TestValue>> tags) {
        const TileId tile = test::tileOf(lon, lat, kZoom);
        const auto at = test::inTile(lon, lat, tile);
        if (tags[0].second == test::TestValue(std::string()))
            tags.erase(tags.begin());
        m_features[key(tile)][layer].push_back({1, std::move(tags), test::pointGeometry(at.x, at.y)});
    }

    std::map<std::tuple<int, int, int>, std::map<std::string, std::vector<TestFeature>>> m_features;
    int m_lookups = 0;
};

const WorldPoint kHere = worldFromDegrees(121.5650, 25.0330);

TEST(PlaceFinder, NearestPoi_WithinRadiusOnly) {
    PlaceTiles tiles;
    tiles.poi(121.5652, 25.0330, "中油加油站", "fuel"); // about 20 m east
    tiles.poi(121.5660, 25.0330, "信義國小", "school"); // about 100 m east
    tiles.poi(121.5650, 25.0331, "", "bench");          // nearer, but unnamed
    const PlaceFinder finder = tiles.finder();
    const auto near = finder.nearestPoi(kHere, kZoom, 30);
    ASSERT_TRUE(near);
    EXPECT_EQ(near->point.name, QStringLiteral("中油加油站"));
    EXPECT_EQ(near->point.kind, QStringLiteral("fuel"));
    EXPECT_NEAR(near->metres, 20.2, 0.5);
    EXPECT_FALSE(finder.nearestPoi(worldFromDegrees(121.5640, 25.0330), kZoom, 30));
}

TEST(PlaceFinder, NearestAcrossTileEdge_FoundInNeighbourTile) {
    // Tile 13724 ends at 121.5673828°E: the POI just across it is nearer than the one inside.
    PlaceTiles tiles;
    tiles.poi(121.5670, 25.0330, "Inside", "shop");
    tiles.poi(121.5675, 25.0330, "Across", "shop");
    const auto found = tiles.finder().nearestPoi(worldFromDegrees(121.5673, 25.0330), kZoom, 500);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->point.name, QStringLiteral("Across"));
}

TEST(PlaceFinder, FarMatch_SearchWalksOutwardAndStops) {
    PlaceTiles tiles;
    tiles.place(121.60, 25.05, "北辰市", "city"); // about 4 km away
    tiles.place(121.566, 25.034, "信義區", "suburb");
    const PlaceFinder finder = tiles.finder();
    const auto city = finder.nearestPlace(kHere, kZoom, 50000, {QStringLiteral("city")});
    ASSERT_TRUE(city);
    EXPECT_EQ(city->point.name, QStringLiteral("北辰市"));
    const int before = tiles.lookups();
    const auto district = finder.nearestPlace(kHere, kZoom, 10000, {QStringLiteral("suburb")});
    ASSERT_TRUE(district);
    EXPECT_EQ(district->point.name, QStringLiteral("信義區"));
    EXPECT_LE(tiles.lookups() - before, 9); // found in the first tile; at most its ring of neighbours looked at
    EXPECT_FALSE(finder.nearestPlace(kHere, kZoom, 10000, {QStringLiteral("village")}));
}

TEST(PlaceFinder, NearestRoad_DistanceToSegmentNotToVertices) {
    PlaceTiles tiles;
    tiles.road(121.5600, 25.0332, 121.5700, 25.0332, "松仁路"); // east-west, about 22 m north
    tiles.road(121.5600, 25.0329, 121.5700, 25.0329, "");       // nearer, unnamed
    tiles.road(121.5652, 25.0200, 121.5652, 25.0500, "基隆路"); // north-south, about 20 m east
    const auto road = tiles.finder().nearestRoad(kHere, kZoom, 5000);
    ASSERT_TRUE(road);
    EXPECT_EQ(road->name, QStringLiteral("基隆路"));
    EXPECT_NEAR(road->metres, 20.2, 0.5);
    const auto other = tiles.finder().nearestRoad(worldFromDegrees(121.5620, 25.0330), kZoom, 5000);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->name, QStringLiteral("松仁路"));
    EXPECT_NEAR(other->metres, 22.2, 0.5);
}

TEST(PlaceFinder, NothingNear_NothingFoundAndLookupsBounded) {
    PlaceTiles tiles;
    tiles.poi(121.70, 25.10, "Far", "shop");
    EXPECT_FALSE(tiles.finder().nearestPoi(kHere, kZoom, 5000));
    EXPECT_LE(tiles.lookups(), 49);
}

TEST(PlaceExtraction, PointsOutsideTheirTile_LeftOut) {
    // The same named POI copied into a neighbour tile's buffer counts once.
    const TileId tile{14, 13724, 7014};
    const VectorTile data = decodeVectorTile(test::encodeTile(
        {TestLayer{"poi",
                   4096,
                   {TestFeature{1, {{"name", std::string("公園")}}, test::pointGeometry(100, 100)},
                    TestFeature{1, {{"name", std::string("公園")}}, test::pointGeometry(-50, 100)},
                    TestFeature{1, {{"name:latin", std::string("Park")}}, test::pointGeometry(4095, 4095)}}}}));
    const TilePlaces places = extractPlaces(data, tile);
    ASSERT_EQ(places.pois.size(), 2u);
    EXPECT_EQ(places.pois[1].name, QStringLiteral("Park"));
    EXPECT_NEAR(places.pois[0].at.x, (13724 + 100.0 / 4096) / 16384, 1e-12);
}

TEST(PlaceExtraction, SegmentDistance_ClampedToEnds) {
    const WorldPoint a = worldFromDegrees(121.56, 25.03);
    const WorldPoint b = worldFromDegrees(121.57, 25.03);
    const WorldPoint beyond = worldFromDegrees(121.571, 25.03);
    EXPECT_NEAR(distanceToSegmentMetres(beyond, a, b), distanceMetres(beyond, b), 1e-6);
    EXPECT_NEAR(distanceToSegmentMetres(a, a, a), 0, 1e-9);
}

} // namespace
} // namespace kestrova
