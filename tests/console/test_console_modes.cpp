#include "calling/call_cycle_rules.h"
#include "console/console_modes.h"
#include "console/main_toolbar.h"
#include "console/toolbar_design.h"
#include "console/track_query_dial_lock.h"
#include "fake_vehicle_list.h"
#include "startup/qstring_printer.h"
#include "test_application.h"

#include <QAction>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>

using namespace kestrova;
using kestrova::test::FakePanelChoosers;
using kestrova::test::FakeVehicleListView;

namespace {

// The tool bar with its design states; it notes every state an action sets, per key, in the words of the
// button table ("on", "off", "pressed", "unpressed").
class RecordingToolBar final : public ToolBarButtonStates {
public:
    RecordingToolBar() {
        for (const ToolbarEntry& entry : kToolbarDesign) {
            if (entry.Style != ToolbarButtonStyle::Separator)
                m_buttons[entry.Key.toString()] = {entry.Enabled, entry.Pressed, entry.Caption.toString()};
        }
    }

    bool isButtonEnabled(const QString& key) const override { return at(key).enabled; }
    void setButtonEnabled(const QString& key, bool enabled) override {
        at(key).enabled = enabled;
        touched[key] << (enabled ? "on" : "off");
    }
    void setButtonCaption(const QString& key, const QString& caption) override { at(key).caption = caption; }
    bool isButtonPressed(const QString& key) const override { return at(key).pressed; }
    void setButtonPressed(const QString& key, bool pressed) override {
        at(key).pressed = pressed;
        touched[key] << (pressed ? "pressed" : "unpressed");
    }
    QString buttonCaption(const QString& key) const override { return at(key).caption; }

    // What the actions set since the last call, one text per key.
    std::map<QString, QString> takeTouched() {
        std::map<QString, QString> result;
        for (const auto& [key, states] : touched)
            result[key] = states.join(' ');
        touched.clear();
        return result;
    }

    std::map<QString, QStringList> touched;

private:
    struct Button {
        bool enabled = false;
        bool pressed = false;
        QString caption;
    };
    Button& at(const QString& key) const {
        const auto found = m_buttons.find(key);
        if (found == m_buttons.end()) {
            ADD_FAILURE() << "no button " << key.toStdString();
            static Button nowhere;
            return nowhere;
        }
        return const_cast<Button&>(found->second);
    }
    std::map<QString, Button> m_buttons;
};

// Panels, frame, query button and tabs; every change is written to the shared log.
class LoggingModeControls final : public ConsoleModeControls {
public:
    explicit LoggingModeControls(QStringList& log) : m_log(log) {}

    void setMapPanelVisible(int i, bool visible) override {
        EXPECT_TRUE(i >= 0 && i < kMapPanelCount) << i;
        m_log << QStringLiteral("fraMap(%1)=%2").arg(i).arg(int(visible));
    }
    void setTrackQueryFrameVisible(bool visible) override {
        m_log << QStringLiteral("fraTrackQuery=%1").arg(int(visible));
    }
    void setQueryButtonEnabled(bool enabled) override { m_log << QStringLiteral("cmdQuery=%1").arg(int(enabled)); }
    void setTabEnabled(int tab, bool enabled) override {
        m_log << QStringLiteral("tab%1=%2").arg(tab).arg(enabled ? "on" : "off");
    }
    void setCurrentTab(int tab) override { m_log << QStringLiteral("current=%1").arg(tab); }
    void setFocusTo(ConsoleTabs::Content content) override {
        m_log << (content == ConsoleTabs::Content::lvwVehicle      ? "focus=lvwVehicle"
                  : content == ConsoleTabs::Content::dbgTrackQuery ? "focus=dbgTrackQuery"
                                                                   : "focus=txtCommLog");
    }

private:
    QStringList& m_log;
};

class FakeTimer final : public CallTimer {
public:
    bool Enabled() const override { return enabled; }
    void setEnabled(bool e) override { enabled = e; }
    QString Tag() const override { return tag; }
    void setTag(const QString& t) override { tag = t; }

