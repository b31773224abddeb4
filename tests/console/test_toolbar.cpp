#include "console/main_toolbar.h"
#include "console/status_bar.h"
#include "console/toolbar_button_rows.h"
#include "console/toolbar_design.h"
#include "console/toolbar_rows.h"
#include "startup/qstring_printer.h"
#include "startup/runtime_error.h"
#include "test_application.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace kestrova;

namespace {

using Style = ToolbarButtonStyle;

// The tool bar as the design gives it, written out once more by hand.
struct ExpectedEntry {
    const char16_t* key;
    const char16_t* caption;
    Style style;
    int image;
    bool enabled;
    bool pressed;
};

const ExpectedEntry kExpected[kToolbarEntryCount] = {
    {u"Search", u"搜尋", Style::Default, 1, true, false},
    {u"Management", u"車輛管理", Style::Default, 2, true, false},
    {u"Print", u"列印", Style::Default, 10, false, false},
    {u"", u"", Style::Separator, 0, true, false},
    {u"Kestrova", u"自動追蹤", Style::ButtonGroup, 3, true, true},
    {u"ManualCall", u"手動追蹤", Style::ButtonGroup, 4, true, false},
    {u"", u"", Style::Separator, 0, true, false},
    {u"Dial", u"啟動追蹤", Style::Default, 11, true, false},
    {u"Interrupt", u"追蹤中斷", Style::Default, 5, false, false},
    {u"", u"", Style::Separator, 0, true, false},
    {u"TrackQuery", u"航跡查詢", Style::ButtonGroup, 6, true, false},
    {u"RealTimePosition", u"即時顯示", Style::Check, 7, false, false},
    {u"Showlist", u"顯示列表", Style::Default, 13, true, false},
    {u"", u"", Style::Separator, 0, true, false},
    {u"Settings", u"系統設定", Style::Default, 8, true, false},
    {u"", u"", Style::Separator, 0, true, false},
    {u"About", u"關於", Style::Default, 12, true, false},
    {u"", u"", Style::Separator, 0, true, false},
    {u"Exit", u"結束系統", Style::Default, 9, true, false},
};

const char16_t* const kDispatchKeys[] = {u"Search",   u"Management", u"Print",      u"Kestrova",         u"ManualCall",
                                         u"Dial",     u"Interrupt",  u"TrackQuery", u"RealTimePosition", u"Showlist",
                                         u"Settings", u"About",      u"Exit"};

// Actions that record the key of every action run, each action naming the key it stands for.
ToolbarActions recordingActions(QStringList& ran) {
    auto record = [&ran](const char* key) { return [&ran, key] { ran << QString::fromLatin1(key); }; };
    return {record("Search"),    record("Management"), record("Print"),
            record("Kestrova"),  record("ManualCall"), record("Dial"),
            record("Interrupt"), record("TrackQuery"), record("RealTimePosition"),
            record("Showlist"),  record("Settings"),   record("About"),
            record("Exit")};
}

TEST(ToolbarDesign, Entries_MatchTheDesignInOrder) {
    for (int i = 0; i < kToolbarEntryCount; ++i) {
        const ToolbarEntry& entry = kToolbarDesign[static_cast<std::size_t>(i)];
        const ExpectedEntry& expected = kExpected[i];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(entry.Position, i + 1);
        EXPECT_EQ(entry.Key, QStringView(expected.key));
        EXPECT_EQ(entry.Caption, QStringView(expected.caption));
        EXPECT_EQ(entry.Style, expected.style);
        EXPECT_EQ(entry.Image, expected.image);
        EXPECT_EQ(entry.Enabled, expected.enabled);
        EXPECT_EQ(entry.Pressed, expected.pressed);
    }
}

TEST(ToolbarDispatch, EachKey_RunsOnlyItsOwnAction) {
    for (const char16_t* key : kDispatchKeys) {
        QStringList ran;
        tblToolbar_ButtonClick(recordingActions(ran), QString::fromUtf16(key));
        EXPECT_EQ(ran, QStringList{QString::fromUtf16(key)});
    }
}

TEST(ToolbarDispatch, KeyWithoutAction_DoesNothing) {
    QStringList ran;
    const ToolbarActions actions = recordingActions(ran);
    for (const QString& key : {QString(), QStringLiteral("exit"), QStringLiteral("Exit "), QStringLiteral("SHOWLIST"),
                               QStringLiteral("NewRec")})
        tblToolbar_ButtonClick(actions, key);
    EXPECT_TRUE(ran.isEmpty()) << ran.join(',').toStdString();
    // Actions the console does not have yet are simply empty.
    tblToolbar_ButtonClick(ToolbarActions{}, QStringLiteral("Dial"));
}

class MainToolbarTest : public ::testing::Test {
protected:
    MainToolbarTest() {
        test::TestApplication();
        // Picture n is n + 10 pixels square, so each button's icon tells which file it came from.
        QDir(m_folder.path()).mkpath(QStringLiteral("icons/ImageList1"));
        for (int n = 1; n <= 13; ++n) {
            QImage picture(n + 10, n + 10, QImage::Format_ARGB32);
            picture.fill(Qt::blue);
            picture.save(QDir(m_folder.path()).filePath(toolbarPicturePath(n)));
        }
        m_toolbar = std::make_unique<MainToolbar>(m_folder.path(), recordingActions(m_ran));
    }

