#include "console/main_window_layout.h"

#include <gtest/gtest.h>

using namespace kestrova;

// Expected values are worked out by hand in each test from the window's sizes: w = SW - 240 (at least
// 6000), h = SH - 120 - SBH (at least 4500), tab height SH - 120 - TBH - SBH, cw = (w - 240) / 3,
// ch = (h - TBH - 360) / 2, both rounded to the nearest, a half to the even one.
namespace {

// A 1000 x 600 pixel window with a 40-pixel tool bar and a 20-pixel status bar, in automatic calling.
MainWindowLayoutInputs automaticWindow() {
    MainWindowLayoutInputs in;
    in.Visible = true;
    in.SW = 15000;
    in.SH = 9000;
    in.TBH = 600;
    in.SBH = 300;
    in.Kestrova = 1;
    return in;
}

MainWindowLayoutInputs trackQueryWindow() {
    MainWindowLayoutInputs in = automaticWindow();
    in.Kestrova = 0;
    in.TrackQuery = 1;
    in.CallMode = 2;
    return in;
}

MainWindowLayout layoutOf(const MainWindowLayoutInputs& in) {
    const auto layout = computeMainWindowLayout(in);
    if (!layout)
        ADD_FAILURE() << "a visible, not minimised window must be laid out";
    return layout.value_or(MainWindowLayout{});
}

void expectRect(const TwipsRect& r, float left, float top, float width, float height) {
    EXPECT_EQ(r, (TwipsRect{left, top, width, height}))
        << "got " << r.left << ", " << r.top << ", " << r.width << ", " << r.height;
}

void expectSameLayout(const MainWindowLayout& a, const MainWindowLayout& b) {
    EXPECT_EQ(a.sstSSTab, b.sstSSTab);
    EXPECT_EQ(a.fraTrackQuery, b.fraTrackQuery);
    EXPECT_EQ(a.lvwVehicle, b.lvwVehicle);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(a.panels[i].fraMap, b.panels[i].fraMap) << "panel " << i;
        EXPECT_EQ(a.panels[i].imgMap, b.panels[i].imgMap) << "panel " << i;
        EXPECT_EQ(a.panels[i].imgVehicle, b.panels[i].imgVehicle) << "panel " << i;
    }
}

struct Visibility {
    int16_t CallMode;
    int16_t RealTimePosition;
    bool grid;
    bool large;
    bool track;
};

} // namespace

TEST(MainWindowLayoutGuard, HiddenOrMinimised_NothingToDo) {
    MainWindowLayoutInputs hidden = automaticWindow();
    hidden.Visible = false;
    EXPECT_FALSE(computeMainWindowLayout(hidden).has_value());

    MainWindowLayoutInputs minimised = automaticWindow();
    minimised.WindowState = 1;
    EXPECT_FALSE(computeMainWindowLayout(minimised).has_value());

    MainWindowLayoutInputs maximised = automaticWindow();
    maximised.WindowState = 2;
    const auto layout = computeMainWindowLayout(maximised);
    ASSERT_TRUE(layout.has_value());
    EXPECT_TRUE(layout->redrawPanels);
    EXPECT_TRUE(layout->sstSSTabVisible);
}

TEST(MainWindowLayoutPanels, GridOfSix_ThreeAcrossTwoDownEndingAtMapEdges) {
    // w = 14760, h = 8580, cw = 14520 / 3 = 4840, ch = 7620 / 2 = 3810.
    const MainWindowLayout l = layoutOf(automaticWindow());
    expectRect(l.panels[0].fraMap, 120, 720, 4840, 3810);
    expectRect(l.panels[1].fraMap, 5080, 720, 4840, 3810);
    expectRect(l.panels[2].fraMap, 10040, 720, 4840, 3810);
    expectRect(l.panels[3].fraMap, 120, 4650, 4840, 3810);
    expectRect(l.panels[4].fraMap, 5080, 4650, 4840, 3810);
    expectRect(l.panels[5].fraMap, 10040, 4650, 4840, 3810);
    // Third column ends at 120 + w, second row at h - 120.
    EXPECT_EQ(l.panels[5].fraMap.left + l.panels[5].fraMap.width, 14880);
    EXPECT_EQ(l.panels[5].fraMap.top + l.panels[5].fraMap.height, 8460);
}

