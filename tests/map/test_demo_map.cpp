#include "map/map_engine.h"

#include "map_test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrova {
namespace {

// The demo town's files as the build puts them into the program folder.
const QString kNv5 = QStringLiteral(KESTROVA_BINARY_DIR "/kestrova/nv5/");

struct Place {
    double lon;
    double lat;
    int32_t x() const { return int32_t(std::lround(lon * 1e6)); }
    int32_t y() const { return int32_t(std::lround(lat * 1e6)); }
};

// Points of maps/demo/town.osm.
const Place kZhongshanRoad{121.5599083, 25.0375}; // on 中山路 (primary), between 民生路 and 松濤三街
const Place kRiver{121.5549542, 25.0282220};      // mid-stream of 清水溪, inside its water area
const Place kFuelStation{121.560156, 25.0238888}; // 中油加油站
const Place kHepingRoad{121.5560, 25.0309302};    // on 和平路, no POI near
const Place kSongtaoSide{121.5570, 25.0310};      // 365 m from 松濤區, 670 m from 梅川區
const Place kMeichuanSide{121.5575, 25.0270};     // nearer 梅川區

QRgb rgb(const char* hex) {
    return QColor::fromString(QLatin1String(hex)).rgb();
}

class DemoMapTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }

    void SetUp() override {
        if (!QFile::exists(kNv5 + "demo.mbtiles") || !QFile::exists(kNv5 + "demo-style.json"))
            GTEST_SKIP() << "the demo map has not been built (target demo_map)";
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(m_engine.OpenMap(kNv5 + "demo.mbtiles"), 1);
    }

    // The demo style without its labels, so that colours show the geometry underneath.
    void loadStyleWithoutLabels() {
        QFile file(kNv5 + "demo-style.json");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QJsonObject style = QJsonDocument::fromJson(file.readAll()).object();
        QJsonArray kept;
        for (const QJsonValue& layer : style.value(u"layers").toArray()) {
            if (layer.toObject().value(u"type").toString() != u"symbol")
                kept.append(layer);
        }
        style.insert(QStringLiteral("layers"), kept);
        QFile out(m_dir.filePath("style.json"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QJsonDocument(style).toJson());
        out.close();
        ASSERT_EQ(m_engine.LoadProfile(out.fileName()), 1);
    }

    QImage render(const Place& centre, int zoom) {
        m_engine.SetViewSize(704, 448);
        m_engine.SetCenter(centre.x(), centre.y());
        m_engine.SetZoom(zoom);
        int32_t result = 0;
        m_engine.SaveBitmap(m_dir.filePath("map.bmp"), result);
        return QImage(m_dir.filePath("map.bmp")).convertToFormat(QImage::Format_RGB32);
    }

    QRgb colourAt(const QImage& image, const Place& place) {
        int32_t px = 0;
        int32_t py = 0;
        m_engine.ToPixel(place.x(), place.y(), px, py);
        return image.pixel(px, py);
    }

    QStringList routeLines(const Place& place) {
        int32_t result = 0;
        m_engine.ClearRoute();
        m_engine.SetRouteOption(0);
        m_engine.PlanRoute(place.x(), place.y(), place.x(), place.y(), result);
        m_engine.SaveRouteText(m_dir.filePath("route.txt"), result);
        QFile file(m_dir.filePath("route.txt"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
        lines.removeAll(QString());
        return lines;
    }

    QStringList searchTexts(const Place& place) {
        int32_t x = place.x();
        int32_t y = place.y();
        m_engine.SetSearchPoint(x, y);
        m_engine.SetZoom(16);
        m_engine.SearchNearby(place.x(), place.y(), 5000);
        QString s1, s2, s3, s4;
        int32_t value = 0;
        m_engine.GetResult(0, s1, s2, s3, s4, value);
        return {s1, s2, s3, s4};
    }

    QTemporaryDir m_dir;
    MapEngine m_engine;
};

TEST_F(DemoMapTest, Render_RoadsAndWaterWhereTheTilesPutThem) {
    loadStyleWithoutLabels();
    for (int zoom : {12, 14, 16}) {
        const QImage road = render(kZhongshanRoad, zoom);
        EXPECT_EQ(colourAt(road, kZhongshanRoad), rgb("#f08c2c")) << "zoom " << zoom;
        const QImage river = render(kRiver, zoom);
        EXPECT_EQ(colourAt(river, kRiver), rgb("#5b9bd5")) << "zoom " << zoom;
    }
}

TEST_F(DemoMapTest, Render_LowZoomsShowTownOverBackground) {
    loadStyleWithoutLabels();
    ASSERT_EQ(m_engine.LoadBackground(kNv5 + "demo-background.mbtiles"), 1);
    auto distance = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
    };
    const QImage town = render(kZhongshanRoad, 10);
    const QRgb road = colourAt(town, kZhongshanRoad);
    const QRgb around = town.pixel(5, 5);
    EXPECT_LT(distance(road, rgb("#f08c2c")), distance(road, around));
    // At zoom 6 the whole town is less than a pixel: the view is the background, the same as at 10.
    const QImage region = render(kZhongshanRoad, 6);
    EXPECT_EQ(region.pixel(5, 5), around);
    EXPECT_EQ(region.pixel(700, 440), around);
}

TEST_F(DemoMapTest, Render_LabelsDrawnNearNamedPlaces) {
    ASSERT_EQ(m_engine.LoadProfile(kNv5 + "demo-style.json"), 1);
    const QImage image = render(kFuelStation, 16);
    int32_t px = 0;
    int32_t py = 0;
    m_engine.ToPixel(kFuelStation.x(), kFuelStation.y(), px, py);
    int dark = 0;
    for (int y = py - 10; y <= py + 10; ++y) {
        for (int x = px - 40; x <= px + 40; ++x)
            dark += qGray(image.pixel(x, y)) < 110;
    }
    EXPECT_GT(dark, 20);
}

TEST_F(DemoMapTest, PlaceName_AtNamedPoi) {
    QString name;
    m_engine.GetPlaceName(kFuelStation.x(), kFuelStation.y(), name);
    EXPECT_EQ(name, QStringLiteral("中油加油站"));
    m_engine.GetPlaceName(kHepingRoad.x(), kHepingRoad.y(), name);
    EXPECT_EQ(name, QString());
}

TEST_F(DemoMapTest, RouteText_OnNamedStreet) {
    const QStringList on = routeLines(kHepingRoad);
    ASSERT_EQ(on.size(), 2);
    EXPECT_EQ(on[0], QStringLiteral("和平路"));
    EXPECT_TRUE(on[1] == QStringLiteral("距離 0 公尺") || on[1] == QStringLiteral("距離 1 公尺"))
        << on[1].toStdString();
    // 0.0002° north of the street: about 22 m.
    const QStringList off = routeLines({kHepingRoad.lon, kHepingRoad.lat + 0.0002});
    ASSERT_EQ(off.size(), 2);
    EXPECT_EQ(off[0], QStringLiteral("和平路"));
    const int metres = off[1].mid(3, off[1].size() - 6).toInt();
    EXPECT_NEAR(metres, 22, 2) << off[1].toStdString();
}

TEST_F(DemoMapTest, Search_BetweenDistrictsNamesCityAndNearerDistrict) {
    const QStringList north = searchTexts(kSongtaoSide);
    EXPECT_EQ(north[0], QStringLiteral("凱斯特市"));
    EXPECT_EQ(north[1], QStringLiteral("松濤區"));
    EXPECT_FALSE(north[2].isEmpty());
    const QStringList south = searchTexts(kMeichuanSide);
    EXPECT_EQ(south[0], QStringLiteral("凱斯特市"));
    EXPECT_EQ(south[1], QStringLiteral("梅川區"));
}

} // namespace
} // namespace kestrova
