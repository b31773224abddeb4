#include "map/place_description.h"

#include "fake_map_engine.h"
#include "startup/code_page.h"
#include "startup/qstring_printer.h"
#include "startup/runtime_error.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::FakeMapEngine;

// The engine knows no name at the point, so the description comes from the route text and the search.
struct Fallback {
    QTemporaryDir folder;
    FakeMapEngine engine;
    CodePage codePage{"UTF-8"};

    Fallback() {
        engine.s1 = QStringLiteral("新竹市");
        engine.s2 = QStringLiteral("東區");
    }

    QString describe(const QByteArray& routeText) {
        engine.routeText = routeText;
        QString text = QStringLiteral("old address");
        DescribeLocation(engine, folder.path(), codePage, 121.5, 25.03, text);
        return text;
    }
};

TEST(DescribeLocation, NamedPoint_GetsTheNameAloneWithoutRouteOrSearch) {
    QTemporaryDir folder;
    FakeMapEngine engine;
    engine.placeName = QStringLiteral("中正紀念堂");
    QString text = QStringLiteral("old address");

    DescribeLocation(engine, folder.path(), CodePage("UTF-8"), 121.5, 25.03, text);

    EXPECT_EQ(text, QStringLiteral("中正紀念堂"));
    EXPECT_EQ(engine.calls, QStringList{QStringLiteral("GetPlaceName(121500000,25030000)")});
}

TEST(DescribeLocation, UnnamedPoint_AsksRouteThenSearchInOrderAndLeavesNoRoute) {
    Fallback f;
    f.describe("中山路\r\n");

    const QString route = RouteTextPath(f.folder.path());
    EXPECT_EQ(f.engine.calls, (QStringList{
                                  QStringLiteral("GetPlaceName(121500000,25030000)"),
                                  QStringLiteral("ClearRoute()"),
                                  QStringLiteral("SetRouteOption(0)"),
                                  QStringLiteral("PlanRoute(121500000,25030000,121500000,25030000)"),
                                  QStringLiteral("SaveRouteText(%1)").arg(route),
                                  QStringLiteral("SetSearchPoint(121500000,25030000)"),
                                  QStringLiteral("SetZoom(16)"),
                                  // The fake scribbles over the search point; the search still gets the point.
                                  QStringLiteral("SearchNearby(121500000,25030000,5000)"),
                                  QStringLiteral("GetResultCount()"),
                                  QStringLiteral("GetResult(0)"),
                                  QStringLiteral("ClearRoute()"),
                              }));
    EXPECT_EQ(route, f.folder.path() + QStringLiteral("/route.txt"));
}

TEST(DescribeLocation, RouteText_LastLineWithoutDistanceIsKept) {
    const struct {
        QByteArray routeText;
        QString expected;
    } cases[] = {
        {"A\r\n距離 12 公尺\r\nB\r\n", QStringLiteral("新竹市東區B附近")},
        {"B\r\n距離 12 公尺\r\n", QStringLiteral("新竹市東區B附近")},
        {"A\r\nB", QStringLiteral("新竹市東區B附近")},
        {"A\rB\r", QStringLiteral("新竹市東區B附近")},
        {"A\nB\r\n", QStringLiteral("新竹市東區A\nB附近")},
        {"", QStringLiteral("新竹市東區附近")},
        {"距離 3 公尺\r\n距離 4 公尺\r\n", QStringLiteral("新竹市東區附近")},
        {"A\r\n\r\n", QStringLiteral("新竹市東區附近")},
        {"航點 1\r\n距離 3 公尺\r\n", QStringLiteral("新竹市東區附近")},
        {"中山路航點\r\n", QStringLiteral("新竹市東區附近")},
    };
    for (const auto& c : cases) {
        Fallback f;
        EXPECT_EQ(f.describe(c.routeText), c.expected) << c.routeText.toStdString();
    }
}

TEST(DescribeLocation, RouteText_IsReadInTheGivenCodePage) {
    Fallback f;
    f.codePage = CodePage("CP950");
    const QByteArray big5 = f.codePage.encode(QStringLiteral("中山路\r\n距離 12 公尺\r\n"));

    EXPECT_EQ(f.describe(big5), QStringLiteral("新竹市東區中山路附近"));
}

TEST(DescribeLocation, RouteTextNotWritten_ThrowsNamingTheFile) {
    QTemporaryDir folder;
    FakeMapEngine engine;
    QString text;
    try {
        DescribeLocation(engine, folder.path(), CodePage("UTF-8"), 121.5, 25.03, text);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_THAT(e.text().toStdString(), testing::StartsWith(RouteTextPath(folder.path()).toStdString() + ": "));
    }
    EXPECT_FALSE(engine.calls.contains(QStringLiteral("SetZoom(16)")));
}

TEST(DescribeLocation, PointBeyondTheEngineRange_Throws) {
    QTemporaryDir folder;
    FakeMapEngine engine;
    QString text;
    EXPECT_THROW(DescribeLocation(engine, folder.path(), CodePage("UTF-8"), 3000.0, 25.0, text), RuntimeError);
    EXPECT_TRUE(engine.calls.isEmpty());
}

} // namespace
} // namespace kestrova
