#include "map/map_style.h"
#include "map/place_index.h"
#include "map/prepared_layer.h"
#include "map/tile_inflate.h"
#include "map/vector_tile.h"

#include "map_test_support.h"

#include <protozero/pbf_writer.hpp>

#include <gtest/gtest.h>

#include <random>

namespace kestrova {
namespace {

using test::TestFeature;
using test::TestLayer;

// One feature with raw command integers in a layer "l"; what survives of it.
const TileLayer* decodeOne(VectorTile& tile, uint32_t type, std::vector<uint32_t> geometry) {
    TestFeature feature{type, {{"class", std::string("x")}}, std::move(geometry)};
    tile = decodeVectorTile(test::encodeTile({TestLayer{"l", 4096, {feature}}}));
    return tile.layer("l");
}

std::vector<std::vector<std::pair<int, int>>> partsOf(const TileLayer& layer, const TileFeature& feature) {
    std::vector<std::vector<std::pair<int, int>>> parts;
    for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
        parts.emplace_back();
        for (uint32_t i = layer.partBegin(part); i < layer.partEnds[part]; ++i)
            parts.back().emplace_back(layer.points[i].x, layer.points[i].y);
    }
    return parts;
}

// The feature is dropped while a well-formed one next to it is kept.
void expectFeatureSkipped(uint32_t type, std::vector<uint32_t> geometry) {
    const TestFeature bad{type, {{"class", std::string("bad")}}, std::move(geometry)};
    const TestFeature good{1, {{"class", std::string("good")}}, test::pointGeometry(5, 5)};
    const VectorTile tile = decodeVectorTile(test::encodeTile({TestLayer{"l", 4096, {bad, good}}}));
    const TileLayer* layer = tile.layer("l");
    ASSERT_NE(layer, nullptr);
    ASSERT_EQ(layer->features.size(), 1u);
    EXPECT_EQ(layer->attribute(layer->features[0], "class")->text, "good");
}

TEST(VectorTile, MultiPolygonExample_CursorCarriesAcrossRings) {
    VectorTile tile;
    const TileLayer* layer = decodeOne(tile, 3, {9, 0,  0,  26, 20, 0, 0, 20, 19, 0, 15, 9, 22, 2, 26, 18, 0,
                                                 0, 18, 17, 0,  15, 9, 4, 13, 26, 0, 8,  8, 0,  0, 7,  15});
    ASSERT_NE(layer, nullptr);
    ASSERT_EQ(layer->features.size(), 1u);
    using Ring = std::vector<std::pair<int, int>>;
    const auto parts = partsOf(*layer, layer->features[0]);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], (Ring{{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
    EXPECT_EQ(parts[1], (Ring{{11, 11}, {20, 11}, {20, 20}, {11, 20}}));
    EXPECT_EQ(parts[2], (Ring{{13, 13}, {13, 17}, {17, 17}, {17, 13}}));
}

TEST(VectorTile, ReversedFirstRing_WholeFeatureTurnedRound) {
    VectorTile tile;
    // Exterior wound backwards (negative area) with a hole wound forwards.
    const TileLayer* layer = decodeOne(
        tile, 3,
        test::polygonGeometry({{{0, 0}, {0, 100}, {100, 100}, {100, 0}}, {{10, 10}, {20, 10}, {20, 20}, {10, 20}}}));
    ASSERT_EQ(layer->features.size(), 1u);
    const auto parts = partsOf(*layer, layer->features[0]);
    ASSERT_EQ(parts.size(), 2u);
    auto area = [](const std::vector<std::pair<int, int>>& ring) {
        long long sum = 0;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const auto& a = ring[i];
            const auto& b = ring[(i + 1) % ring.size()];
            sum += (long long)a.first * b.second - (long long)b.first * a.second;
        }
        return sum;
    };
    EXPECT_GT(area(parts[0]), 0);
    EXPECT_LT(area(parts[1]), 0);
}

TEST(VectorTile, ZigzagDeltas_DecodeSigned) {
    VectorTile tile;
    const TileLayer* layer = decodeOne(tile, 1, {9, 1, 3});
    ASSERT_EQ(layer->features.size(), 1u);
    EXPECT_EQ(layer->points[0].x, -1);
    EXPECT_EQ(layer->points[0].y, -2);
    // 4294967295 is INT32_MIN: far outside any tile, so the feature is dropped.
    EXPECT_TRUE(decodeOne(tile, 1, {9, 4294967295u, 0})->features.empty());
}

TEST(VectorTile, MalformedGeometry_FeatureSkipped) {
    expectFeatureSkipped(1, {(1 << 3) | 3, 2, 2});                                // unknown command 3
    expectFeatureSkipped(2, {(1 << 3) | 2, 2, 2});                                // LineTo before MoveTo
    expectFeatureSkipped(2, {9, 0, 0, (1000 << 3) | 2, 2, 2});                    // count beyond the data
    expectFeatureSkipped(1, {(0x1fffffffu << 3) | 1, 2, 2});                      // absurd count
    expectFeatureSkipped(1, {(0 << 3) | 1});                                      // MoveTo of nothing
    expectFeatureSkipped(1, {9, 2, 2, (1 << 3) | 2, 2, 2});                       // LineTo in a point
    expectFeatureSkipped(2, {9, 0, 0, (1 << 3) | 2, 2, 2, 15});                   // ClosePath in a line
    expectFeatureSkipped(2, {9, 0, 0});                                           // a line of one point
    expectFeatureSkipped(3, {9, 0, 0, (2 << 3) | 2, 20, 0, 0, 20});               // ring never closed
    expectFeatureSkipped(3, {9, 0, 0, (2 << 3) | 2, 20, 0, 0, 20, (2 << 3) | 7}); // ClosePath count 2
    expectFeatureSkipped(3, {9, 0, 0, (1 << 3) | 2, 20, 0, 15});                  // only a 2-point ring
    expectFeatureSkipped(3, {9, 0, 0, (2 << 3) | 2, 20, 0, 20, 0, 15});           // only a ring of no area
    expectFeatureSkipped(0, test::pointGeometry(1, 1));                           // unknown geometry type
    expectFeatureSkipped(4, test::pointGeometry(1, 1));
    expectFeatureSkipped(1, {}); // no geometry
}

TEST(VectorTile, DegenerateRing_DroppedOtherRingsKept) {
    VectorTile tile;
    const TileLayer* layer = decodeOne(tile, 3, {9, 0, 0, 26, 20, 0, 0, 20, 19, 0, 15, 9, 2, 2, 10, 2, 0, 15});
    ASSERT_EQ(layer->features.size(), 1u);
    EXPECT_EQ(partsOf(*layer, layer->features[0]).size(), 1u);
}

TEST(VectorTile, BadTags_OnlyValidPairsKept) {
    std::string layerData;
    {
        protozero::pbf_writer layer(layerData);
        layer.add_string(1, "l");
        std::string featureData;
        {
            protozero::pbf_writer feature(featureData);
            const std::vector<uint32_t> tags{0, 0, 1, 7, 9, 0, 1}; // good pair, bad value, bad key, odd end
            feature.add_packed_uint32(2, tags.begin(), tags.end());
            feature.add_uint32(3, 1);
            const std::vector<uint32_t> geometry = test::pointGeometry(1, 1);
            feature.add_packed_uint32(4, geometry.begin(), geometry.end());
        }
        layer.add_message(2, featureData);
        layer.add_string(3, "class");
        layer.add_string(3, "name");
        std::string value;
        protozero::pbf_writer(value).add_string(1, "park");
        layer.add_message(4, value);
    }
    std::string data;
    protozero::pbf_writer(data).add_message(3, layerData);
    const VectorTile tile = decodeVectorTile(data);
    ASSERT_EQ(tile.layers.size(), 1u);
    const TileLayer& layer = tile.layers[0];
    ASSERT_EQ(layer.features.size(), 1u);
    EXPECT_EQ(layer.features[0].tagEnd - layer.features[0].tagBegin, 2u);
    EXPECT_EQ(layer.attribute(layer.features[0], "class")->text, "park");
    EXPECT_EQ(layer.attribute(layer.features[0], "name"), nullptr);
}

// A layer with one good point feature and the given extra fields.
std::string layerWith(const std::function<void(protozero::pbf_writer&)>& extra) {
    std::string layerData;
    {
        protozero::pbf_writer layer(layerData);
        std::string featureData;
        {
            protozero::pbf_writer feature(featureData);
            feature.add_uint32(3, 1);
            const std::vector<uint32_t> geometry = test::pointGeometry(1, 1);
            feature.add_packed_uint32(4, geometry.begin(), geometry.end());
        }
        layer.add_message(2, featureData);
        extra(layer);
    }
    std::string data;
    protozero::pbf_writer(data).add_message(3, layerData);
    return data;
}

TEST(VectorTile, BadLayers_LeftOutGoodOnesKept) {
    auto decodedLayers = [](const std::function<void(protozero::pbf_writer&)>& extra) {
        return decodeVectorTile(layerWith([](protozero::pbf_writer& l) { l.add_string(1, "good"); }) + layerWith(extra))
            .layers.size();
    };
    EXPECT_EQ(decodedLayers([](protozero::pbf_writer& l) { l.add_string(1, "fine"); }), 2u);
    EXPECT_EQ(decodedLayers([](protozero::pbf_writer& l) { l.add_uint32(1, 7); }), 1u); // name as a number
    EXPECT_EQ(decodedLayers([](protozero::pbf_writer&) {}), 1u);                        // no name
    EXPECT_EQ(decodedLayers([](protozero::pbf_writer& l) {
                  l.add_string(1, "v3");
                  l.add_uint32(15, 3);
              }),
              1u);
    EXPECT_EQ(decodedLayers([](protozero::pbf_writer& l) {
                  l.add_string(1, "flat");
                  l.add_uint32(5, 0);
              }),
              1u);
    EXPECT_EQ(decodedLayers([](protozero::pbf_writer& l) {
                  l.add_string(1, "extent as text");
                  l.add_string(5, "4096");
              }),
              1u);
}

TEST(VectorTile, TruncatedTile_EarlierLayersKept) {
    const std::string first = test::encodeTile({TestLayer{"first", 4096, {{1, {}, test::pointGeometry(1, 1)}}}});
    const std::string second = test::encodeTile({TestLayer{"second", 4096, {{1, {}, test::pointGeometry(2, 2)}}}});
    const std::string whole = first + second;
    EXPECT_EQ(decodeVectorTile(whole).layers.size(), 2u);
    const VectorTile cut = decodeVectorTile(whole.substr(0, whole.size() - 3));
    ASSERT_EQ(cut.layers.size(), 1u);
    EXPECT_EQ(cut.layers[0].name, "first");
    EXPECT_TRUE(decodeVectorTile("").layers.empty());
}

TEST(VectorTile, ValueEncodings_NumbersOfEveryKindCompareAsNumbers) {
    std::string layerData;
    {
        protozero::pbf_writer layer(layerData);
        layer.add_string(1, "l");
        std::string featureData;
        {
            protozero::pbf_writer feature(featureData);
            const std::vector<uint32_t> tags{0, 0, 1, 1, 2, 2, 3, 3, 4, 4};
            feature.add_packed_uint32(2, tags.begin(), tags.end());
            feature.add_uint32(3, 1);
            const std::vector<uint32_t> geometry = test::pointGeometry(1, 1);
            feature.add_packed_uint32(4, geometry.begin(), geometry.end());
        }
        layer.add_message(2, featureData);
        for (const char* key : {"f", "d", "i", "s", "b"})
            layer.add_string(3, key);
        auto value = [&](auto write) {
            std::string data;
            {
                protozero::pbf_writer v(data);
                write(v);
            }
            layer.add_message(4, data);
        };
        value([](protozero::pbf_writer& v) { v.add_float(2, 25.0f); });
        value([](protozero::pbf_writer& v) { v.add_double(3, 25.0); });
        value([](protozero::pbf_writer& v) { v.add_int64(4, 25); });
        value([](protozero::pbf_writer& v) { v.add_sint64(6, -25); });
        value([](protozero::pbf_writer& v) { v.add_bool(7, true); });
    }
    std::string data;
    protozero::pbf_writer(data).add_message(3, layerData);
    const VectorTile tile = decodeVectorTile(data);
    const TileLayer& layer = tile.layers.at(0);
    const TileFeature& feature = layer.features.at(0);
    for (const char* key : {"f", "d", "i"}) {
        ASSERT_NE(layer.attribute(feature, key), nullptr);
        EXPECT_EQ(layer.attribute(feature, key)->number, 25.0) << key;
    }
    EXPECT_EQ(layer.attribute(feature, "s")->number, -25.0);
    EXPECT_EQ(layer.attribute(feature, "b")->kind, TileValue::Kind::Bool);
}

// Every index of the decoded tile stays inside its arrays.
void expectConsistent(const VectorTile& tile) {
    for (const TileLayer& layer : tile.layers) {
        for (const TileFeature& feature : layer.features) {
            ASSERT_LE(feature.tagEnd, layer.tags.size());
            ASSERT_LT(feature.partBegin, feature.partEnd);
            ASSERT_LE(feature.partEnd, layer.partEnds.size());
            for (uint32_t i = feature.tagBegin; i < feature.tagEnd; i += 2) {
                ASSERT_LT(layer.tags[i], layer.keys.size());
                ASSERT_LT(layer.tags[i + 1], layer.values.size());
            }
            for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
                ASSERT_LT(layer.partBegin(part), layer.partEnds[part]);
                ASSERT_LE(layer.partEnds[part], layer.points.size());
            }
        }
    }
}

// A tile that uses every part of the format: several layers, all geometry types, holes, attributes.
std::string sampleTile() {
    std::vector<TestLayer> layers;
    layers.push_back({"water",
                      4096,
                      {{3,
                        {{"class", std::string("river")}},
                        test::polygonGeometry({{{-20, -20}, {4116, -20}, {4116, 4116}, {-20, 4116}},
                                               {{100, 100}, {100, 300}, {300, 300}, {300, 100}}})}}});
    layers.push_back({"transportation_name",
                      4096,
                      {{2,
                        {{"name", std::string("松仁路")}, {"class", std::string("primary")}},
                        test::lineGeometry({{-8000, 200}, {2000, 210}, {8000, 220}})}}});
    layers.push_back({"poi",
                      4096,
                      {{1,
                        {{"name", std::string("中油加油站")}, {"class", std::string("fuel")}, {"rank", 25.0}},
                        test::pointGeometry(1000, 1000)},
                       {1, {{"name:latin", std::string("School")}, {"flag", true}}, test::pointGeometry(3000, 500)}}});
    return test::encodeTile(layers);
}

TEST(VectorTileFuzz, MutatedAndRandomTiles_DecodeSafely) {
    const std::string base = sampleTile();
    const std::string packed = test::gzipped(base);
    ASSERT_EQ(decodeVectorTile(base).layers.size(), 3u);

    QString error;
    const std::optional<MapStyle> style = parseMapStyle(
        R"({"version":8,"layers":[
            {"id":"w","type":"fill","source-layer":"water","filter":["==","class","river"]},
            {"id":"r","type":"line","source-layer":"transportation_name"},
            {"id":"n","type":"symbol","source-layer":"poi","layout":{"text-field":"{name}","symbol-placement":"line"}}]})",
        error);
    ASSERT_TRUE(style) << error.toStdString();

    std::mt19937 random(20240501);
    auto byteAt = [&](std::size_t size) { return std::uniform_int_distribution<std::size_t>(0, size - 1)(random); };
    auto randomByte = [&] { return char(std::uniform_int_distribution<int>(0, 255)(random)); };
    for (int round = 0; round < 3000; ++round) {
        std::string data = round % 10 == 9 ? packed : base;
        switch (round % 5) {
        case 0: // flip a few bytes
            for (int i = 0; i < 1 + round % 4; ++i)
                data[byteAt(data.size())] = randomByte();
            break;
        case 1: // cut short
            data.resize(byteAt(data.size()));
            break;
        case 2: // insert random bytes
            data.insert(byteAt(data.size()), std::string(1 + round % 7, randomByte()));
            break;
        case 3: // repeat a stretch
            data.insert(byteAt(data.size()), data.substr(byteAt(data.size()), 16));
            break;
        default: // all random
            data.assign(1 + round % 300, '\0');
            for (char& c : data)
                c = randomByte();
        }
        const std::optional<std::string> unpacked = inflateTileData(data, 1 << 20);
        if (!unpacked)
            continue;
        const VectorTile tile = decodeVectorTile(*unpacked);
        expectConsistent(tile);
        ASSERT_LE(tile.memoryBytes(), 128 * unpacked->size() + 4096) << "round " << round;
        for (const StyleLayer& layer : style->layers)
            prepareLayer(layer, tile);
        extractPlaces(tile, {14, 13724, 7014});
    }
}

} // namespace
} // namespace kestrova