TEST(MainWindowLayoutPanels, LargeAndTrackPanels_StartAtPanelZeroAndEndAboveBottomLimit) {
    const MainWindowLayout l = layoutOf(automaticWindow());
    expectRect(l.panels[6].fraMap, 120, 720, 14760, 7740);
    expectRect(l.panels[7].fraMap, 120, 720, 10305, 7740);
    // 120 right of panel 7, 4335 wide, ending at the right edge of panel 6.
    expectRect(l.fraTrackQuery, 10545, 720, 4335, 7740);
    EXPECT_EQ(l.fraTrackQuery.left + l.fraTrackQuery.width, 120 + 14760);
}

TEST(MainWindowLayoutPanels, InnerControls_FollowTheirPanelsSize) {
    const MainWindowLayout l = layoutOf(automaticWindow());

    const MapPanelLayout& grid = l.panels[0]; // 4840 x 3810
    EXPECT_EQ(grid.lblCaption, (TwipsPoint{90, 0}));
    expectRect(grid.imgZoomIn, 0, 260, 390, 390);
    expectRect(grid.imgZoomOut, 0, 3120, 390, 390);
    ASSERT_TRUE(grid.cmbVehicle.has_value());
    EXPECT_EQ(*grid.cmbVehicle, (TwipsSpan{3840, 0, 1000}));
    expectRect(grid.imgMap, 0, 240, 4825, 3570);
    expectRect(grid.shpLED[0], 4600, 375, 195, 195);
    expectRect(grid.shpLED[4], 4600, 1395, 195, 195);
    expectRect(grid.imgVehicle, 2172.5, 1755, 450, 450); // 4825 / 2 - 240, 3570 / 2 - 30

    const MapPanelLayout& track = l.panels[7]; // 10305 x 7740
    EXPECT_FALSE(track.cmbVehicle.has_value());
    expectRect(track.imgZoomOut, 0, 7050, 390, 390);
    expectRect(track.imgMap, 0, 240, 10290, 7500);
    expectRect(track.shpLED[2], 10065, 885, 195, 195);
    expectRect(track.imgVehicle, 4905, 3720, 450, 450);
}

TEST(MainWindowLayoutTab, ListHiddenOrShown_TabBelowOrOverMapArea) {
    MainWindowLayoutInputs in = automaticWindow();
    expectRect(layoutOf(in).sstSSTab, 120, 8580, 14760, 7980);

    in.ListVisible = true;
    const MainWindowLayout over = layoutOf(in);
    expectRect(over.sstSSTab, 120, 720, 14760, 7980);
    EXPECT_TRUE(over.panels[0].Visible); // the grid stays visible behind the list

    in.Kestrova = 0; // list shown, but not in automatic calling
    in.CallMode = 1;
    in.RealTimePosition = 1;
    expectRect(layoutOf(in).sstSSTab, 120, 8580, 14760, 7980);
}

TEST(MainWindowLayoutTab, TabContents_ShareTheListsRectangle) {
    const MainWindowLayout l = layoutOf(automaticWindow());
    expectRect(l.lvwVehicle, 120, 135, 13590, 7710);
    EXPECT_EQ(l.txtCommLog, l.lvwVehicle);
    EXPECT_EQ(l.dbgTrackQuery, l.lvwVehicle);
}

TEST(MainWindowLayoutTrackQuery, QuarterShare_TabInLowestQuarterAndMapsEndAboveIt) {
    // Tab height 7980 / 4 = 1995; h = 8580 - 1995 = 6585.
    const MainWindowLayout l = layoutOf(trackQueryWindow());
    expectRect(l.sstSSTab, 120, 6585, 14760, 1995);
    expectRect(l.panels[7].fraMap, 120, 720, 10305, 5745);
    expectRect(l.fraTrackQuery, 10545, 720, 4335, 5745);
    EXPECT_EQ(l.panels[7].fraMap.top + l.panels[7].fraMap.height, l.sstSSTab.top - 120);
    EXPECT_EQ(l.sstSSTab.top + l.sstSSTab.height, 9000 - 300 - 120);
    expectRect(l.lvwVehicle, 120, 135, 13590, 1725);
    // The hidden grid follows the lowered h: ch = (6585 - 960) / 2 = 2812.5, to the even 2812.
    EXPECT_EQ(l.panels[0].fraMap.height, 2812);
}

