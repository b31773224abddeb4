#include "map/tile_cache.h"
#include "map/tile_cover.h"

#include <gtest/gtest.h>

#include <set>

namespace kestrova {
namespace {

using Cache = TileCache<int, int>;

std::set<int> keysOf(Cache& cache, std::initializer_list<int> candidates) {
    std::set<int> present;
    for (int key : candidates) {
        bool found = false;
        cache.find(key, &found);
        if (found)
            present.insert(key);
    }
    return present;
}

TEST(TileCache, CountBound_EvictsLeastRecentlyUsed) {
    Cache cache(3, 1000);
    for (int key : {1, 2, 3})
        cache.insert(key, std::make_shared<int>(key), 10);
    cache.find(1); // 2 is now the oldest
    cache.insert(4, std::make_shared<int>(4), 10);
    EXPECT_EQ(cache.size(), 3u);
    EXPECT_EQ(keysOf(cache, {1, 2, 3, 4}), (std::set<int>{1, 3, 4}));
}

TEST(TileCache, ByteBound_EvictsUntilItHoldsNewestAlwaysKept) {
    Cache cache(100, 100);
    cache.insert(1, std::make_shared<int>(1), 40);
    cache.insert(2, std::make_shared<int>(2), 40);
    cache.insert(3, std::make_shared<int>(3), 40);
    EXPECT_EQ(cache.bytes(), 80u);
    EXPECT_EQ(keysOf(cache, {1, 2, 3}), (std::set<int>{2, 3}));
    cache.insert(4, std::make_shared<int>(4), 500); // larger than the bound on its own
    EXPECT_EQ(keysOf(cache, {1, 2, 3, 4}), (std::set<int>{4}));
    EXPECT_EQ(cache.bytes(), 500u);
}

TEST(TileCache, Resize_GrowthCountsAgainstTheBound) {
    Cache cache(100, 100);
    cache.insert(1, std::make_shared<int>(1), 30);
    cache.insert(2, std::make_shared<int>(2), 30);
    cache.resize(2, 90);
    EXPECT_EQ(keysOf(cache, {1, 2}), (std::set<int>{2}));
    EXPECT_EQ(cache.bytes(), 90u);
}

TEST(TileCache, AbsenceRemembered_EvictedValueStaysValidForHolder) {
    Cache cache(1, 100);
    cache.insert(1, nullptr, 1);
    bool found = false;
    EXPECT_EQ(cache.find(1, &found), nullptr);
    EXPECT_TRUE(found);
    cache.find(2, &found);
    EXPECT_FALSE(found);
    cache.insert(2, std::make_shared<int>(22), 1);
    std::shared_ptr<int> held = cache.find(2);
    cache.insert(3, std::make_shared<int>(33), 1);
    EXPECT_EQ(*held, 22);
    cache.clear();
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(cache.bytes(), 0u);
}

// A view of 512 × 512 at zoom 14 whose corner is the corner of tile (14, 100, 200).
ViewWindow alignedView(int zoom = 14) {
    const double scale = std::ldexp(1.0, zoom - 14);
    return ViewWindow(512, 512, zoom,
                      {(100 * 256 + 256) * scale / worldPixels(zoom), (200 * 256 + 256) * scale / worldPixels(zoom)});
}

TEST(TileCover, AllPresent_EachVisibleTileOnce) {
    const auto draws = coverView(alignedView(), 0, 14, [](TileId) { return true; });
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0].tile, (TileId{14, 100, 200}));
    EXPECT_EQ(draws[0].rect, QRectF(0, 0, 256, 256));
    EXPECT_EQ(draws[3].tile, (TileId{14, 101, 201}));
    EXPECT_EQ(draws[3].clip, QRegion(256, 256, 256, 256));
}

TEST(TileCover, AboveMaxZoom_HighestLevelScaled) {
    // Zoom 16, centred on the middle of tile (14, 100, 200), which is 1024 pixels wide there.
    const ViewWindow view(512, 512, 16, {(100 * 256 + 128) / worldPixels(14), (200 * 256 + 128) / worldPixels(14)});
    const auto draws = coverView(view, 0, 14, [](TileId) { return true; });
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].tile, (TileId{14, 100, 200}));
    EXPECT_EQ(draws[0].rect, QRectF(-256, -256, 1024, 1024));
    EXPECT_EQ(draws[0].clip, QRegion(0, 0, 512, 512));
}

TEST(TileCover, MissingTiles_NearestAncestorDrawsTheirPartOnce) {
    // Tiles (14,100,200) and (14,101,200) are missing; their parent at 13 is (13,50,100), present.
    auto available = [](TileId id) {
        if (id.z == 14)
            return id.y == 201;
        return id.z == 13;
    };
    const auto draws = coverView(alignedView(), 6, 14, available);
    ASSERT_EQ(draws.size(), 3u);
    const auto parent = std::find_if(draws.begin(), draws.end(), [](const TileDraw& d) { return d.tile.z == 13; });
    ASSERT_NE(parent, draws.end());
    EXPECT_EQ(parent->tile, (TileId{13, 50, 100}));
    EXPECT_EQ(parent->clip, QRegion(0, 0, 512, 256));
    EXPECT_EQ(parent->rect, QRectF(0, 0, 512, 512));
}

TEST(TileCover, NothingAvailable_NothingDrawn) {
    EXPECT_TRUE(coverView(alignedView(), 6, 14, [](TileId) { return false; }).empty());
    EXPECT_TRUE(coverView(
                    alignedView(), 6, 14, [](TileId) { return true; }, 3)
                    .empty());
    EXPECT_TRUE(coverView(alignedView(), 8, 6, [](TileId) { return true; }).empty());
}

} // namespace
} // namespace kestrova