    bool enabled = false;
    QString tag;
};

// The entries of the panel step: shown holds '1' or '0' for fraMap(0) to fraMap(7), then fraTrackQuery.
QStringList panelEntries(const char* shown) {
    QStringList entries;
    for (int i = 0; i < kMapPanelCount; ++i)
        entries << QStringLiteral("fraMap(%1)=%2").arg(i).arg(shown[i]);
    entries << QStringLiteral("fraTrackQuery=%1").arg(shown[kMapPanelCount]);
    return entries;
}

const QStringList kCallingTabs{"tab0=on", "tab1=on", "tab2=off", "current=0", "focus=lvwVehicle"};
const QStringList kTrackQueryTabs{"tab0=off", "tab1=off", "tab2=on", "current=2", "focus=dbgTrackQuery"};

// The console with three vehicles (and the spare slot), the first row selected, nothing flagged. The
// callbacks log what they are called with and the state they depend on.
class ConsoleModesTest : public ::testing::Test {
protected:
    ConsoleModesTest() {
        state.Vehicles.resize(4);
        state.CurrentVehicle = -1;
        for (int i = 0; i < 3; ++i)
            list.addRow(QStringLiteral("#%1").arg(i), {});
        list.selectRow(0);
        choosers.choosers[kTrackPanel].items = QStringList{"A-1", "B-2", "C-3"};
        modes = std::make_unique<ConsoleModes>(ConsoleModesParts{
            state,
            toolBar,
            controls,
            list,
            choosers,
            Timer1,
            [this] {
                log << QStringLiteral("Form_Resize(RealTimePosition=%1)")
                           .arg(int(toolBar.isButtonPressed("RealTimePosition")));
            },
            [this] {
                log << QStringLiteral("CarList_Click(ListVisible=%1)").arg(int(state.ListVisible));
                state.ListVisible = !state.ListVisible;
            },
            [this](int16_t index) { log << QStringLiteral("RefreshMapPanels(%1)").arg(index); },
            [this](int16_t from) {
                log << QStringLiteral("SelectNextDialVehicle(%1)").arg(from);
                const std::optional<int> next = NextDialVehicle(state.Vehicles, list.rowCount(), from);
                if (next)
                    state.CurrentVehicle = static_cast<int16_t>(*next);
                return next.has_value();
            },
            [this] {
                log << QStringLiteral("StopCalling(Interrupt=%1)")
                           .arg(toolBar.isButtonEnabled("Interrupt") ? "on" : "off");
                Timer1.enabled = false;
                state.CurrentVehicle = -1;
            },
            [this] { log << QStringLiteral("ResetTrackQuery(CallMode=%1)").arg(state.CallMode); },
            [this](const QString& vehicle, const QString& from, const QString& to, float fromSpeed, float toSpeed,
                   float fromOffset, float toOffset) {
                log << QStringLiteral("QueryTrack(%1,%2,%3,%4,%5,%6,%7)")
                           .arg(vehicle, from, to)
                           .arg(fromSpeed)
                           .arg(toSpeed)
                           .arg(fromOffset)
                           .arg(toOffset);
            },
        });
    }

    void flag(std::initializer_list<int> flagged) {
        for (int i : flagged)
            state.Vehicles[static_cast<std::size_t>(i)].Dial = true;
    }

    // Runs the action and returns what it set on the tool bar.
    std::map<QString, QString> buttonsSetBy(void (ConsoleModes::*action)()) {
        toolBar.takeTouched();
        ((*modes).*action)();
        return toolBar.takeTouched();
    }

