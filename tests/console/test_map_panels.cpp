#include "console/map_panels.h"

#include "fake_map_panel_view.h"
#include "map/fake_map_engine.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include <functional>
#include <gtest/gtest.h>

using namespace kestrova;
using kestrova::test::FakeMapEngine;
using kestrova::test::FakeMapPanelView;
using kestrova::test::FakeMessageBox;

namespace {

const QString kFolder = QStringLiteral("/opt/kestrova");

VehicleRecord Vehicle(const QString& plate, double x, double y) {
    VehicleRecord v;
    v.PlateNumber = plate;
    v.CarType = 1;
    v.DialTime = QStringLiteral("2004/05/01 13:45:10");
    v.CheckPoint = kCheckRealTime;
    v.EW = kEastLongitude;
    v.X = x;
    v.NS = kNorthLatitude;
    v.Y = y;
    v.Speed = 12.3f;
    v.Direction = 45;
    v.Healthy = QStringLiteral("00012");
    v.Address = QStringLiteral("台北市中山區");
    return v;
}

CoordinateRecord Landmark(double x, double y, const QString& kind, const QString& explanation) {
    CoordinateRecord c;
    c.X = x;
    c.Y = y;
    c.Kind = kind;
    c.Explanation = explanation;
    return c;
}

class MapPanelsTest : public ::testing::Test {
protected:
    MapPanelsTest() {
        m_state.MapEngine = &m_engine;
        m_state.CurrentVehicle = -1;
        // Vehicle 2 has no position yet; the last element is the PlaybackSlot.
        m_state.Vehicles = {Vehicle("AB-1001", 121.5, 25.04), Vehicle("AB-1002", 121.52, 25.05),
                            Vehicle("AB-1003", 0, 0), Vehicle("", 0, 0)};
        m_state.PlaybackSlot() = Vehicle("AB-1002", 121.6, 25.1);
        m_state.Coordinates = {Landmark(121.51, 25.041, "1", "總公司"), Landmark(121.49, 25.03, "3", "倉庫"),
                               CoordinateRecord{}};
        for (FakeMapPanelView& view : m_views) {
            view.journal = &m_engine.calls;
        }
        // Each landmark a fixed offset from the view's corner, so a placement can be told apart.
        m_engine.pixelOf = [](int32_t x, int32_t y) {
            return std::pair{(x - 121000000) / 10000, (y - 25000000) / 1000};
        };
    }

    FakeMapPanelView& view(int i) { return m_views.at(static_cast<std::size_t>(i)); }

    // Panels 0 to 6 show vehicles 0, 1, 0, 1, ... and panel 7 shows the PlaybackSlot.
    void chooseEverywhere() {
        for (int i = 0; i < kMapPanelCount; ++i) {
            view(i).listIndex = i % 2;
        }
    }

    int renders() const { return static_cast<int>(m_engine.calls.filter(QStringLiteral("SaveBitmap(")).size()); }
    QStringList renderedFiles() const {
        QStringList files;
        for (const QString& call : m_engine.calls) {
            if (call.startsWith(QStringLiteral("SaveBitmap("))) {
                files << call.mid(11).chopped(1);
            }
        }
        return files;
    }
    QString bitmap(int i) const { return PanelBitmapFile(kFolder, i); }

