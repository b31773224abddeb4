#include "map/map_engine.h"

#include "map/label_placer.h"
#include "map/mbtiles_file.h"
#include "startup/runtime_error.h"

#include "map_test_support.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <random>

namespace kestrova {
namespace {

using test::TestFeature;
using test::TestLayer;
using test::TilePointXY;

constexpr QRgb kBackground = qRgb(0xee, 0xe8, 0xdc);
constexpr QRgb kWater = qRgb(0, 0, 255);
constexpr QRgb kRoad = qRgb(255, 0, 0);
constexpr QRgb kGrass = qRgb(0, 255, 0);
constexpr QRgb kRaster = qRgb(255, 0, 255);

const TileId kHome{14, 13724, 7014};       // holds the road, the water, the POI and the places
const TileId kEast{14, 13725, 7014};       // the road goes on here
const TileId kParent{13, 6862, 3507};      // grass everywhere; the south tiles of 14 are missing
const TileId kGrandparent{12, 3431, 1753}; // only the places

const QByteArray kStyle = R"({"version":8,"sources":{"omt":{"type":"vector"}},"layers":[
    {"id":"bg","type":"background","paint":{"background-color":"#eee8dc"}},
    {"id":"grass","type":"fill","source":"omt","source-layer":"landcover","paint":{"fill-color":"#00ff00"}},
    {"id":"water","type":"fill","source":"omt","source-layer":"water","paint":{"fill-color":"#0000ff"}},
    {"id":"roads","type":"line","source":"omt","source-layer":"transportation",
     "paint":{"line-color":"#ff0000","line-width":{"stops":[[12,2],[14,6]]}}},
    {"id":"road-names","type":"symbol","source":"omt","source-layer":"transportation_name",
     "layout":{"text-field":"{name}","symbol-placement":"line","text-size":12},"paint":{"text-color":"#202020"}},
    {"id":"pois","type":"symbol","source":"omt","source-layer":"poi","layout":{"text-field":"{name}"},
     "paint":{"text-color":"#202020","text-halo-color":"#ffffff","text-halo-width":1}}]})";

// A point given in a tile's units as engine coordinates (millionths of a degree).
struct Micro {
    int32_t x;
    int32_t y;
};

Micro micro(TileId tile, double x, double y) {
    const double count = std::ldexp(1.0, tile.z);
    double lon = 0;
    double lat = 0;
    degreesFromWorld({(tile.x + x / 4096) / count, (tile.y + y / 4096) / count}, lon, lat);
    return {int32_t(std::lround(lon * 1e6)), int32_t(std::lround(lat * 1e6))};
}

// The places of the home tile as tiles of lower levels hold them: a point (x, y) of the home tile sits
// at (x / 2, y / 2) in its parent at 13 and at (x / 4, (2 · 4096 + y) / 4) in its grandparent at 12.
TestLayer placeLayer(double scale, double offsetY) {
    auto at = [&](int x, int y) { return test::pointGeometry(int32_t(x * scale), int32_t(offsetY + y * scale)); };
    return {"place",
            4096,
            {{1, {{"name", std::string("北辰市")}, {"class", std::string("city")}}, at(3000, 400)},
             {1, {{"name:latin", std::string("信義區")}, {"class", std::string("suburb")}}, at(600, 1700)},
             {1, {{"name", std::string("大安區")}, {"class", std::string("suburb")}}, at(3900, 1700)}}};
}