    MainWindowState state;
    RecordingToolBar toolBar;
    QStringList log;
    LoggingModeControls controls{log};
    FakeVehicleListView list;
    FakePanelChoosers choosers;
    FakeTimer Timer1;
    std::unique_ptr<ConsoleModes> modes;
};

using Buttons = std::map<QString, QString>;

TEST_F(ConsoleModesTest, EachAction_SetsItsColumnOfTheButtonTable) {
    EXPECT_EQ(buttonsSetBy(&ConsoleModes::SwitchToAutomaticMode), (Buttons{{"Management", "on"},
                                                                           {"Print", "off"},
                                                                           {"Dial", "on"},
                                                                           {"TrackQuery", "unpressed"},
                                                                           {"RealTimePosition", "unpressed"},
                                                                           {"Showlist", "on"}}));
    const Buttons startAutomatic{
        {"Search", "off"},   {"Management", "off"}, {"Kestrova", "off"},   {"ManualCall", "off"},
        {"Dial", "off"},     {"Interrupt", "on"},   {"TrackQuery", "off"}, {"RealTimePosition", "on"},
        {"Settings", "off"}, {"About", "off"}};
    EXPECT_EQ(buttonsSetBy(&ConsoleModes::StartDialing), startAutomatic);
    const Buttons interruptAutomatic{
        {"Search", "on"},   {"Management", "on"}, {"Kestrova", "on"},   {"ManualCall", "on"},
        {"Dial", "on"},     {"Interrupt", "off"}, {"TrackQuery", "on"}, {"RealTimePosition", "off unpressed"},
        {"Settings", "on"}, {"About", "on"}};
    EXPECT_EQ(buttonsSetBy(&ConsoleModes::InterruptDialing), interruptAutomatic);

    EXPECT_EQ(buttonsSetBy(&ConsoleModes::SwitchToManualMode), (Buttons{{"Management", "on"},
                                                                        {"Print", "off"},
                                                                        {"Dial", "on"},
                                                                        {"TrackQuery", "unpressed"},
                                                                        {"RealTimePosition", "pressed"}}));
    Buttons startManual = startAutomatic;
    startManual["RealTimePosition"] = "off";
    EXPECT_EQ(buttonsSetBy(&ConsoleModes::StartDialing), startManual);
    Buttons interruptManual = interruptAutomatic;
    interruptManual["RealTimePosition"] = "off pressed";
    EXPECT_EQ(buttonsSetBy(&ConsoleModes::InterruptDialing), interruptManual);

    EXPECT_EQ(buttonsSetBy(&ConsoleModes::SwitchToTrackQueryMode), (Buttons{{"Management", "off"},
                                                                            {"Print", "off"},
                                                                            {"Kestrova", "unpressed"},
                                                                            {"ManualCall", "unpressed"},
                                                                            {"Dial", "off"},
                                                                            {"Showlist", "off"}}));
}

TEST_F(ConsoleModesTest, AutomaticMode_ShowsSixMapsSetsTabsThenLaysOut) {
    state.CallMode = kCallModeTrackQuery;
    toolBar.setButtonPressed("RealTimePosition", true);
    modes->SwitchToAutomaticMode();
    QStringList expected{"ResetTrackQuery(CallMode=0)"};
    expected << panelEntries("111111000") << kCallingTabs << "Form_Resize(RealTimePosition=0)";
    EXPECT_EQ(log, expected);
    EXPECT_EQ(state.CallMode, kCallModeAutomatic);
}

TEST_F(ConsoleModesTest, ManualMode_ShowsTheLargeMapAndLaysNothingOut) {
    modes->SwitchToManualMode();
    QStringList expected{"ResetTrackQuery(CallMode=1)"};
    expected << panelEntries("000000100") << "RefreshMapPanels(0)" << kCallingTabs;
    EXPECT_EQ(log, expected);
    EXPECT_EQ(state.CallMode, kCallModeManual);
}

TEST_F(ConsoleModesTest, TrackQueryMode_ShowsTrackMapEmptyGridAndHidesTheList) {
    for (const bool listShown : {true, false}) {
        SCOPED_TRACE(listShown);
        log.clear();
        state.ListVisible = listShown;
        modes->SwitchToTrackQueryMode();
        QStringList expected{"ResetTrackQuery(CallMode=2)"};
        expected << panelEntries("000000011") << "RefreshMapPanels(7)"
                 << "QueryTrack(,,,0,0,0,0)"
                 << "cmdQuery=1" << kTrackQueryTabs << "CarList_Click(ListVisible=1)";
        EXPECT_EQ(log, expected);
        EXPECT_FALSE(state.ListVisible);
    }
}

TEST_F(ConsoleModesTest, TrackQueryMode_WithoutTrackVehicles_LeavesQueryButtonOff) {
    choosers.choosers[kTrackPanel].items.clear();
    modes->SwitchToTrackQueryMode();
    EXPECT_TRUE(log.contains("cmdQuery=0"));
}

struct StartCase {
    int16_t CallMode;
    int selected;
    std::initializer_list<int> flagged;
    int16_t expectedFirst;
    bool asksForNext;
};

TEST_F(ConsoleModesTest, StartDialing_ChoosesTheFirstVehicleAndArmsTimer1) {
    const StartCase cases[] = {
        {kCallModeAutomatic, 1, {1}, 1, false},
        {kCallModeAutomatic, 1, {0}, 0, true}, // the next flagged one, going round the list
        {kCallModeAutomatic, 0, {2}, 2, true},
        {kCallModeAutomatic, 2, {}, 2, true}, // none flagged: the selected one all the same
        {kCallModeManual, 1, {}, 1, false},   // manual calling takes the selection whatever its flag
        {kCallModeManual, 1, {2}, 1, false},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.CallMode << " selected " << c.selected);
        for (VehicleRecord& v : state.Vehicles)
            v.Dial = false;
        flag(c.flagged);
        state.CallMode = c.CallMode;
        state.CurrentVehicle = -1;
        state.CycleFirstVehicle = -5;
        Timer1.enabled = false;
        Timer1.tag = QStringLiteral("7");
        list.selectRow(c.selected);
        log.clear();

        modes->StartDialing();
        EXPECT_EQ(state.CurrentVehicle, c.expectedFirst);
        EXPECT_EQ(state.CycleFirstVehicle, c.expectedFirst);
        EXPECT_EQ(log.contains(QStringLiteral("SelectNextDialVehicle(%1)").arg(c.selected)), c.asksForNext);
        EXPECT_TRUE(Timer1.enabled);
        EXPECT_EQ(Timer1.tag, QStringLiteral("0"));
        modes->InterruptDialing();
    }
}