TEST(MainWindowLayoutRounding, HalvesGoToTheEvenNeighbour) {
    MainWindowLayoutInputs in = automaticWindow();

    in.SH = 9001; // h = 8581, ch = 7621 / 2 = 3810.5 -> 3810
    MainWindowLayout l = layoutOf(in);
    EXPECT_EQ(l.panels[0].fraMap.height, 3810);
    EXPECT_EQ(l.panels[3].fraMap.top, 4650);
    in.SH = 9003; // h = 8583, ch = 7623 / 2 = 3811.5 -> 3812
    l = layoutOf(in);
    EXPECT_EQ(l.panels[3].fraMap.top, 4652);
    EXPECT_EQ(l.panels[3].fraMap.top + l.panels[3].fraMap.height, 8464); // h - 120 = 8463, within one

    in = automaticWindow();
    in.SW = 15000.5; // w = 14760.5 -> 14760
    EXPECT_EQ(layoutOf(in).panels[6].fraMap.width, 14760);
    in.SW = 15001.5; // w = 14761.5 -> 14762
    EXPECT_EQ(layoutOf(in).panels[6].fraMap.width, 14762);

    in = automaticWindow();
    in.SH = 9000.5; // h = 8580.5 -> 8580
    EXPECT_EQ(layoutOf(in).panels[6].fraMap.height, 7740);
    in.SH = 9001.5; // h = 8581.5 -> 8582
    EXPECT_EQ(layoutOf(in).panels[6].fraMap.height, 7742);

    in = trackQueryWindow();
    in.SBH = 302; // quarter 7978 / 4 = 1994.5, h = 8578 - 1994.5 = 6583.5 -> 6584
    EXPECT_EQ(layoutOf(in).sstSSTab.top, 6584);
    in.SBH = 298; // quarter 7982 / 4 = 1995.5, h = 8582 - 1995.5 = 6586.5 -> 6586
    l = layoutOf(in);
    EXPECT_EQ(l.sstSSTab.top, 6586);
    EXPECT_EQ(l.sstSSTab.height, 1995.5);
    EXPECT_EQ(l.panels[7].fraMap.height, 5746);
}

TEST(MainWindowLayoutRounding, GridWidthInThirds_NearestColumnWidth) {
    MainWindowLayoutInputs in = automaticWindow();
    in.SW = 15001; // cw = 14521 / 3 = 4840.33 -> 4840
    MainWindowLayout l = layoutOf(in);
    EXPECT_EQ(l.panels[2].fraMap, (TwipsRect{10040, 720, 4840, 3810}));
    in.SW = 15002; // cw = 14522 / 3 = 4840.67 -> 4841; third column ends at 14883, 120 + w = 14882
    l = layoutOf(in);
    EXPECT_EQ(l.panels[2].fraMap, (TwipsRect{10042, 720, 4841, 3810}));
}

TEST(MainWindowLayoutMinimum, NarrowWindow_LaidOutAsMinimumWidth) {
    MainWindowLayoutInputs in = automaticWindow();
    in.SW = 3000; // w = 6000, cw = 1920
    const MainWindowLayout narrow = layoutOf(in);
    expectRect(narrow.panels[2].fraMap, 4200, 720, 1920, 3810);
    expectRect(narrow.panels[7].fraMap, 120, 720, 1545, 7740);
    expectRect(narrow.fraTrackQuery, 1785, 720, 4335, 7740);
    EXPECT_EQ(narrow.lvwVehicle.width, 4830);

    in.SW = 6240;
    expectSameLayout(narrow, layoutOf(in));
    in.SW = 6239;
    EXPECT_EQ(layoutOf(in).panels[6].fraMap.width, 6000);
    in.SW = 6241;
    EXPECT_EQ(layoutOf(in).panels[6].fraMap.width, 6001);
}

TEST(MainWindowLayoutMinimum, LowWindow_BottomLimitHeldAt4500) {
    MainWindowLayoutInputs in = automaticWindow();
    in.SH = 3000; // h would be 2580; the tab height stays 1980
    const MainWindowLayout l = layoutOf(in);
    expectRect(l.sstSSTab, 120, 4500, 14760, 1980);
    expectRect(l.panels[3].fraMap, 120, 2610, 4840, 1770); // ch = 3540 / 2
    EXPECT_EQ(l.panels[6].fraMap.height, 3660);

    in.SH = 4919; // h = 4499 -> 4500
    EXPECT_EQ(layoutOf(in).panels[6].fraMap.height, 3660);
    in.SH = 4921;
    EXPECT_EQ(layoutOf(in).panels[6].fraMap.height, 3661);
}

