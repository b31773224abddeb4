#include "map/line_label.h"
#include "map/map_engine.h"
#include "map/tile_geometry.h"

#include "map_test_support.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace kestrova {
namespace {

std::vector<LabelGlyph> latin(int count) {
    return std::vector<LabelGlyph>(std::size_t(count), LabelGlyph{QStringLiteral("a"), 10, false});
}

std::vector<LabelGlyph> cjk(int count) {
    return std::vector<LabelGlyph>(std::size_t(count), LabelGlyph{QStringLiteral("路"), 12, true});
}

TEST(LineLabel, PlacedAlongTheLineUprightOrRefused) {
    struct Case {
        const char* name;
        Polyline line;
        double at;
        std::vector<LabelGlyph> glyphs;
        bool placed;
        double firstAngle; // of the first character
        QPointF firstCentre; // (0, 0): not checked
    };
    const Case cases[] = {
        {"left to right", {{0, 50}, {200, 50}}, 100, latin(4), true, 0, {85, 50}},
        {"drawn right to left reads left to right", {{200, 50}, {0, 50}}, 100, latin(4), true, 0, {85, 50}},
        {"diagonal follows the line", {{0, 0}, {200, 200 * std::tan(M_PI / 6)}}, 100, latin(2), true, 30, {0, 0}},
        {"latin on a vertical line reads downwards", {{50, 200}, {50, 0}}, 100, latin(4), true, 90, {50, 85}},
        {"CJK on a vertical line stands upright, top down", {{50, 200}, {50, 0}}, 100, cjk(3), true, 0, {50, 88}},
        {"CJK on a flat line runs along it", {{0, 50}, {200, 50}}, 100, cjk(3), true, 0, {88, 50}},
        {"line shorter than the text", {{0, 50}, {30, 50}}, 15, latin(4), false, 0, {}},
        {"too close to the line's end", {{0, 50}, {200, 50}}, 185, latin(4), false, 0, {}},
        {"right-angle bend under the text", {{0, 50}, {100, 50}, {100, 150}}, 100, latin(6), false, 0, {}},
        {"gentle bend is followed",
         {{0, 50}, {100, 50}, {200, 50 + 100 * std::tan(M_PI / 12)}},
         100,
         latin(6),
         true,
         0,
         {75, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::vector<PlacedGlyph>> placed = placeAlongLine(LineMeasure(c.line), c.at, c.glyphs, 45);
        ASSERT_EQ(placed.has_value(), c.placed);
        if (!placed)
            continue;
        ASSERT_EQ(placed->size(), c.glyphs.size());
        EXPECT_NEAR(placed->front().angle, c.firstAngle, 1e-6);
        if (!c.firstCentre.isNull()) {
            EXPECT_NEAR(placed->front().centre.x(), c.firstCentre.x(), 1e-6);
            EXPECT_NEAR(placed->front().centre.y(), c.firstCentre.y(), 1e-6);
        }
        for (const PlacedGlyph& glyph : *placed)
            EXPECT_LE(std::abs(glyph.angle), 90.0 + 1e-9) << "upside down";
    }
}

TEST(LineLabel, AnchorsRepeatAtTheSpacing) {
    EXPECT_TRUE(labelAnchors(0, 250).empty());
    const auto one = labelAnchors(100, 250);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].front(), 50); // the middle first
    const auto four = labelAnchors(1000, 250);
    ASSERT_EQ(four.size(), 4u);
    for (std::size_t i = 0; i < four.size(); ++i) {
        EXPECT_EQ(four[i].front(), 125 + 250 * double(i));
        for (double at : four[i])
            EXPECT_LT(std::abs(at - four[i].front()), 125.0) << "a try leaves its stretch";
    }
}

TEST(LineLabel, PiecesOfOneStreetJoined) {
    // Three pieces meeting end to end, the middle one drawn the other way; a fourth apart.
    const std::vector<Polyline> merged =
        mergeLines({{{100, 0}, {200, 0}}, {{300, 0}, {200, 0}}, {{0, 0}, {100, 0}}, {{0, 50}, {50, 50}}});
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(merged[0], (Polyline{{0, 0}, {100, 0}, {200, 0}, {300, 0}}));
    EXPECT_EQ(merged[1], (Polyline{{0, 50}, {50, 50}}));
    EXPECT_EQ(splitGraphemes(QStringLiteral("中山路1段")).size(), 5u);
    EXPECT_TRUE(isUprightCharacter(QStringLiteral("中")));
    EXPECT_FALSE(isUprightCharacter(QStringLiteral("1")));
}

// A street of many pieces, listed from either end, from the middle outwards or drawn alternately either
// way round, is one line; a side street that meets it mid-way stays a line of its own.
TEST(LineLabel, PiecesOfOneStreetJoinedInAnyOrder) {
    constexpr int kPieces = 200;
    Polyline street;
    for (int i = 0; i <= kPieces; ++i)
        street.emplace_back(i * 10, (i % 3) * 4);
    const auto piece = [&](int i, bool reversed) {
        return reversed ? Polyline{street[i + 1], street[i]} : Polyline{street[i], street[i + 1]};
    };
    struct Case {
        const char* name;
        std::vector<Polyline> pieces;
    };
    std::vector<Case> cases(4);
    cases[0].name = "near end first";
    cases[1].name = "far end first";
    cases[2].name = "middle outwards";
    cases[3].name = "far end first, every other piece drawn backwards";
    for (int i = 0; i < kPieces; ++i) {
        cases[0].pieces.push_back(piece(i, false));
        cases[1].pieces.push_back(piece(kPieces - 1 - i, false));
        const int half = kPieces / 2;
        cases[2].pieces.push_back(piece(i % 2 ? half + i / 2 : half - 1 - i / 2, false));
        cases[3].pieces.push_back(piece(kPieces - 1 - i, i % 2 == 1));
    }
    Polyline backwards = street;
    std::reverse(backwards.begin(), backwards.end());
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.pieces.push_back({street[kPieces / 2], {1000, 500}});
        const std::vector<Polyline> merged = mergeLines(c.pieces);
        ASSERT_EQ(merged.size(), 2u);
        EXPECT_TRUE(merged[0] == street || merged[0] == backwards);
        EXPECT_EQ(merged[1], (Polyline{street[kPieces / 2], {1000, 500}}));
    }
}