TEST_F(ConsoleModesTest, StartDialing_InTrackQueryOrWithoutSelection_DoesNothing) {
    flag({0, 1, 2});
    for (const int16_t mode : {kCallModeTrackQuery, kCallModeAutomatic}) {
        state.CallMode = mode;
        if (mode == kCallModeAutomatic)
            list.clearRows();
        toolBar.takeTouched();
        modes->StartDialing();
        EXPECT_FALSE(Timer1.enabled) << mode;
        EXPECT_EQ(state.CurrentVehicle, -1) << mode;
        EXPECT_TRUE(toolBar.takeTouched().empty()) << mode;
    }
}

TEST_F(ConsoleModesTest, InterruptDialing_StopsCallingBeforeRestoringButtons) {
    flag({0});
    modes->StartDialing();
    log.clear();
    modes->InterruptDialing();
    EXPECT_EQ(log, QStringList{"StopCalling(Interrupt=on)"});
    EXPECT_FALSE(Timer1.enabled);
    EXPECT_EQ(state.CurrentVehicle, -1);
    EXPECT_FALSE(toolBar.isButtonEnabled("Interrupt"));
    EXPECT_TRUE(toolBar.isButtonEnabled("Dial"));
}

TEST(MapPanelVisibility, FollowsModeAndRealTimeButton) {
    struct Case {
        int16_t CallMode;
        bool P;
        const char* shown; // fraMap(0) to fraMap(7), then fraTrackQuery
    };
    const Case cases[] = {
        {0, false, "111111000"}, {0, true, "000000100"},  {1, false, "000000000"},
        {1, true, "000000100"},  {2, false, "000000011"}, {2, true, "000000011"},
    };
    for (const Case& c : cases) {
        const MapPanelsShown shown = MapPanelVisibility(c.CallMode, c.P);
        QString actual;
        for (bool panel : shown.fraMap)
            actual += panel ? '1' : '0';
        actual += shown.fraTrackQuery ? '1' : '0';
        EXPECT_EQ(actual, QString::fromLatin1(c.shown)) << "mode " << c.CallMode << " P " << c.P;
    }
}

TEST_F(ConsoleModesTest, ToggleRealTimePosition_ShowsPanelsByTheButtonThenRedraws) {
    toolBar.setButtonPressed("RealTimePosition", true);
    modes->ToggleRealTimePosition();
    QStringList expected = panelEntries("000000100");
    expected << "RefreshMapPanels(0)";
    EXPECT_EQ(log, expected);
}

