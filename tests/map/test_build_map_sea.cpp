// tools/build-map on small extracts written here: the sea comes from the extract's own coastline, closed
// along the map's box where the extract's edge cuts it, and an extract without a coastline has no sea.

#include "map/map_engine.h"

#include "map_test_support.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace kestrova {
namespace {

constexpr double kWest = 121.80;
constexpr double kSouth = 24.80;
constexpr double kEast = 121.90;
constexpr double kNorth = 24.88;
const QByteArray kStyle = R"({"version":8,"layers":[
    {"id":"land","type":"background","paint":{"background-color":"#ffffff"}},
    {"id":"water","type":"fill","source":"omt","source-layer":"water","filter":["==","class","ocean"],
     "paint":{"fill-color":"#0000ff"}}]})";

struct Coast {
    const char* name;
    std::vector<std::pair<double, double>> points; // lon, lat; land on the left
    bool closed;
};

// OSM XML of an extract with this box holding the coastline (if any) and one road.
QByteArray extract(const Coast& coast) {
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osm version=\"0.6\" generator=\"test\">\n";
    xml += QStringLiteral(" <bounds minlat=\"%1\" minlon=\"%2\" maxlat=\"%3\" maxlon=\"%4\"/>\n")
               .arg(kSouth)
               .arg(kWest)
               .arg(kNorth)
               .arg(kEast)
               .toUtf8();
    int id = 1;
    for (const auto& [lon, lat] : coast.points)
        xml += QStringLiteral(" <node id=\"%1\" version=\"1\" lat=\"%2\" lon=\"%3\"/>\n")
                   .arg(id++)
                   .arg(lat)
                   .arg(lon)
                   .toUtf8();
    xml += " <node id=\"100\" version=\"1\" lat=\"24.83\" lon=\"121.82\"/>\n"
           " <node id=\"101\" version=\"1\" lat=\"24.85\" lon=\"121.83\"/>\n";
    if (!coast.points.empty()) {
        xml += " <way id=\"1\" version=\"1\">\n";
        for (int n = 1; n < id; ++n)
            xml += QStringLiteral("  <nd ref=\"%1\"/>\n").arg(n).toUtf8();
        if (coast.closed)
            xml += "  <nd ref=\"1\"/>\n";
        xml += "  <tag k=\"natural\" v=\"coastline\"/>\n </way>\n";
    }
    xml += " <way id=\"2\" version=\"1\"><nd ref=\"100\"/><nd ref=\"101\"/><tag k=\"highway\" v=\"primary\"/></way>\n"
           "</osm>\n";
    return xml;
}

TEST(BuildMapSea, FromTheExtractsOwnCoastline) {
    for (const char* program : {"osmium", "tilemaker", "osmcoastline", "jq", "python3"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
            GTEST_SKIP() << program << " is missing: run scripts/install-deps";
    }
    test::ensureGuiApplication();
    struct Case {
        Coast coast;
        bool seaWest; // at 121.81, 24.84
        bool seaEast; // at 121.89, 24.84
    };
    const Case cases[] = {
        // An island in the middle of the box, drawn counterclockwise: sea all round it.
        {{"island", {{121.835, 24.82}, {121.865, 24.82}, {121.865, 24.86}, {121.835, 24.86}}, true}, true, true},
        // A coast running north through the box, cut by its edges: land west, sea east.
        {{"cut coast", {{121.86, 24.79}, {121.87, 24.82}, {121.86, 24.85}, {121.865, 24.89}}, false}, false, true},
        // No coastline: no sea, and no error.
        {{"inland", {}, false}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.coast.name);
        QTemporaryDir dir;
        QFile file(dir.filePath("extract.osm"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(extract(c.coast));
        file.close();
        QProcess build;
        build.start(QStringLiteral("bash"), {QStringLiteral(KESTROVA_SOURCE_DIR "/tools/build-map"), file.fileName(),
                                             dir.filePath("nv5"), QStringLiteral("--name"), QStringLiteral("test"),
                                             QStringLiteral("--threads"), QStringLiteral("1")});
        ASSERT_TRUE(build.waitForFinished(120000));
        const QString output = QString::fromUtf8(build.readAllStandardOutput() + build.readAllStandardError());
        ASSERT_EQ(build.exitCode(), 0) << output.toStdString();
        EXPECT_FALSE(output.contains(QStringLiteral("warning"))) << output.toStdString();

        QFile style(dir.filePath("style.json"));
        ASSERT_TRUE(style.open(QIODevice::WriteOnly));
        style.write(kStyle);
        style.close();
        MapEngine engine;
        ASSERT_EQ(engine.OpenMap(dir.filePath("nv5/test.mbtiles")), 1);
        ASSERT_EQ(engine.LoadProfile(style.fileName()), 1);
        engine.SetViewSize(400, 300);
        engine.SetCenter(121850000, 24840000);
        engine.SetZoom(12);
        int32_t result = 0;
        engine.SaveBitmap(dir.filePath("view.bmp"), result);
        const QImage image(dir.filePath("view.bmp"));
        ASSERT_FALSE(image.isNull());
        auto isSea = [&](double lon, double lat) {
            int32_t px = 0;
            int32_t py = 0;
            engine.ToPixel(int32_t(std::lround(lon * 1e6)), int32_t(std::lround(lat * 1e6)), px, py);
            return image.pixel(px, py) == qRgb(0, 0, 255);
        };
        EXPECT_EQ(isSea(121.81, 24.84), c.seaWest);
        EXPECT_EQ(isSea(121.89, 24.84), c.seaEast);
        EXPECT_FALSE(isSea(121.85, 24.84)); // on the land (or inland)
    }
}

} // namespace
} // namespace kestrova
