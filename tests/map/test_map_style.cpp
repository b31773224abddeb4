#include "map/map_style.h"

#include "map_test_support.h"

#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace kestrova {
namespace {

using test::TestFeature;
using test::TestLayer;

std::optional<MapStyle> parse(const QByteArray& json, QString* reason = nullptr) {
    QString error;
    std::optional<MapStyle> style = parseMapStyle(json, error);
    if (reason)
        *reason = error;
    return style;
}

// A style of one layer given as JSON.
QByteArray withLayer(const QByteArray& layer) {
    return R"({"version":8,"sources":{},"layers":[)" + layer + "]}";
}

void expectRejected(const QByteArray& json, const char* reasonPart) {
    QString reason;
    EXPECT_FALSE(parse(json, &reason)) << json.constData();
    EXPECT_TRUE(reason.contains(QLatin1String(reasonPart))) << reason.toStdString() << " for " << json.constData();
}

TEST(MapStyle, DemoStyle_Parses) {
    QFile file(QStringLiteral(KESTROVA_SOURCE_DIR "/maps/demo/style.json"));
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no demo style in this tree";
    QString reason;
    const std::optional<MapStyle> style = parse(file.readAll(), &reason);
    ASSERT_TRUE(style) << reason.toStdString();
    EXPECT_GT(style->layers.size(), 10u);
}

TEST(MapStyle, MutatedStyles_ParseOrFailWithoutHarm) {
    const QByteArray base = withLayer(R"json(
        {"id":"a","type":"line","source-layer":"x","minzoom":5,"filter":["all",["==","class","a"],["in","b",1,2]],
         "layout":{"line-cap":"round"},"paint":{"line-color":{"stops":[[5,"#fff"],[9,"rgba(1,2,3,0.5)"]]},
         "line-width":{"base":1.2,"stops":[[5,1],[10,4]]},"line-dasharray":[2,1]}},
        {"id":"b","type":"symbol","source-layer":"y","layout":{"text-field":"{name}","text-size":12},
         "paint":{"text-color":"hsl(10,50%,50%)"}})json");
    ASSERT_TRUE(parse(base));
    const QByteArray alphabet = "[]{}\",:0-9a#e. ";
    std::mt19937 random(99);
    for (int round = 0; round < 2000; ++round) {
        QByteArray json = base;
        for (int i = 0; i <= round % 3; ++i)
            json[qsizetype(random() % json.size())] = alphabet[qsizetype(random() % alphabet.size())];
        const std::optional<MapStyle> style = parse(json);
        if (style) {
            for (const StyleLayer& layer : style->layers) {
                layer.color.at(random() % 20);
                layer.lineWidth.at(7.5);
            }
        }
    }
}

TEST(MapStyle, Malformed_Rejected) {
    expectRejected("", "");
    expectRejected("{\"version\":8,", "");
    expectRejected("[1,2]", "not a JSON object");
    expectRejected(R"({"version":7,"layers":[]})", "version");
    expectRejected(R"({"version":8})", "layers");
    expectRejected(R"({"version":8,"layers":[],"terrain":{}})", "unsupported style property \"terrain\"");
    expectRejected(withLayer(R"({"id":"a","type":"raster","source-layer":"x"})"), "type");
    expectRejected(withLayer(R"({"type":"fill","source-layer":"x"})"), "id");
    expectRejected(withLayer(R"({"id":"a","type":"fill"})"), "source-layer");
    expectRejected(withLayer(R"({"id":"a","type":"fill","source-layer":"x","interactive":true})"),
                   "unsupported layer property \"interactive\"");
    expectRejected(withLayer(R"({"id":"a","type":"fill","source-layer":"x","paint":{"fill-pattern":"dots"}})"),
                   "unsupported paint property \"fill-pattern\"");
    expectRejected(withLayer(R"({"id":"a","type":"line","source-layer":"x","paint":{"fill-color":"#fff"}})"),
                   "unsupported paint property \"fill-color\"");
    expectRejected(withLayer(R"({"id":"a","type":"symbol","source-layer":"x","layout":{"icon-image":"x"}})"),
                   "unsupported layout property \"icon-image\"");
    expectRejected(withLayer(R"({"id":"a","type":"fill","source-layer":"x","paint":{"fill-color":"#ggg"}})"),
                   "fill-color");
    expectRejected(withLayer(R"({"id":"a","type":"line","source-layer":"x","paint":{"line-width":"2"}})"),
                   "line-width");
    expectRejected(withLayer(R"({"id":"a","type":"line","source-layer":"x","paint":{"line-width":{"stops":[]}}})"),
                   "stops");
    expectRejected(
        withLayer(R"({"id":"a","type":"line","source-layer":"x","paint":{"line-width":{"stops":[[5,1],[3,2]]}}})"),
        "ascending");
    expectRejected(
        withLayer(
            R"({"id":"a","type":"line","source-layer":"x","paint":{"line-width":{"type":"identity","stops":[[5,1]]}}})"),
        "unknown function property");
    expectRejected(withLayer(R"({"id":"a","type":"line","source-layer":"x","paint":{"line-width":["get","w"]}})"),
                   "line-width");
    expectRejected(withLayer(R"({"id":"a","type":"line","source-layer":"x","layout":{"line-cap":"pointy"}})"),
                   "line-cap");
    expectRejected(withLayer(R"({"id":"a","type":"fill","source-layer":"x","minzoom":"5"})"), "minzoom");
}

// Sizes that real styles stay well within are accepted up to the limit; beyond it the style is refused
// (a 100,000-entry dash array, 60,000 layers or a text-field of 20,000 keys took seconds and hundreds of
// megabytes a render).
TEST(MapStyle, OversizedValues_RefusedBeyondTheirLimits) {
    const auto numbers = [](int count, const char* each) {
        QByteArrayList items;
        for (int i = 0; i < count; ++i)
            items << QByteArray(each).replace("N", QByteArray::number(i));
        return "[" + items.join(',') + "]";
    };
    const auto dashes = [&](int count) {
        return withLayer(R"({"id":"a","type":"line","source-layer":"x","paint":{"line-dasharray":)" +
                         numbers(count, "2") + "}}");
    };
    const auto stops = [&](int count) {
        return withLayer(R"({"id":"a","type":"line","source-layer":"x","paint":{"line-width":{"stops":)" +
                         numbers(count, "[N,1]") + "}}}");
    };
    const auto layers = [&](int count) {
        return R"({"version":8,"layers":)" + numbers(count, R"({"id":"bN","type":"background"})") + "}";
    };
    EXPECT_TRUE(parse(dashes(16)));
    expectRejected(dashes(17), "line-dasharray may have at most 16 entries");
    EXPECT_TRUE(parse(stops(64)));
    expectRejected(stops(65), "1 to 64 stops");
    EXPECT_TRUE(parse(layers(1000)));
    expectRejected(layers(1001), "more than 1000 layers");
    const auto textField = [&](const QByteArray& field) {
        return withLayer(R"({"id":"a","type":"symbol","source-layer":"x","layout":{"text-field":")" + field + "\"}}");
    };
    const char* limits = "at most 256 characters and 16 keys";
    EXPECT_TRUE(parse(textField(QByteArray("{name}").repeated(16))));
    expectRejected(textField(QByteArray("{name}").repeated(17)), limits);
    expectRejected(textField(QByteArray("{name}").repeated(20000)), limits);
    EXPECT_TRUE(parse(textField("{name}" + QByteArray(250, 'x'))));
    expectRejected(textField("{name}" + QByteArray(251, 'x')), limits);
    // An unclosed brace is text, not a key.
    EXPECT_TRUE(parse(textField(QByteArray(200, '{'))));
}

TEST(MapStyle, BadFilters_Rejected) {
    for (const char* filter : {R"("==")", R"(["within","class"])", R"(["==","class"])", R"(["==","class","a","b"])",
                               R"(["has"])", R"(["has","a","b"])", R"(["==",1,2])", R"(["in","class",["x"]])",
                               R"(["==","class",null])", R"(["all",["bogus"]])", R"([])", R"({"==":1})"})
        expectRejected(withLayer(R"({"id":"a","type":"fill","source-layer":"x","filter":)" + QByteArray(filter) + "}"),
                       "");
}

// Whether the filter passes the one feature made of the given attributes (a point).
bool passes(const QByteArray& filter, std::vector<std::pair<std::string, test::TestValue>> tags, uint32_t type = 1) {
    const std::optional<MapStyle> style =
        parse(withLayer(R"({"id":"a","type":"fill","source-layer":"l","filter":)" + filter + "}"));
    if (!style)
        ADD_FAILURE() << "filter not parsed: " << filter.constData();
    std::vector<uint32_t> geometry = test::pointGeometry(1, 1);
    if (type == 2)
        geometry = test::lineGeometry({{0, 0}, {5, 5}});
    const VectorTile tile =
        decodeVectorTile(test::encodeTile({TestLayer{"l", 4096, {TestFeature{type, std::move(tags), geometry}}}}));
    const TileLayer& layer = tile.layers.at(0);
    return style && style->layers[0].filter->matches(layer, layer.features.at(0));
}

TEST(StyleFilter, Comparisons_TypedAndMissingKeysHandled) {
    EXPECT_TRUE(passes(R"(["==","rank",25])", {{"rank", 25.0}}));
    EXPECT_FALSE(passes(R"(["==","rank","25"])", {{"rank", 25.0}}));
    EXPECT_FALSE(passes(R"(["==","intermittent",1])", {{"intermittent", std::string("1")}}));
    EXPECT_TRUE(passes(R"(["==","intermittent","1"])", {{"intermittent", std::string("1")}}));
    EXPECT_TRUE(passes(R"(["!=","class","x"])", {}));
    EXPECT_FALSE(passes(R"(["==","class","x"])", {}));
    EXPECT_TRUE(passes(R"(["<=","admin_level",4])", {{"admin_level", 4.0}}));
    EXPECT_FALSE(passes(R"(["<","admin_level",4])", {{"admin_level", 4.0}}));
    EXPECT_TRUE(passes(R"([">","admin_level",4])", {{"admin_level", 6.0}}));
    EXPECT_FALSE(passes(R"([">=","admin_level",4])", {}));
    EXPECT_FALSE(passes(R"([">","admin_level","4"])", {{"admin_level", 6.0}}));
    EXPECT_TRUE(passes(R"(["<","name","b"])", {{"name", std::string("a")}}));
    EXPECT_TRUE(passes(R"(["==","oneway",true])", {{"oneway", true}}));
    EXPECT_TRUE(passes(R"(["has","name"])", {{"name:latin", std::string("河濱公園")}}));
    EXPECT_TRUE(passes(R"(["==","name","河濱公園"])", {{"name:latin", std::string("河濱公園")}}));
    EXPECT_FALSE(passes(R"(["has","ref"])", {{"ref:latin", std::string("3")}}));
}

TEST(StyleFilter, SetsAndCombinations) {
    const std::vector<std::pair<std::string, test::TestValue>> park{{"class", std::string("park")}};
    EXPECT_TRUE(passes(R"(["in","class","wood","park"])", park));
    EXPECT_FALSE(passes(R"(["in","class"])", park));
    EXPECT_FALSE(passes(R"(["!in","class","wood","park"])", park));
    EXPECT_TRUE(passes(R"(["!in","class","wood"])", {}));
    EXPECT_TRUE(passes(R"(["has","class"])", park));
    EXPECT_TRUE(passes(R"(["!has","name"])", park));
    EXPECT_TRUE(passes(R"(["all"])", park));
    EXPECT_FALSE(passes(R"(["any"])", park));
    EXPECT_TRUE(passes(R"(["all",["has","class"],["any",["==","class","x"],["==","class","park"]]])", park));
    EXPECT_TRUE(passes(R"(["==","$type","Point"])", park));
    EXPECT_TRUE(passes(R"(["==","$type","LineString"])", park, 2));
    EXPECT_FALSE(passes(R"(["==","$type","Polygon"])", park, 2));
}

TEST(ZoomValue, Stops_InterpolatedAndHeld) {
    const ZoomValue<double> linear({{6, 0.5}, {14, 6}}, 1);
    EXPECT_DOUBLE_EQ(linear.at(3), 0.5);
    EXPECT_DOUBLE_EQ(linear.at(10), 3.25);
    EXPECT_DOUBLE_EQ(linear.at(20), 6);
    const ZoomValue<double> exponential({{1, 2}, {3, 6}}, 2);
    EXPECT_NEAR(exponential.at(2), 10.0 / 3, 1e-12);
    const ZoomValue<double> steps({{10, 1}, {10, 5}, {12, 7}}, 1);
    EXPECT_DOUBLE_EQ(steps.at(11), 6);
    const ZoomValue<StyleColor> colours({{0, StyleColor{0, 0, 0, 1}}, {10, StyleColor{1, 0.5, 0, 0}}}, 1);
    const StyleColor middle = colours.at(5);
    EXPECT_DOUBLE_EQ(middle.r, 0.5);
    EXPECT_DOUBLE_EQ(middle.g, 0.25);
    EXPECT_DOUBLE_EQ(middle.a, 0.5);
}

TEST(MapStyle, Properties_ReadIntoLayer) {
    QString reason;
    const std::optional<MapStyle> style = parse(withLayer(R"json(
        {"id":"roads","type":"line","source":"omt","source-layer":"transportation","minzoom":6,"maxzoom":15,
         "filter":["all",["==","$type","LineString"],["!in","class","path","track"]],
         "layout":{"line-join":"round","line-cap":"round","visibility":"visible"},
         "paint":{"line-color":"#ffffff","line-width":{"base":1.4,"stops":[[6,0.5],[14,6]]},"line-opacity":0.5,
                  "line-dasharray":[3,2]}},
        {"id":"labels","type":"symbol","source-layer":"place","layout":{"text-field":"{name}","text-size":13,
         "symbol-placement":"line","symbol-spacing":{"stops":[[12,200],[16,400]]},"text-font":["Noto Sans Regular"],
         "text-padding":4,"visibility":"none"},
         "paint":{"text-color":"rgba(10,20,30,0.5)","text-halo-color":"#fff","text-halo-width":1.5}})json"),
                                                &reason);
    ASSERT_TRUE(style) << reason.toStdString();
    const StyleLayer& roads = style->layers.at(0);
    EXPECT_EQ(roads.type, StyleLayerType::Line);
    EXPECT_EQ(roads.sourceLayer, "transportation");
    EXPECT_TRUE(roads.isDrawnAt(6));
    EXPECT_TRUE(roads.isDrawnAt(14.9));
    EXPECT_FALSE(roads.isDrawnAt(15));
    EXPECT_FALSE(roads.isDrawnAt(5));
    EXPECT_EQ(roads.lineJoin, Qt::RoundJoin);
    EXPECT_EQ(roads.lineCap, Qt::RoundCap);
    EXPECT_EQ(roads.lineDashes, (std::vector<double>{3, 2}));
    EXPECT_DOUBLE_EQ(roads.opacity.at(10), 0.5);
    EXPECT_DOUBLE_EQ(roads.lineWidth.at(14), 6);
    const StyleLayer& labels = style->layers.at(1);
    EXPECT_FALSE(labels.visible);
    EXPECT_TRUE(labels.linePlacement);
    EXPECT_DOUBLE_EQ(labels.symbolSpacing.at(14), 300);
    EXPECT_DOUBLE_EQ(labels.textSize.at(3), 13);
    EXPECT_DOUBLE_EQ(labels.textPadding, 4);
    EXPECT_DOUBLE_EQ(labels.color.at(0).a, 0.5);
    EXPECT_DOUBLE_EQ(labels.haloWidth.at(0), 1.5);
}

TEST(StyleColor, CssForms_Parsed) {
    auto rgba = [](const char* text) {
        const std::optional<StyleColor> color = parseStyleColor(QString::fromLatin1(text));
        return color ? color->toQColor().rgba() : 0x12345678u;
    };
    EXPECT_EQ(rgba("#f00"), 0xffff0000u);
    EXPECT_EQ(rgba("#a8cbe8"), 0xffa8cbe8u);
    EXPECT_EQ(rgba("#A8CBE880"), 0x80a8cbe8u); // alpha last, as CSS has it
    EXPECT_EQ(rgba("#f008"), 0x88ff0000u);
    EXPECT_EQ(rgba("rgb(255, 128, 0)"), 0xffff8000u);
    EXPECT_EQ(rgba("rgba(0,0,255,0.5)"), 0x800000ffu);
    EXPECT_EQ(rgba("hsl(120, 100%, 50%)"), 0xff00ff00u);
    EXPECT_EQ(rgba("hsla(0, 100%, 50%, 1)"), 0xffff0000u);
    EXPECT_EQ(rgba("white"), 0xffffffffu);
    EXPECT_EQ(rgba("transparent") >> 24, 0u);
    for (const char* bad : {"", "#", "#12", "#12345", "#+ff", "#gggggg", "rgb(1,2)", "rgb(a,b,c)", "hsl(1,2,3)",
                            "blurple", "rgb(1,2,3", "12"})
        EXPECT_EQ(rgba(bad), 0x12345678u) << bad;
}

TEST(MapStyle, TextField_FilledFromAttributesWithNameFallback) {
    const VectorTile tile = decodeVectorTile(test::encodeTile(
        {TestLayer{"l",
                   4096,
                   {TestFeature{1, {{"name", std::string("松仁路")}, {"ref", 3.0}}, test::pointGeometry(1, 1)},
                    TestFeature{1, {{"name:latin", std::string("Songren Rd")}}, test::pointGeometry(1, 1)}}}}));
    const TileLayer& layer = tile.layers.at(0);
    EXPECT_EQ(expandTextField("{name}", layer, layer.features[0]), QStringLiteral("松仁路"));
    EXPECT_EQ(expandTextField("{name} ({ref})", layer, layer.features[0]), QStringLiteral("松仁路 (3)"));
    EXPECT_EQ(expandTextField("{name}", layer, layer.features[1]), QStringLiteral("Songren Rd"));
    EXPECT_EQ(expandTextField("{ref}", layer, layer.features[1]), QString());
    EXPECT_EQ(expandTextField("Road {name", layer, layer.features[0]), QStringLiteral("Road {name"));
}

} // namespace
} // namespace kestrova