TEST(TrackQueryDialLock, InTrackQuery_KeepsDialOffOnly) {
    RecordingToolBar toolBar;
    MainWindowState state;
    TrackQueryDialLock lock(toolBar, state);
    state.CallMode = kCallModeTrackQuery;
    lock.setButtonEnabled("Dial", false);
    // What reloading the vehicle list does with a register that has rows.
    for (const char* key : {"Kestrova", "ManualCall", "Dial", "TrackQuery"})
        lock.setButtonEnabled(key, true);
    EXPECT_FALSE(lock.isButtonEnabled("Dial"));
    EXPECT_TRUE(lock.isButtonEnabled("Kestrova"));
    EXPECT_TRUE(lock.isButtonEnabled("TrackQuery"));
    for (const int16_t mode : {kCallModeAutomatic, kCallModeManual}) {
        state.CallMode = mode;
        lock.setButtonEnabled("Dial", true);
        EXPECT_TRUE(lock.isButtonEnabled("Dial")) << mode;
    }
}

// The actions wired to the real tool bar, clicked as the operator clicks them: the platform's group and
// check behaviour and the actions' states together.
TEST_F(ConsoleModesTest, ClicksOnTheToolBar_RunTheModesThroughTheirStates) {
    test::TestApplication();
    QTemporaryDir folder;
    MainToolbar bar(folder.path(), {});
    TrackQueryDialLock lock(bar, state);
    ConsoleModes wired(ConsoleModesParts{state,
                                         lock,
                                         controls,
                                         list,
                                         choosers,
                                         Timer1,
                                         [] {},
                                         [this] { state.ListVisible = !state.ListVisible; },
                                         [](int16_t) {},
                                         [](int16_t) { return false; },
                                         [this] {
                                             Timer1.enabled = false;
                                             state.CurrentVehicle = -1;
                                         },
                                         {},
                                         {}});
    SetModeActions(bar.toolbarActions(), wired);
    EXPECT_FALSE(bar.toolbarActions().ShowSearchDialog);
    EXPECT_FALSE(bar.toolbarActions().PrintReport);
    EXPECT_FALSE(bar.toolbarActions().Exit);
    auto click = [&bar](const char* key) { bar.button(QString::fromLatin1(key))->trigger(); };
    flag({0});

    click("TrackQuery");
    EXPECT_EQ(state.CallMode, kCallModeTrackQuery);
    EXPECT_FALSE(bar.isButtonPressed("Kestrova"));
    EXPECT_FALSE(bar.isButtonPressed("ManualCall"));
    EXPECT_TRUE(bar.isButtonPressed("TrackQuery"));
    lock.setButtonEnabled("Dial", true); // a reload of the vehicle list
    click("Dial");
    EXPECT_FALSE(Timer1.enabled);

    click("Kestrova");
    EXPECT_TRUE(bar.isButtonPressed("Kestrova"));
    EXPECT_FALSE(bar.isButtonPressed("TrackQuery"));
    click("RealTimePosition");
    EXPECT_FALSE(bar.isButtonPressed("RealTimePosition")) << "only while calling";
    click("Dial");
    EXPECT_TRUE(Timer1.enabled);
    click("ManualCall");
    EXPECT_EQ(state.CallMode, kCallModeAutomatic) << "no mode switch during a call";
    log.clear();
    click("RealTimePosition");
    EXPECT_TRUE(bar.isButtonPressed("RealTimePosition"));
    EXPECT_TRUE(log.contains("fraMap(6)=1"));
    click("Interrupt");
    EXPECT_FALSE(bar.isButtonPressed("RealTimePosition"));
    EXPECT_FALSE(bar.isButtonEnabled("RealTimePosition"));
    EXPECT_TRUE(bar.isButtonEnabled("Dial"));

    click("ManualCall");
    EXPECT_EQ(state.CallMode, kCallModeManual);
    EXPECT_TRUE(bar.isButtonPressed("RealTimePosition"));
    EXPECT_FALSE(bar.isButtonEnabled("RealTimePosition"));
}

} // namespace
