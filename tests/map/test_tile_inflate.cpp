#include "map/tile_inflate.h"

#include "map_test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace kestrova {
namespace {

std::string zlibbed(const std::string& data) {
    uLongf size = compressBound(uLong(data.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
             uLong(data.size()));
    out.resize(size);
    return out;
}

TEST(TileInflate, GzipAndZlib_Unpacked) {
    const std::string text(10000, 'x');
    EXPECT_EQ(inflateTileData(test::gzipped(text), 1 << 20), text);
    EXPECT_EQ(inflateTileData(zlibbed(text), 1 << 20), text);
}

TEST(TileInflate, PlainProtobuf_TakenAsItIs) {
    const std::string tile = "\x1a\x02\x0a\x00";
    EXPECT_EQ(inflateTileData(tile, 100), tile);
    EXPECT_EQ(inflateTileData("", 100), "");
}

TEST(TileInflate, GzipOfNothing_GivesEmptyTile) {
    const std::string empty = test::gzipped("");
    EXPECT_EQ(empty.size(), 20u);
    EXPECT_EQ(inflateTileData(empty, 100), "");
}

TEST(TileInflate, TruncatedOrCorrupt_GivesNothing) {
    const std::string packed = test::gzipped(std::string(5000, 'a') + std::string(5000, 'b'));
    for (std::size_t cut : {std::size_t(2), std::size_t(10), packed.size() / 2, packed.size() - 1})
        EXPECT_FALSE(inflateTileData(packed.substr(0, cut), 1 << 20)) << cut;
    std::string corrupt = packed;
    corrupt[12] = char(corrupt[12] ^ 0x55);
    corrupt[13] = char(corrupt[13] ^ 0x55);
    EXPECT_FALSE(inflateTileData(corrupt, 1 << 20));
}

TEST(TileInflate, OutputCap_ExactFitKeptOverflowRefused) {
    const std::string text(4096, 'z');
    const std::string packed = test::gzipped(text);
    EXPECT_EQ(inflateTileData(packed, 4096), text);
    EXPECT_FALSE(inflateTileData(packed, 4095));
    // A small bomb: a megabyte of zeros packed into about a kilobyte.
    EXPECT_FALSE(inflateTileData(test::gzipped(std::string(1 << 20, '\0')), 64 * 1024));
}

} // namespace
} // namespace kestrova