TEST(TileGeometry, CutToTheTileAndThinned) {
    const QRectF box(0, 0, 100, 100);
    // In, out, in again: two pieces ending on the edge.
    const std::vector<Polyline> pieces = clipPolyline({{50, 50}, {150, 50}, {150, 80}, {50, 80}}, box);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], (Polyline{{50, 50}, {100, 50}}));
    EXPECT_EQ(pieces[1], (Polyline{{100, 80}, {50, 80}}));
    EXPECT_TRUE(clipPolyline({{200, 200}, {300, 300}}, box).empty());
    // A square half outside keeps its inside half; one wholly outside vanishes.
    const Polyline half = clipRing({{50, 20}, {150, 20}, {150, 60}, {50, 60}}, box);
    EXPECT_EQ(QPolygonF(QList<QPointF>(half.begin(), half.end())).boundingRect(), QRectF(50, 20, 50, 40));
    EXPECT_TRUE(clipRing({{200, 200}, {300, 200}, {300, 300}}, box).empty());
    // Points within the tolerance of the line go, corners stay.
    EXPECT_EQ(simplifyLine({{0, 0}, {50, 0.2}, {100, 0}, {100, 100}}, 0.5), (Polyline{{0, 0}, {100, 0}, {100, 100}}));
    EXPECT_EQ(simplifyLine({{0, 0}, {50, 0.1}, {100, 0}, {100, 100}, {0, 100}}, 0.5, true).size(), 4u);
}

// One vertical and one horizontal named street through the middle of a tile, drawn at the tile's zoom:
// each name runs along its street.
TEST(LineLabel, RenderedAlongVerticalAndHorizontalStreets) {
    test::ensureGuiApplication();
    QTemporaryDir dir;
    const TileId tile{14, 13724, 7014};
    const auto named = [](const char* name, std::vector<test::TilePointXY> points) {
        return test::TestFeature{2, {{"name", std::string(name)}}, test::lineGeometry(points)};
    };
    test::writeMbtiles(dir.filePath("map.mbtiles"),
                       {{"name", "t"}, {"format", "pbf"}, {"minzoom", "14"}, {"maxzoom", "14"}},
                       {{tile, test::gzipped(test::encodeTile({{"transportation_name",
                                                                4096,
                                                                {named("光復南路", {{1024, 4000}, {1024, 100}}),
                                                                 named("仁愛路", {{2000, 3000}, {4000, 3000}})}}}))}});
    QFile style(dir.filePath("style.json"));
    ASSERT_TRUE(style.open(QIODevice::WriteOnly));
    style.write(R"({"version":8,"layers":[{"id":"bg","type":"background","paint":{"background-color":"#ffffff"}},
        {"id":"names","type":"symbol","source":"omt","source-layer":"transportation_name",
         "layout":{"text-field":"{name}","symbol-placement":"line","text-size":14},"paint":{"text-color":"#000000"}}]})");
    style.close();
    MapEngine engine;
    ASSERT_EQ(engine.LoadProfile(dir.filePath("style.json")), 1);
    ASSERT_EQ(engine.OpenMap(dir.filePath("map.mbtiles")), 1);
    double lon = 0;
    double lat = 0;
    degreesFromWorld({(tile.x + 0.5) / 16384, (tile.y + 0.5) / 16384}, lon, lat);
    engine.SetViewSize(256, 256);
    engine.SetCenter(int32_t(std::lround(lon * 1e6)), int32_t(std::lround(lat * 1e6)));
    engine.SetZoom(14);
    int32_t result = 0;
    engine.SaveBitmap(dir.filePath("view.bmp"), result);
    const QImage image = QImage(dir.filePath("view.bmp")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(256, 256));
    // The dark pixels left and right of x = 128 are the two names.
    auto inkBox = [&](int from, int to) {
        QRect box;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = from; x < to; ++x) {
                if (qGray(image.pixel(x, y)) < 128)
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    };
    const QRect vertical = inkBox(0, 100);
    const QRect horizontal = inkBox(100, 256);
    ASSERT_FALSE(vertical.isEmpty());
    ASSERT_FALSE(horizontal.isEmpty());
    EXPECT_GT(vertical.height(), 3 * vertical.width());     // four characters stacked down the street
    EXPECT_NEAR(vertical.center().x(), 64, 4);              // on the street at x = 1024 / 16
    EXPECT_GT(horizontal.width(), 2 * horizontal.height()); // three characters side by side
    EXPECT_NEAR(horizontal.center().y(), 3000 / 16, 4);
}

} // namespace
} // namespace kestrova