    // Clicks the button as the operator would: the click reaches the action only when it is enabled.
    void click(const char* key) { m_toolbar->button(QString::fromLatin1(key))->trigger(); }

    QTemporaryDir m_folder;
    QStringList m_ran;
    std::unique_ptr<MainToolbar> m_toolbar;
};

TEST_F(MainToolbarTest, Built_HasTheDesignedButtonsAndSeparatorsInOrder) {
    EXPECT_EQ(m_toolbar->objectName(), QStringLiteral("tblToolbar"));
    const QList<QAction*> actions = m_toolbar->buttonRows()->actions();
    ASSERT_EQ(actions.size(), kToolbarEntryCount);
    for (int i = 0; i < kToolbarEntryCount; ++i) {
        const ExpectedEntry& expected = kExpected[i];
        const QAction* action = actions[i];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(action->isSeparator(), expected.style == Style::Separator);
        if (action->isSeparator())
            continue;
        EXPECT_EQ(action->objectName(), QString::fromUtf16(expected.key));
        EXPECT_EQ(action->text(), QString::fromUtf16(expected.caption));
        EXPECT_EQ(action->isCheckable(), expected.style == Style::ButtonGroup || expected.style == Style::Check);
        EXPECT_EQ(action->isEnabled(), expected.enabled);
        EXPECT_EQ(action->isChecked(), expected.pressed);
        const QList<QSize> sizes = action->icon().availableSizes();
        ASSERT_EQ(sizes.size(), 1);
        EXPECT_EQ(sizes.front(), QSize(expected.image + 10, expected.image + 10));
    }
    EXPECT_TRUE(m_ran.isEmpty());
}

TEST_F(MainToolbarTest, GroupButtons_PressOnlyWithinTheirGroupAndStayPressed) {
    click("ManualCall");
    EXPECT_FALSE(m_toolbar->isButtonPressed("Kestrova"));
    EXPECT_TRUE(m_toolbar->isButtonPressed("ManualCall"));
    click("ManualCall");
    EXPECT_TRUE(m_toolbar->isButtonPressed("ManualCall"));
    // "TrackQuery" is a group of its own: it leaves the calling modes' buttons alone.
    click("TrackQuery");
    click("TrackQuery");
    EXPECT_TRUE(m_toolbar->isButtonPressed("TrackQuery"));
    EXPECT_TRUE(m_toolbar->isButtonPressed("ManualCall"));
    // The actions themselves may unpress every button of a group.
    m_toolbar->setButtonPressed("ManualCall", false);
    EXPECT_FALSE(m_toolbar->isButtonPressed("Kestrova"));
    EXPECT_FALSE(m_toolbar->isButtonPressed("ManualCall"));
    m_toolbar->setButtonPressed("Kestrova", true);
    EXPECT_TRUE(m_toolbar->isButtonPressed("Kestrova"));
    EXPECT_EQ(m_ran, (QStringList{"ManualCall", "ManualCall", "TrackQuery", "TrackQuery"}));
}

TEST_F(MainToolbarTest, CheckAndDefaultButtons_FlipOrNeverStayPressed) {
    click("RealTimePosition");
    EXPECT_TRUE(m_ran.isEmpty()) << "a disabled button does not click";
    m_toolbar->setButtonEnabled("RealTimePosition", true);
    click("RealTimePosition");
    EXPECT_TRUE(m_toolbar->isButtonPressed("RealTimePosition"));
    click("RealTimePosition");
    EXPECT_FALSE(m_toolbar->isButtonPressed("RealTimePosition"));
    click("Search");
    EXPECT_FALSE(m_toolbar->isButtonPressed("Search"));
    EXPECT_EQ(m_ran, (QStringList{"RealTimePosition", "RealTimePosition", "Search"}));
}

TEST_F(MainToolbarTest, ShowlistAndExitClicks_RunTheirCallbacks) {
    int shown = 0;
    int closed = 0;
    m_toolbar->toolbarActions().ToggleVehicleList = [&] { ++shown; };
    m_toolbar->toolbarActions().Exit = [&] { ++closed; };
    click("Showlist");
    click("Exit");
    click("Showlist");
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(closed, 1);
}

TEST_F(MainToolbarTest, CaptionsAndStates_SetByKey) {
    m_toolbar->setButtonCaption("Showlist", QStringLiteral("隱藏列表"));
    EXPECT_EQ(m_toolbar->buttonCaption("Showlist"), QStringLiteral("隱藏列表"));
    m_toolbar->setButtonEnabled("Dial", false);
    EXPECT_FALSE(m_toolbar->isButtonEnabled("Dial"));
    EXPECT_THROW(m_toolbar->isButtonEnabled("dial"), RuntimeError);
    EXPECT_THROW(m_toolbar->setButtonCaption(QString(), "x"), RuntimeError);
}

// A screen reader presses or toggles a button through the button's accessibility interface.
TEST_F(MainToolbarTest, PressedOrToggledByAScreenReader_RunsTheActionAsAClickDoes) {
    struct Case {
        const char* key;
        QString how;
        bool pressedAfter;
    };
    const QString press = QAccessibleActionInterface::pressAction();
    const QString toggle = QAccessibleActionInterface::toggleAction();
    m_toolbar->setButtonEnabled("RealTimePosition", true);
    const std::vector<Case> cases = {
        {"ManualCall", toggle, true},       {"Kestrova", toggle, true},          {"Kestrova", toggle, true},
        {"ManualCall", press, true},        {"TrackQuery", toggle, true},        {"TrackQuery", press, true},
        {"RealTimePosition", toggle, true}, {"RealTimePosition", toggle, false}, {"RealTimePosition", press, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.how.toStdString());
        QAction* action = m_toolbar->button(QString::fromLatin1(c.key));
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(m_toolbar->buttonRows()->widgetForAction(action));
        ASSERT_NE(button, nullptr);
        ASSERT_NE(button->actionInterface(), nullptr);
        m_ran.clear();
        button->actionInterface()->doAction(c.how);
        EXPECT_EQ(m_ran, QStringList{QString::fromLatin1(c.key)});
        EXPECT_EQ(action->isChecked(), c.pressedAfter);
        EXPECT_EQ(button->state().checked, c.pressedAfter);
    }
    // The group's other button followed; a disabled button does nothing.
    EXPECT_FALSE(m_toolbar->isButtonPressed("Kestrova"));
    m_toolbar->setButtonEnabled("ManualCall", false);
    m_ran.clear();
    QAccessible::queryAccessibleInterface(m_toolbar->buttonRows()->widgetForAction(m_toolbar->button("ManualCall")))
        ->actionInterface()
        ->doAction(toggle);
    EXPECT_TRUE(m_ran.isEmpty());
}

TEST(ToolbarFit, ButtonWidths_NarrowEvenlyDownToTheirCaptions) {
    struct Case {
        int room;
        std::vector<int> widths;
    };
    const std::vector<int> natural = {40, 60, 60};
    const std::vector<int> tight = {36, 50, 40};
    const std::vector<Case> cases = {
        {200, {40, 60, 60}}, // it all fits
        {160, {40, 60, 60}}, // exactly
        {143, {38, 55, 50}}, // 17 of the 34 that can be given up
        {126, {36, 50, 40}}, // down to the captions
        {100, {36, 50, 40}}, // never below them
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitButtonWidths(natural, tight, c.room), c.widths) << c.room;
}

TEST(ToolbarFit, Rows_NarrowFirstThenWrapWithoutSeparatorsAtTheirEdges) {
    using Place = ToolbarItemPlace;
    // Buttons as {natural, tight}; separators 6 wide; 2 between neighbours: 202 side by side, 162 tight.
    const std::vector<ToolbarItemWidth> items = {
        {false, 40, 30}, {true, 6, 6}, {false, 50, 40}, {false, 60, 40}, {true, 6, 6}, {false, 30, 30},
    };
    struct Case {
        int room;
        int rowCount;
        std::vector<Place> places;
    };
    const std::vector<Case> cases = {
        {202, 1, {{0, 0, 40}, {0, 42, 6}, {0, 50, 50}, {0, 102, 60}, {0, 164, 6}, {0, 172, 30}}},
        {162, 1, {{0, 0, 30}, {0, 32, 6}, {0, 40, 40}, {0, 82, 40}, {0, 124, 6}, {0, 132, 30}}},
        // One pixel short of the tight row: the last button wraps, the row above widens again.
        {161, 2, {{0, 0, 39}, {0, 41, 6}, {0, 49, 49}, {0, 100, 59}, {1, 0, 0, false}, {1, 0, 30}}},
        // Narrower than any button: one to a row, at its tight width.
        {0, 4, {{0, 0, 30}, {1, 0, 0, false}, {1, 0, 40}, {2, 0, 40}, {3, 0, 0, false}, {3, 0, 30}}},
    };
    for (const Case& c : cases) {
        const ToolbarRows rows = PlaceToolbarItems(items, 2, c.room);
        EXPECT_EQ(rows.rowCount, c.rowCount) << c.room;
        EXPECT_EQ(rows.places, c.places) << c.room;
    }
    // A separator that would begin or end the bar is not shown either.
    const ToolbarRows edged = PlaceToolbarItems({{true, 6, 6}, {false, 40, 30}, {true, 6, 6}}, 2, 100);
    EXPECT_EQ(edged.places, (std::vector<Place>{{0, 0, 0, false}, {0, 0, 40}, {0, 0, 0, false}}));
}

TEST(MainStatusBar, FourPanels_HoldTheirOwnTexts) {
    test::TestApplication();
    MainStatusBar bar;
    EXPECT_EQ(bar.objectName(), QStringLiteral("stbStatusBar"));
    bar.setPanelText(3, QStringLiteral("已登入基地台"));
    bar.setPanelText(4, QStringLiteral("▂▃"));
    for (int panel = 1; panel <= kStatusPanelCount; ++panel) {
        const auto* label = bar.findChild<QLabel*>(QStringLiteral("stbStatusBar_Panel%1").arg(panel));
        ASSERT_NE(label, nullptr) << panel;
        EXPECT_EQ(label->text(), bar.panelText(panel));
    }
    EXPECT_EQ(bar.panelText(1), QString());
    EXPECT_EQ(bar.panelText(3), QStringLiteral("已登入基地台"));
    EXPECT_THROW(bar.setPanelText(0, "x"), RuntimeError);
    EXPECT_THROW(bar.panelText(5), RuntimeError);
}

} // namespace