    FakeMapEngine m_engine;
    MainWindowState m_state;
    std::array<FakeMapPanelView, kMapPanelCount> m_views;
    FakeMessageBox m_box;
    int m_ended = 0;
    int m_hangUps = 0;
    std::function<void()> m_onHangUp = [this] { ++m_hangUps; };
    ProgramEnd m_programEnd{m_box, [this] { ++m_ended; }};
    MapPanels m_panels{
        {m_state,
         {&m_views[0], &m_views[1], &m_views[2], &m_views[3], &m_views[4], &m_views[5], &m_views[6], &m_views[7]},
         kFolder,
         m_programEnd,
         [this] { m_onHangUp(); }}};
};

TEST_F(MapPanelsTest, FirstDrawing_RendersThePanelsViewThenLoadsAndPlacesEverything) {
    view(1).listIndex = 0;

    m_panels.RefreshMapPanels(1);

    const QString icon = kFolder + QStringLiteral("/carimage/Ferrari/car045.gif");
    const QStringList expected{
        QStringLiteral("imgMap.Visible=false"),
        QStringLiteral("SetViewSize(226,184)"), // 3405 x 3000 twips: 227 x 200 pixels less 1 and the caption strip
        QStringLiteral("SetCenter(121500000,25040000)"),
        QStringLiteral("SetZoom(12)"),
        QStringLiteral("SetText(最後連線:04-05-01 13:45:10)"),
        QStringLiteral("SaveBitmap(%1)").arg(bitmap(1)),
        QStringLiteral("LoadPicture(%1)").arg(bitmap(1)),
        QStringLiteral("LoadPicture(%1)").arg(icon),
        QStringLiteral("imgMap.Visible=true"),
        QStringLiteral("ToPixel(121510000,25041000)"),
        QStringLiteral("ToPixel(121490000,25030000)"),
    };
    EXPECT_EQ(m_engine.calls, expected);

    const FakeMapPanelView& v = view(1);
    EXPECT_EQ(v.caption, u' ' + ConvertDbTime(m_state.Vehicles[0].DialTime, 0) + QStringLiteral(" 即時位置 "));
    EXPECT_EQ(v.captionVisible, true);
    EXPECT_EQ(v.captionBold, false);
    EXPECT_EQ(v.captionColour, kCaptionRealTimeColour);
    EXPECT_EQ(v.zoomButtonsVisible, true);
    EXPECT_EQ(v.mapPicture, bitmap(1));
    EXPECT_EQ(v.vehiclePicture, icon);
    EXPECT_EQ(v.vehicleToolTip, QStringLiteral("台北市中山區"));
    EXPECT_EQ(v.speedCaption, QStringLiteral("速度：12.3 公里"));
    EXPECT_EQ(v.speedVisible, true);
    ASSERT_TRUE(v.speedPlace.has_value());
    EXPECT_EQ(*v.speedPlace, (TwipsPoint{3405 - 900 - 45, 3000 - 180 - 360}));
    EXPECT_EQ(v.tag, RedrawSignature(m_state.Vehicles[0], 3405, 3000, QStringLiteral("12")));

    // Landmarks at their pixels from the view just rendered, the empty last element left out.
    EXPECT_EQ(v.landmarks[0].rect, (TwipsRect{51 * 15, 41 * 15, 300, 300}));
    EXPECT_TRUE(v.landmarks[0].visible);
    EXPECT_EQ(v.landmarks[0].toolTip, QStringLiteral("總公司"));
    EXPECT_EQ(v.landmarks[0].picture, 1);
    EXPECT_EQ(v.landmarks[1].rect, (TwipsRect{49 * 15, 30 * 15, 300, 300}));
    EXPECT_EQ(v.landmarks[1].picture, 3);
    EXPECT_FALSE(v.landmarks[2].rect.has_value());
    EXPECT_FALSE(v.landmarks[2].visible);
}

TEST_F(MapPanelsTest, RedrawSignature_HoldsThirteenValuesInOrder) {
    EXPECT_EQ(RedrawSignature(m_state.Vehicles[0], 3405, 3000, QStringLiteral("12")),
              QStringLiteral("AB-1001,1,即時位置,東經,121.5,北緯,25.04,3405,3000,12.3,東北,12,00012"));
}

TEST_F(MapPanelsTest, UnchangedSignature_DrawsNothingButTheCaption) {
    chooseEverywhere();
    m_panels.RefreshMapPanels(0);
    ASSERT_EQ(renders(), 8);

    // A new call time alone: the caption follows, the map, its text and the tooltip stay.
    VehicleRecord& R = m_state.Vehicles[0];
    R.DialTime = QStringLiteral("2004/05/01 13:50:00");
    R.Address = QStringLiteral("elsewhere");
    view(0).lamps = {};
    m_panels.RefreshMapPanels(0);

    EXPECT_EQ(renders(), 8);
    EXPECT_EQ(view(0).caption, u' ' + ConvertDbTime(R.DialTime, 0) + QStringLiteral(" 即時位置 "));
    EXPECT_EQ(view(0).vehicleToolTip, QStringLiteral("台北市中山區"));
    EXPECT_FALSE(view(0).lamps[0].has_value()) << "an unchanged panel does not set its lamps";
}

TEST_F(MapPanelsTest, EachSignatureValue_RedrawsOnlyThePanelsThatShowIt) {
    struct Change {
        const char* what;
        std::function<void(VehicleRecord&)> apply;
        bool redraws;
    };
    const std::vector<Change> changes{
        {"plate", [](VehicleRecord& r) { r.PlateNumber += u'X'; }, true},
        {"car type", [](VehicleRecord& r) { r.CarType = 2; }, true},
        {"state", [](VehicleRecord& r) { r.CheckPoint = kCheckLastKnown; }, true},
        {"hemisphere", [](VehicleRecord& r) { r.EW = kWestLongitude; }, true},
        {"longitude", [](VehicleRecord& r) { r.X += 0.001; }, true},
        {"latitude", [](VehicleRecord& r) { r.Y += 0.001; }, true},
        {"speed", [](VehicleRecord& r) { r.Speed = 40; }, true},
        {"heading into another sector", [](VehicleRecord& r) { r.Direction = 90; }, true},
        {"history", [](VehicleRecord& r) { r.Healthy = QStringLiteral("00120"); }, true},
        {"heading within its sector", [](VehicleRecord& r) { r.Direction = 95; }, false},
        {"place text", [](VehicleRecord& r) { r.Address = QStringLiteral("x"); }, false},
        {"offset", [](VehicleRecord& r) { r.Offset = 25; }, false},
    };
    chooseEverywhere();
    m_panels.RefreshMapPanels(0);
    for (const Change& change : changes) {
        const QStringList before = renderedFiles();
        change.apply(m_state.Vehicles[1]);
        m_panels.RefreshMapPanels(0);
        const QStringList drawn = renderedFiles().mid(before.size());
        const QStringList panelsOfVehicle1{bitmap(1), bitmap(3), bitmap(5)};
        EXPECT_EQ(drawn, change.redraws ? panelsOfVehicle1 : QStringList{}) << change.what;
    }
}

TEST_F(MapPanelsTest, ResizeOrZoom_RendersAgainAtTheNewView) {
    view(2).listIndex = 0;
    m_panels.RefreshMapPanels(2);

    view(2).width = 4500;
    m_panels.RefreshMapPanels(2);
    EXPECT_EQ(renders(), 2);
    EXPECT_TRUE(m_engine.calls.contains(QStringLiteral("SetViewSize(299,184)")));

    m_panels.imgZoomIn_Click(2);
    EXPECT_EQ(renders(), 3);
    EXPECT_EQ(view(2).zoom, QStringLiteral("13"));
    EXPECT_EQ(m_engine.calls.filter(QStringLiteral("SetZoom(")).last(), QStringLiteral("SetZoom(13)"));
}

TEST_F(MapPanelsTest, ZoomHandlers_StayWithinSixToFourteen) {
    view(3).listIndex = 0;
    view(3).zoom = QStringLiteral("14");
    m_panels.imgZoomIn_Click(3);
    view(3).zoom = QStringLiteral("6");
    m_panels.imgZoomOut_Click(3);
    EXPECT_EQ(view(3).zoom, QStringLiteral("6"));
    EXPECT_EQ(renders(), 0) << "a zoom at its limit draws nothing";

    view(3).zoom = QStringLiteral("7");
    m_panels.imgZoomOut_Click(3);
    EXPECT_EQ(view(3).zoom, QStringLiteral("6"));
    EXPECT_EQ(renders(), 1);
}

TEST_F(MapPanelsTest, ZoomOnPanelZero_AsksForAllButRendersOnlyWhatIsNew) {
    chooseEverywhere();
    m_panels.RefreshMapPanels(0);

    m_panels.imgZoomIn_Click(0);

    EXPECT_EQ(renderedFiles().mid(8), QStringList{bitmap(0)});
}

TEST_F(MapPanelsTest, IndexZero_DrawsEveryPanelInAscendingOrder_AndSkipsHiddenOrUnchosenOnes) {
    chooseEverywhere();
    view(2).visible = false;
    view(5).listIndex = -1;

    m_panels.RefreshMapPanels(0);

    EXPECT_EQ(renderedFiles(), (QStringList{bitmap(0), bitmap(1), bitmap(3), bitmap(4), bitmap(6), bitmap(7)}));
    EXPECT_TRUE(view(2).tag.isEmpty());
    EXPECT_TRUE(view(5).caption.isEmpty());

    // Shown again, the skipped panel is drawn at the next call.
    view(2).visible = true;
    m_panels.RefreshMapPanels(0);
    EXPECT_EQ(renderedFiles().mid(6), QStringList{bitmap(2)});
}

TEST_F(MapPanelsTest, TrackPanel_ShowsThePlaybackSlotWhateverItsChooserShows_AndNoLandmarks) {
    view(7).listIndex = 0;
    m_panels.RefreshMapPanels(7);

    EXPECT_TRUE(m_engine.calls.contains(QStringLiteral("SetCenter(121600000,25100000)")));
    EXPECT_TRUE(m_engine.calls.filter(QStringLiteral("ToPixel(")).isEmpty());
    EXPECT_EQ(view(7).tag, RedrawSignature(m_state.PlaybackSlot(), 3405, 3000, QStringLiteral("12")));

    // With nothing chosen the panel is never drawn, though its record exists.
    m_state.PlaybackSlot().Speed = 80;
    view(7).listIndex = -1;
    m_panels.RefreshMapPanels(7);
    EXPECT_EQ(renders(), 1);
}

TEST_F(MapPanelsTest, ClearedPosition_HidesMapIconSpeedAndZoom_ButFollowsCaptionAndLamps) {
    view(7).listIndex = 0;
    m_panels.RefreshMapPanels(7);
    view(0).listIndex = 0;
    m_panels.RefreshMapPanels(0);
    const auto landmarkBefore = view(0).landmarks[0];

    // The track reset's empty slot, and a vehicle that lost its position.
    m_state.PlaybackSlot() = VehicleRecord{};
    m_state.PlaybackSlot().CheckPoint = kCheckNotAnswered;
    m_state.PlaybackSlot().Healthy = QStringLiteral("2");
    m_state.Vehicles[0].X = 0;
    m_state.Vehicles[0].Y = 0;
    const int before = static_cast<int>(m_engine.calls.size());
    m_panels.RefreshMapPanels(0);

    EXPECT_EQ(m_engine.calls.mid(before), QStringList{}) << "no engine use without a position";
    const FakeMapPanelView& v = view(7);
    EXPECT_EQ(v.zoomButtonsVisible, false);
    EXPECT_TRUE(v.mapPicture.isEmpty());
    EXPECT_TRUE(v.vehiclePicture.isEmpty());
    EXPECT_EQ(v.speedVisible, false);
    EXPECT_TRUE(v.vehicleToolTip.isEmpty());
    EXPECT_EQ(v.mapVisible, true) << "the map picture keeps its Visible state";
    EXPECT_EQ(v.caption, QStringLiteral(" 未撥通 "));
    EXPECT_EQ(v.lamps[0], kLampNoAnswerColour);
    EXPECT_EQ(v.lamps[1], kLampReportColour);
    EXPECT_EQ(view(0).landmarks[0].rect, landmarkBefore.rect) << "landmarks keep their places";
    EXPECT_TRUE(view(0).landmarks[0].visible);
}

TEST_F(MapPanelsTest, EmptyCaption_IsHidden) {
    m_state.Vehicles[2].DialTime.clear();
    m_state.Vehicles[2].CheckPoint.clear();
    view(4).listIndex = 2;
    view(4).caption = QStringLiteral("old");

    m_panels.RefreshMapPanels(4);

    EXPECT_TRUE(view(4).caption.isEmpty());
    EXPECT_EQ(view(4).captionVisible, false);
}

TEST_F(MapPanelsTest, CaptionBold_ExactlyOnPanelsShowingTheVehicleBeingCalled) {
    chooseEverywhere();
    m_panels.RefreshMapPanels(0);
    for (int i = 0; i < kMapPanelCount; ++i) {
        EXPECT_EQ(view(i).captionBold, false) << "panel " << i;
    }

    m_state.CurrentVehicle = 1;
    m_panels.RefreshMapPanels(0);
    for (int i = 0; i < kMapPanelCount; ++i) {
        EXPECT_EQ(view(i).captionBold, i % 2 == 1) << "panel " << i;
    }
}

TEST_F(MapPanelsTest, CaptionColour_BlueOnlyForARealTimeState) {
    m_state.Vehicles[0].CheckPoint = kCheckLastKnown;
    view(1).listIndex = 0;
    m_panels.RefreshMapPanels(1);
    EXPECT_EQ(view(1).captionColour, kCaptionOtherColour);
}

void expectLamps(const QString& healthy, const std::array<int32_t, kLampCount>& expected) {
    for (int k = 0; k < kLampCount; ++k) {
        EXPECT_EQ(LampColour(healthy, k), expected[static_cast<std::size_t>(k)])
            << healthy.toStdString() << " lamp " << k;
    }
}

TEST(MapPanelLamps, HistoryDigits_LightTopToBottomOldestFirst) {
    constexpr int32_t Y = kLampReportColour;
    constexpr int32_t O = kLampNoReportColour;
    constexpr int32_t R = kLampNoAnswerColour;
    EXPECT_EQ(O, 0x0080FF) << "RGB(255, 128, 0)";
    expectLamps(QStringLiteral("00012"), {Y, Y, Y, O, R});
    expectLamps(QString(), {Y, Y, Y, Y, Y});
    expectLamps(QStringLiteral("2x1"), {R, Y, O, Y, Y});
    expectLamps(QStringLiteral("92-1 "), {Y, R, Y, O, Y});
}

void expectIcon(int16_t carType, float direction, const char* file) {
    EXPECT_EQ(VehicleIconFile(carType, direction), QString::fromUtf8(file))
        << "CarType " << carType << ", Direction " << direction;
}

TEST(MapPanelIcons, ModelAndHeading_PickTheFileRoundingHalvesToEven) {
    expectIcon(1, 0, "carimage/Ferrari/car000.gif");
    expectIcon(2, 22.5f, "carimage/S320/car000.gif");
    expectIcon(3, 67.5f, "carimage/Mini/car090.gif");
    expectIcon(0, 337.5f, "carimage/C-Rv/car000.gif");
    expectIcon(4, 202.5f, "carimage/C-Rv/car180.gif");
    expectIcon(-1, 200, "carimage/C-Rv/car180.gif");
    expectIcon(1, 112.5f, "carimage/Ferrari/car090.gif");
    expectIcon(1, 157.5f, "carimage/Ferrari/car180.gif");
    expectIcon(1, 359, "carimage/Ferrari/car000.gif");
    expectIcon(1, 360, "carimage/Ferrari/car000.gif");
    expectIcon(1, 315, "carimage/Ferrari/car315.gif");
    expectIcon(1, -45, "carimage/Ferrari/car315.gif");
    EXPECT_THROW(VehicleIconFile(1, 1e12f), RuntimeError);
}

TEST(MapPanelTexts, LastContact_ShowsAStoredTimeShortAndAnythingElseAsItStands) {
    EXPECT_EQ(LastContactText(QStringLiteral("2004/05/01 13:45:10")), QStringLiteral("最後連線:04-05-01 13:45:10"));
    EXPECT_EQ(LastContactText(QString()), QStringLiteral("最後連線:"));
    EXPECT_EQ(LastContactText(QStringLiteral("2004/13/01 13:45:10")), QStringLiteral("最後連線:2004/13/01 13:45:10"));
}

TEST_F(MapPanelsTest, Landmarks_FillAtMostTenSlots_AndAnUnknownKindKeepsThePicture) {
    m_state.Coordinates.clear();
    for (int j = 0; j < 12; ++j) {
        m_state.Coordinates.push_back(Landmark(121.5 + j * 0.001, 25.04, j == 4 ? "9" : "2", QString::number(j)));
    }
    m_state.Coordinates.push_back(CoordinateRecord{});
    view(6).listIndex = 0;
    view(6).landmarks[4].picture = 3;

    m_panels.RefreshMapPanels(6);

    EXPECT_EQ(m_engine.calls.filter(QStringLiteral("ToPixel(")).size(), kLandmarkSlotCount);
    EXPECT_EQ(view(6).landmarks[9].toolTip, QStringLiteral("9"));
    EXPECT_EQ(view(6).landmarks[3].picture, 2);
    EXPECT_EQ(view(6).landmarks[4].picture, 3);
    EXPECT_TRUE(view(6).landmarks[4].visible);
}

TEST_F(MapPanelsTest, NoLandmarkRows_ShowNoLandmark) {
    // No landmark rows leave only the empty last element; an array never loaded holds nothing at all.
    const std::vector<std::vector<CoordinateRecord>> cases = {{CoordinateRecord{}}, {}};
    for (std::size_t k = 0; k < cases.size(); ++k) {
        m_state.Coordinates = cases[k];
        // Another vehicle each time, so that the panel is drawn anew.
        view(1).listIndex = static_cast<int>(k);
        m_engine.calls.clear();
        m_panels.RefreshMapPanels(1);
        EXPECT_EQ(renders(), 1) << k;
        EXPECT_TRUE(m_engine.calls.filter(QStringLiteral("ToPixel(")).isEmpty());
        for (const auto& landmark : view(1).landmarks) {
            EXPECT_FALSE(landmark.visible);
            EXPECT_FALSE(landmark.rect.has_value());
        }
    }
}

TEST_F(MapPanelsTest, ChooserClick_RedrawsItsPanelExceptWhileTheListLoads) {
    view(3).listIndex = 1;
    m_state.bLoadingVehicles = true;
    m_panels.cmbVehicle_Click(3);
    EXPECT_EQ(renders(), 0);

    m_state.bLoadingVehicles = false;
    m_panels.cmbVehicle_Click(3);
    EXPECT_EQ(renderedFiles(), QStringList{bitmap(3)});
}

TEST_F(MapPanelsTest, PanelOrMapClick_FocusesAnEnabledChooserOnly) {
    m_panels.fraMap_Click(2);
    m_panels.imgMap_Click(2);
    view(4).chooserEnabled = false;
    m_panels.imgMap_Click(4);

    EXPECT_EQ(view(2).chooserFocused, 2);
    EXPECT_EQ(view(4).chooserFocused, 0);
}

TEST_F(MapPanelsTest, RenderFailure_KeepsTheTextHangsUpShowsItAndEnds_EarlierPanelsKeepTheirDrawing) {
    chooseEverywhere();
    m_state.Vehicles[1].Speed = 99; // only panels 1, 3, 5 change
    view(4).missingFiles << kFolder + QStringLiteral("/carimage/Ferrari/car045.gif");
    QStringList order;
    m_onHangUp = [&] { order << QStringLiteral("hang up ") + m_state.LastErrorText; };

    m_panels.RefreshMapPanels(0);

    const QString text = kFolder + QStringLiteral("/carimage/Ferrari/car045.gif: File not found");
    EXPECT_EQ(order, QStringList{QStringLiteral("hang up ") + text});
    ASSERT_EQ(m_box.shown.size(), 1u);
    EXPECT_EQ(m_box.shown[0].kind, QStringLiteral("critical"));
    EXPECT_EQ(m_box.shown[0].text, text);
    EXPECT_EQ(m_box.shown[0].title, m_box.defaultTitle());
    EXPECT_EQ(m_ended, 1);
    EXPECT_EQ(m_state.LastErrorText, text);
    EXPECT_FALSE(view(3).tag.isEmpty());
    EXPECT_TRUE(view(4).tag.isEmpty());
    EXPECT_EQ(renderedFiles().last(), bitmap(4)) << "panels after the failure are not drawn";
}

TEST_F(MapPanelsTest, EngineFailures_EndTheProgramEvenWhenHangingUpFails) {
    m_onHangUp = [] { throw RuntimeError(QStringLiteral("port gone")); };
    view(1).listIndex = 0;
    m_engine.saveBitmapError = QStringLiteral("image/map1.bmp: cannot write");
    m_panels.RefreshMapPanels(1);

    m_state.MapEngine = nullptr;
    m_panels.RefreshMapPanels(1);

    m_state.MapEngine = &m_engine;
    m_engine.saveBitmapError.reset();
    m_state.Vehicles[0].X = 1e9; // beyond a Long in millionths of a degree
    m_panels.RefreshMapPanels(1);

    ASSERT_EQ(m_box.shown.size(), 3u);
    EXPECT_EQ(m_box.shown[0].text, QStringLiteral("image/map1.bmp: cannot write"));
    EXPECT_FALSE(m_box.shown[1].text.isEmpty());
    EXPECT_EQ(m_box.shown[2].text, QStringLiteral("溢位"));
    EXPECT_EQ(m_ended, 3);
}

} // namespace