TEST(MainWindowLayoutMinimum, TinyWindow_NoNegativeSizes) {
    MainWindowLayoutInputs in = automaticWindow();
    in.SH = 900; // tab height 900 - 1020 = -120
    MainWindowLayout l = layoutOf(in);
    expectRect(l.sstSSTab, 120, 4500, 14760, 0);
    expectRect(l.lvwVehicle, 120, 135, 13590, 0);
    EXPECT_EQ(l.dbgTrackQuery, l.lvwVehicle);

    // A negative quarter would raise h past its minimum; held at 0, h stays 4500.
    in = trackQueryWindow();
    in.SH = 900;
    l = layoutOf(in);
    expectRect(l.sstSSTab, 120, 4500, 14760, 0);
    EXPECT_EQ(l.panels[7].fraMap.height, 3660);

    in.SH = 2000; // quarter 980 / 4 = 245, below the list's 270
    l = layoutOf(in);
    expectRect(l.sstSSTab, 120, 4255, 14760, 245);
    EXPECT_EQ(l.lvwVehicle.height, 0);
    EXPECT_EQ(l.panels[7].fraMap.height, 3415);
}

TEST(MainWindowLayoutMaximum, WindowBeyond16BitLengths_SameRules) {
    MainWindowLayoutInputs in = automaticWindow();
    in.SW = 45000; // w = 44760, cw = 14840
    in.SH = 40000; // h = 39580, ch = 19310
    const MainWindowLayout l = layoutOf(in);
    expectRect(l.panels[5].fraMap, 30040, 20150, 14840, 19310);
    expectRect(l.panels[6].fraMap, 120, 720, 44760, 38740);
    EXPECT_EQ(l.fraTrackQuery.left + l.fraTrackQuery.width, 44880);
}

TEST(MainWindowLayoutVisibility, EachModeShowsItsPanels) {
    const Visibility cases[] = {
        {0, 0, true, false, false},  {0, 1, false, true, false}, {1, 1, false, true, false},
        {1, 0, false, false, false}, {2, 0, false, false, true}, {2, 1, false, false, true},
    };
    for (const Visibility& c : cases) {
        MainWindowLayoutInputs in = automaticWindow();
        in.CallMode = c.CallMode;
        in.RealTimePosition = c.RealTimePosition;
        const MainWindowLayout l = layoutOf(in);
        SCOPED_TRACE(testing::Message() << "CallMode " << c.CallMode << ", RealTimePosition " << c.RealTimePosition);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(l.panels[i].Visible, c.grid) << "panel " << i;
        EXPECT_EQ(l.panels[6].Visible, c.large);
        EXPECT_EQ(l.panels[7].Visible, c.track);
        EXPECT_EQ(l.fraTrackQueryVisible, c.track);
    }
}

TEST(MainWindowLayoutPixels, EdgesRoundToNearestHalfToEven) {
    EXPECT_EQ(twipsToPixels(7.5), 0);
    EXPECT_EQ(twipsToPixels(22.5), 2);
    EXPECT_EQ(twipsToPixels(37.5), 2);
    EXPECT_EQ(twipsToPixels(52.5), 4);
    EXPECT_EQ(twipsToPixels(-7.5), 0);

    // Right edge 4960 / 15 = 330.67 -> 331, bottom 4530 / 15 = 302.
    EXPECT_EQ(toPixels(TwipsRect{120, 720, 4840, 3810}), QRect(8, 48, 323, 254));
    EXPECT_EQ(toPixels(TwipsPoint{90, 0}), QPoint(6, 0));
    EXPECT_EQ(toPixels(TwipsSpan{3840, 0, 1000}, 22), QRect(256, 0, 67, 22));

    // Rectangles that meet in twips meet in pixels.
    const QRect a = toPixels(TwipsRect{0, 0, 22.5, 15});
    const QRect b = toPixels(TwipsRect{22.5, 0, 15, 15});
    EXPECT_EQ(a.x() + a.width(), b.x());

    const MainWindowLayout l = layoutOf(automaticWindow());
    const QRect large = toPixels(l.panels[6].fraMap);
    const QRect frame = toPixels(l.fraTrackQuery);
    EXPECT_EQ(frame.x() + frame.width(), large.x() + large.width());
}