// The road runs east-west at y = 1000 through both tiles, past their edges into the buffer.
std::vector<TestLayer> homeLayers(TileId tile) {
    const TestFeature road{2, {{"class", std::string("primary")}}, test::lineGeometry({{-200, 1000}, {4296, 1000}})};
    const TestFeature roadName{2,
                               {{"name", std::string("松仁路")}, {"class", std::string("primary")}},
                               test::lineGeometry({{-200, 1000}, {4296, 1000}})};
    std::vector<TestLayer> layers{{"transportation", 4096, {road}}, {"transportation_name", 4096, {roadName}}};
    if (tile == kHome) {
        layers.push_back({"water",
                          4096,
                          {{3,
                            {{"class", std::string("river")}},
                            test::polygonGeometry({{{-20, 2048}, {4116, 2048}, {4116, 4116}, {-20, 4116}}})}}});
        layers.push_back({"poi",
                          4096,
                          {{1,
                            {{"name", std::string("中油加油站")}, {"class", std::string("fuel")}},
                            test::pointGeometry(1500, 1500)},
                           {1, {{"class", std::string("bench")}}, test::pointGeometry(1520, 1500)}}});
        layers.push_back(placeLayer(1, 0));
    }
    return layers;
}

std::string parentTile() {
    return test::encodeTile({{"landcover",
                              4096,
                              {{3,
                                {{"class", std::string("grass")}},
                                test::polygonGeometry({{{-20, -20}, {4116, -20}, {4116, 4116}, {-20, 4116}}})}}},
                             placeLayer(0.5, 0)});
}

std::string grandparentTile() {
    return test::encodeTile({placeLayer(0.25, 2048)});
}

std::string pngTile(QRgb color, const char* format = "PNG") {
    QImage image(256, 256, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

class MapEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        test::writeMbtiles(path("map.mbtiles"),
                           {{"name", "test"}, {"format", "pbf"}, {"minzoom", "12"}, {"maxzoom", "14"}},
                           {{kHome, test::gzipped(test::encodeTile(homeLayers(kHome)))},
                            {kEast, test::gzipped(test::encodeTile(homeLayers(kEast)))},
                            {kParent, test::gzipped(parentTile())},
                            {kGrandparent, test::gzipped(grandparentTile())}});
        test::writeMbtiles(path("background.mbtiles"), {{"name", "bg"}, {"format", "png"}},
                           {{kHome, pngTile(kRaster)}, {kEast, pngTile(qRgb(0, 128, 128), "JPEG")}});
        writeFile("style.json", kStyle);
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void loadAll() {
        ASSERT_EQ(m_engine.LoadProfile(path("style.json")), 1);
        ASSERT_EQ(m_engine.OpenMap(path("map.mbtiles")), 1);
    }

    // Sets up the view the way the map panels do and saves it; the image read back from the file.
    QImage render(Micro centre, int zoom, int width = 704, int height = 448) {
        m_engine.SetViewSize(width, height);
        m_engine.SetCenter(centre.x, centre.y);
        m_engine.SetZoom(zoom);
        int32_t result = 0;
        m_engine.SaveBitmap(path("view.bmp"), result);
        EXPECT_EQ(result, 1);
        QImage image(path("view.bmp"));
        EXPECT_FALSE(image.isNull());
        return image.convertToFormat(QImage::Format_RGB32);
    }

    QPoint pixelOf(Micro point) {
        int32_t px = 0;
        int32_t py = 0;
        m_engine.ToPixel(point.x, point.y, px, py);
        return {px, py};
    }

    QRgb colourAt(const QImage& image, Micro point) { return image.pixel(pixelOf(point)); }

    QString routeText(Micro point) {
        int32_t result = 0;
        m_engine.ClearRoute();
        m_engine.SetRouteOption(0);
        m_engine.PlanRoute(point.x, point.y, point.x, point.y, result);
        m_engine.SaveRouteText(path("route.txt"), result);
        QFile file(path("route.txt"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }

    struct Search {
        int32_t count;
        QString s1, s2, s3, s4;
    };
    Search search(Micro point) {
        Search out{};
        int32_t x = point.x;
        int32_t y = point.y;
        m_engine.SetSearchPoint(x, y);
        m_engine.SetZoom(16);
        m_engine.SearchNearby(point.x, point.y, 5000);
        m_engine.GetResultCount(out.count);
        int32_t value = 0;
        m_engine.GetResult(0, out.s1, out.s2, out.s3, out.s4, value);
        return out;
    }

    QTemporaryDir m_dir;
    MapEngine m_engine;
};

TEST_F(MapEngineTest, Loads_FailCleanlyOnBadFiles) {
    writeFile("empty.mbtiles", "");
    writeFile("text.mbtiles", "this is not a database at all, just some text to read");
    writeFile("notjson.json", "{\"version\": 8, \"layers\": [");
    writeFile("unknown.json",
              R"({"version":8,"layers":[{"id":"a","type":"fill","source-layer":"x","paint":{"fill-sparkle":1}}]})");
    test::writeMbtiles(path("nometa.mbtiles"), {}, {});
    {
        // tiles without a metadata table
        test::writeMbtiles(path("notiles.mbtiles"), {{"format", "pbf"}, {"minzoom", "0"}, {"maxzoom", "14"}}, {});
    }
    for (const char* name :
         {"missing.mbtiles", "empty.mbtiles", "text.mbtiles", "nometa.mbtiles", "background.mbtiles", "style.json", ""})
        EXPECT_EQ(m_engine.OpenMap(path(name)), 0) << name;
    EXPECT_EQ(m_engine.OpenMap(m_dir.path()), 0);
    for (const char* name : {"missing.mbtiles", "empty.mbtiles", "text.mbtiles", "map.mbtiles", "style.json"})
        EXPECT_EQ(m_engine.LoadBackground(path(name)), 0) << name;
    for (const char* name : {"missing.json", "notjson.json", "unknown.json", "map.mbtiles", "text.mbtiles", ""})
        EXPECT_EQ(m_engine.LoadProfile(path(name)), 0) << name;
    // Read-only opening creates nothing.
    EXPECT_FALSE(QFile::exists(path("missing.mbtiles")));
    EXPECT_EQ(m_engine.OpenMap(path("notiles.mbtiles")), 1);
    EXPECT_EQ(m_engine.LoadBackground(path("background.mbtiles")), 1);
    EXPECT_EQ(m_engine.LoadProfile(path("style.json")), 1);
}

// Metadata and tiles may be views; one that yields rows without end, or values beyond all measure,
// fails the load within a bounded amount of work instead of hanging the start-up.
TEST_F(MapEngineTest, MapFilesWithoutEnd_FailTheLoad) {
    const char* endless = "WITH RECURSIVE r(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM r)";
    const auto make = [&](const char* name, const QString& metadata, const QString& tiles) {
        test::runSql(path(name), QStringLiteral("CREATE VIEW metadata AS %1; CREATE VIEW tiles AS %2;")
                                     .arg(metadata, tiles)
                                     .toUtf8()
                                     .constData());
    };
    const QString endlessTiles = QStringLiteral("%1 SELECT n % 15 AS zoom_level, n AS tile_column, n AS tile_row, "
                                                "x'00' AS tile_data FROM r")
                                     .arg(QLatin1String(endless));
    const QString noTiles = QStringLiteral("SELECT 0 AS zoom_level, 0 AS tile_column, 0 AS tile_row, x'' AS "
                                           "tile_data WHERE 0");
    const QString format = QStringLiteral("SELECT 'format' AS name, 'pbf' AS value");
    const QString zooms = format + QStringLiteral(" UNION ALL SELECT 'minzoom', '0' UNION ALL SELECT 'maxzoom', '14'");
    make("metadata-rows.mbtiles", QStringLiteral("%1 SELECT 'key' || n AS name, 'value' AS value FROM r").arg(endless),
         noTiles);
    make("metadata-bytes.mbtiles",
         format + QStringLiteral(" UNION ALL SELECT 'json', zeroblob(20000000) UNION ALL SELECT 'a', "
                                 "zeroblob(20000000)"),
         noTiles);
    make("metadata-value.mbtiles", format + QStringLiteral(" UNION ALL SELECT 'json', zeroblob(2000000000)"), noTiles);
    make("zoom-range.mbtiles", format, endlessTiles);
    make("tile-lookup.mbtiles", zooms, endlessTiles);
    // Its zoom column a constant: a look-up at any other level is answered at once, without a row read.
    make("constant-zoom.mbtiles", zooms,
         QStringLiteral("%1 SELECT 14 AS zoom_level, n AS tile_column, n AS tile_row, x'00' AS tile_data FROM r")
             .arg(QLatin1String(endless)));
    for (const char* name : {"metadata-rows.mbtiles", "metadata-bytes.mbtiles", "metadata-value.mbtiles",
                             "zoom-range.mbtiles", "tile-lookup.mbtiles", "constant-zoom.mbtiles"}) {
        EXPECT_EQ(m_engine.OpenMap(path(name)), 0) << name;
        EXPECT_EQ(m_engine.LoadBackground(path(name)), 0) << name;
    }
    // A tiles view over stored rows is a map like any other.
    test::runSql(path("map.mbtiles"), "ALTER TABLE tiles RENAME TO stored; CREATE VIEW tiles AS SELECT * FROM stored");
    loadAll();
    const Micro onRoad = micro(kHome, 3000, 1000);
    EXPECT_EQ(colourAt(render(micro(kHome, 2000, 1800), 14), onRoad), kRoad);
}

// A tile look-up has a small work budget of its own, far below the load's: in a view that computes its
// rows one by one, a tile a thousand rows down is read, one a million rows down is not (each look-up of
// a render or a place search would take a second).
TEST_F(MapEngineTest, TileLookup_BoundedByItsOwnBudget) {
    test::runSql(path("deep.mbtiles"),
                 "CREATE TABLE metadata(name, value); INSERT INTO metadata VALUES ('format', 'pbf'), "
                 "('minzoom', '24'), ('maxzoom', '24'); CREATE VIEW tiles AS WITH RECURSIVE r(n) AS (SELECT 0 "
                 "UNION ALL SELECT n + 1 FROM r) SELECT 24 AS zoom_level, 0 AS tile_column, n AS tile_row, "
                 "x'00' AS tile_data FROM r;");
    QString error;
    const std::unique_ptr<MbtilesFile> file = MbtilesFile::open(path("deep.mbtiles"), error);
    ASSERT_TRUE(file) << error.toStdString();
    std::string data;
    const auto lookUp = [&](int row) { return file->readTile({24, 0, MbtilesFile::tmsRow(24, row)}, 16, data); };
    EXPECT_EQ(lookUp(1000), MbtilesFile::TileState::Found);
    EXPECT_EQ(lookUp(1'000'000), MbtilesFile::TileState::Unreadable);
}

TEST_F(MapEngineTest, FailedLoad_KeepsWhatWasLoaded) {
    loadAll();
    writeFile("notjson.json", "{");
    EXPECT_EQ(m_engine.LoadProfile(path("notjson.json")), 0);
    EXPECT_EQ(m_engine.OpenMap(path("missing.mbtiles")), 0);
    const Micro onRoad = micro(kHome, 3000, 1000);
    const QImage image = render(onRoad, 14);
    EXPECT_EQ(colourAt(image, onRoad), kRoad);
}

TEST_F(MapEngineTest, Render_RoadsAndWaterWhereTheTilesPutThem) {
    loadAll();
    // Points away from the labels, which are drawn over everything.
    const Micro onRoad = micro(kHome, 3000, 1000);
    const Micro inWater = micro(kHome, 2000, 2400);
    const Micro land = micro(kHome, 2500, 1800);
    for (int zoom : {14, 15, 16}) {
        const QImage image = render(micro(kHome, 2000, 1800), zoom);
        ASSERT_EQ(image.size(), QSize(704, 448));
        EXPECT_EQ(colourAt(image, onRoad), kRoad) << zoom;
        EXPECT_EQ(colourAt(image, inWater), kWater) << zoom;
        EXPECT_EQ(colourAt(image, land), kBackground) << zoom;
    }
}

TEST_F(MapEngineTest, Render_LineCrossingTileEdgeHasNoSeam) {
    loadAll();
    const Micro edge = micro(kHome, 4096, 1000);
    for (int zoom : {14, 16}) {
        const QImage image = render(edge, zoom);
        const QPoint centre = pixelOf(edge);
        for (int dx = -20; dx <= 20; ++dx)
            EXPECT_EQ(image.pixel(centre.x() + dx, centre.y()), kRoad) << "zoom " << zoom << " dx " << dx;
        // The road is drawn once: a line drawn twice over its buffer would be no wider, so the width tells.
        int width = 0;
        for (int dy = -10; dy <= 10; ++dy)
            width += image.pixel(centre.x() + 5, centre.y() + dy) == kRoad;
        EXPECT_LE(width, zoom == 14 ? 7 : 7);
    }
}

TEST_F(MapEngineTest, Render_MissingTileDrawnFromItsParent) {
    loadAll();
    const TileId south{14, 13724, 7015};
    const QImage image = render(micro(kHome, 2000, 4096), 14);
    EXPECT_EQ(colourAt(image, micro(south, 2000, 1500)), kGrass);
    // The present tile shows its own features, not its parent's.
    EXPECT_EQ(colourAt(image, micro(kHome, 2500, 1800)), kBackground);
}

TEST_F(MapEngineTest, Render_AreaWithoutTilesShowsStyleBackground) {
    loadAll();
    const QImage image = render({0, 0}, 10, 64, 48);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixel(x, y), kBackground) << x << "," << y;
    }
}

TEST_F(MapEngineTest, Render_RasterBackgroundUnderVectorLayers) {
    loadAll();
    ASSERT_EQ(m_engine.LoadBackground(path("background.mbtiles")), 1);
    const QImage image = render(micro(kHome, 2000, 1800), 14);
    EXPECT_EQ(colourAt(image, micro(kHome, 2500, 1800)), kRaster);
    EXPECT_EQ(colourAt(image, micro(kHome, 3000, 1000)), kRoad);
    EXPECT_EQ(colourAt(image, micro(kHome, 2000, 3000)), kWater);
    const QColor jpeg = QColor(colourAt(image, micro(kEast, 800, 1600)));
    EXPECT_NEAR(jpeg.green(), 128, 6);
    EXPECT_NEAR(jpeg.blue(), 128, 6);
    EXPECT_LT(jpeg.red(), 8);
}

TEST_F(MapEngineTest, CorruptTile_FallsBackWithoutHarm) {
    std::string broken = test::gzipped(test::encodeTile(homeLayers(kEast)));
    broken.resize(broken.size() / 2);
    test::writeMbtiles(path("map.mbtiles"), {{"format", "pbf"}, {"minzoom", "12"}, {"maxzoom", "14"}},
                       {{kHome, test::gzipped(test::encodeTile(homeLayers(kHome)))},
                        {kEast, broken},
                        {kParent, test::gzipped(parentTile())}});
    loadAll();
    const QImage image = render(micro(kHome, 4096, 1500), 14);
    EXPECT_EQ(colourAt(image, micro(kEast, 1000, 1500)), kGrass);
    EXPECT_EQ(colourAt(image, micro(kHome, 3000, 1000)), kRoad);
}

TEST_F(MapEngineTest, GarbageTiles_RenderAndLookupsSurvive) {
    std::mt19937 random(7);
    std::string noise(3000, '\0');
    for (char& c : noise)
        c = char(random());
    std::string mutated = test::encodeTile(homeLayers(kEast));
    for (int i = 0; i < 40; ++i)
        mutated[random() % mutated.size()] = char(random());
    // Unpacks to 64 MB of zeros, far beyond what a tile may be.
    const std::string bomb = test::gzipped(std::string(64 << 20, '\0'));
    test::writeMbtiles(path("map.mbtiles"), {{"format", "pbf"}, {"minzoom", "12"}, {"maxzoom", "14"}},
                       {{kHome, noise},
                        {kEast, mutated},
                        {kParent, bomb},
                        {kGrandparent, std::string(9 << 20, 'x')},
                        {{14, 13724, 7013}, test::gzipped(noise)}});
    loadAll();
    for (int zoom : {12, 13, 14, 16})
        render(micro(kHome, 4096, 1000), zoom);
    QString name;
    m_engine.GetPlaceName(micro(kHome, 1500, 1500).x, micro(kHome, 1500, 1500).y, name);
    search(micro(kHome, 1500, 1500));
    routeText(micro(kHome, 1500, 1500));
    // Whatever survived of the damaged tiles, the undamaged parts of the view show the background.
    const QImage image = render({0, 0}, 14, 8, 8);
    EXPECT_EQ(image.pixel(4, 4), kBackground);
}

TEST_F(MapEngineTest, SetText_DrawnOnTheNextBitmapOnly) {
    loadAll();
    auto darkPixels = [](const QImage& image) {
        int dark = 0;
        for (int y = image.height() - 24; y < image.height(); ++y) {
            for (int x = 0; x < 160; ++x)
                dark += qGray(image.pixel(x, y)) < 80;
        }
        return dark;
    };
    m_engine.SetText(QStringLiteral("最後連線:04-05-01 13:45:10"));
    EXPECT_GT(darkPixels(render(micro(kHome, 2000, 1800), 14)), 50);
    EXPECT_EQ(darkPixels(render(micro(kHome, 2000, 1800), 14)), 0);
}

TEST_F(MapEngineTest, SaveBitmap_24BitFileOfTheViewSize) {
    loadAll();
    render(micro(kHome, 2000, 1800), 12, 710, 466);
    QFile file(path("view.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GT(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 18), 710);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 22), 466);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24);
}

TEST_F(MapEngineTest, SaveBitmap_UnwritablePathRaisesError) {
    loadAll();
    m_engine.SetViewSize(10, 10);
    int32_t result = 5;
    try {
        m_engine.SaveBitmap(path("no-such-folder/map0.bmp"), result);
        FAIL() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(error.text().startsWith(QStringLiteral("PPG-SDK"))) << error.text().toStdString();
    }
}

TEST_F(MapEngineTest, ViewSize_OutOfRangeStillRenders) {
    loadAll();
    EXPECT_EQ(render(micro(kHome, 2000, 1800), 14, 0, -16).size(), QSize(1, 1));
    EXPECT_EQ(render(micro(kHome, 2000, 1800), 99, 5, 5).size(), QSize(5, 5));
}

TEST_F(MapEngineTest, GetPlaceName_NamedPoiWithin30Metres) {
    loadAll();
    QString name = QStringLiteral("old");
    m_engine.GetPlaceName(micro(kHome, 1500, 1500).x, micro(kHome, 1500, 1500).y, name);
    EXPECT_EQ(name, QStringLiteral("中油加油站"));
    // A tile unit is about 0.53 m here: 40 units is about 21 m, 70 units about 37 m.
    m_engine.GetPlaceName(micro(kHome, 1540, 1500).x, micro(kHome, 1540, 1500).y, name);
    EXPECT_EQ(name, QStringLiteral("中油加油站"));
    m_engine.GetPlaceName(micro(kHome, 1500, 1570).x, micro(kHome, 1500, 1570).y, name);
    EXPECT_EQ(name, QString());
}

TEST_F(MapEngineTest, SearchNearby_CityDistrictAndPoi) {
    loadAll();
    const Search west = search(micro(kHome, 700, 1600));
    EXPECT_EQ(west.count, 1);
    EXPECT_EQ(west.s1, QStringLiteral("北辰市"));
    EXPECT_EQ(west.s2, QStringLiteral("信義區"));
    EXPECT_EQ(west.s3, QStringLiteral("中油加油站"));
    EXPECT_EQ(west.s4, QStringLiteral("fuel"));
    // Between the two districts, nearer the eastern one.
    EXPECT_EQ(search(micro(kHome, 2400, 1700)).s2, QStringLiteral("大安區"));
}

TEST_F(MapEngineTest, SearchNearby_NothingFoundGivesEmptyTexts) {
    const Search none = search(micro(kHome, 700, 1600));
    EXPECT_EQ(none.count, 0);
    EXPECT_TRUE(none.s1.isEmpty() && none.s2.isEmpty() && none.s3.isEmpty() && none.s4.isEmpty());
    loadAll();
    const Search far = search({0, 0});
    EXPECT_EQ(far.count, 0);
    EXPECT_TRUE(far.s1.isEmpty() && far.s2.isEmpty());
}

TEST_F(MapEngineTest, RouteText_RoadNameThenDistanceLine) {
    loadAll();
    const Micro point = micro(kHome, 2000, 1100);
    const Micro foot = micro(kHome, 2000, 1000);
    const double metres =
        distanceMetres(worldFromMicrodegrees(point.x, point.y), worldFromMicrodegrees(foot.x, foot.y));
    const QString text = routeText(point);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3) << text.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("松仁路"));
    EXPECT_EQ(lines[1], QStringLiteral("距離 %1 公尺").arg(std::lround(metres)));
    EXPECT_EQ(lines[2], QString());
}

TEST_F(MapEngineTest, RouteText_EmptyFileWhenNothingToSay) {
    EXPECT_EQ(routeText(micro(kHome, 2000, 1100)), QString()); // no map
    loadAll();
    EXPECT_EQ(routeText({0, 0}), QString()); // no road near
    ASSERT_FALSE(routeText(micro(kHome, 2000, 1100)).isEmpty());
    m_engine.ClearRoute();
    int32_t result = 0;
    m_engine.SaveRouteText(path("route.txt"), result);
    EXPECT_EQ(QFile(path("route.txt")).size(), 0);
    EXPECT_THROW(m_engine.SaveRouteText(path("no-such-folder/route.txt"), result), RuntimeError);
}

TEST_F(MapEngineTest, CloseMap_ReleasesEverything) {
    loadAll();
    ASSERT_EQ(m_engine.LoadBackground(path("background.mbtiles")), 1);
    m_engine.CloseMap();
    const QImage image = render(micro(kHome, 2000, 1800), 14, 32, 32);
    EXPECT_EQ(image.pixel(16, 16), qRgb(255, 255, 255));
    QString name;
    m_engine.GetPlaceName(micro(kHome, 1500, 1500).x, micro(kHome, 1500, 1500).y, name);
    EXPECT_EQ(name, QString());
    // The files are free again: they can be replaced and opened anew.
    EXPECT_TRUE(QFile::remove(path("map.mbtiles")));
}

TEST(LabelPlacer, Overlaps_RefusedRepeatsKeptApart) {
    LabelPlacer placer(QRectF(0, 0, 400, 300), 120);
    EXPECT_TRUE(placer.place(QRectF(10, 10, 50, 20), QStringLiteral("A")));
    EXPECT_FALSE(placer.place(QRectF(40, 20, 50, 20), QStringLiteral("B"))); // overlaps A
    EXPECT_TRUE(placer.place(QRectF(70, 10, 50, 20), QStringLiteral("B")));
    EXPECT_FALSE(placer.place(QRectF(10, 60, 50, 20), QStringLiteral("A"))); // same text too close
    EXPECT_TRUE(placer.place(QRectF(10, 200, 50, 20), QStringLiteral("A")));
    EXPECT_FALSE(placer.place(QRectF(380, 200, 50, 20), QStringLiteral("C"))); // sticks out of the view
}

TEST(LabelPlacer, RotatedBox_CoversTurnedText) {
    const QRectF flat = LabelPlacer::boxFor(QPointF(100, 100), 60, 10, 0, 2);
    EXPECT_EQ(flat, QRectF(68, 93, 64, 14));
    const QRectF upright = LabelPlacer::boxFor(QPointF(100, 100), 60, 10, 90, 0);
    EXPECT_NEAR(upright.width(), 10, 1e-9);
    EXPECT_NEAR(upright.height(), 60, 1e-9);
}

} // namespace
} // namespace kestrova
