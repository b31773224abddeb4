#include "calling_fixture.h"

#include "calling/comm_log.h"
#include "startup/text_helpers.h"

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;
using Column = kestrova::VehicleListColumn;

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kPlace = QStringLiteral("舊地點");

class CallCycleTest : public CallingTest {
protected:
    CallCycleTest() {
        VehicleRecord a = CalledVehicle("AAA-1", "0911");
        a.X = 121.5;
        a.Y = 25.0;
        a.Address = kPlace;
        setVehicles({a, CalledVehicle("BBB-2", "0922", false), CalledVehicle("CCC-3", "0933")});
    }

    QString nowText() const { return FormatDbTime(clock.now()); }
    int dialsSent() const { return static_cast<int>(port.outputs().filter(QStringLiteral("ATD")).size()); }
};

TEST_F(CallCycleTest, UnansweredCall_TimesOutAtThe11thTickAndBooksNotAnswered) {
    startDialing(0);
    tick();
    ASSERT_EQ(port.outputs().last(), QStringLiteral("ATD0911;\r\n"));
    EXPECT_EQ(vehicle(0).CheckPoint, kCheckDialling);
    EXPECT_EQ(statusBar.panels[1], QStringLiteral("正在撥號給：AAA-1"));

    ticks(10);
    EXPECT_EQ(Timer2.tag, QStringLiteral("10"));
    EXPECT_EQ(statusBar.panels[2], QStringLiteral("使用時間：10 秒"));
    EXPECT_EQ(vehicle(0).Healthy, QStringLiteral("00000"));
    EXPECT_TRUE(port.PortOpen());

    tick();
    const VehicleRecord& R = vehicle(0);
    EXPECT_EQ(R.CheckPoint, QStringLiteral("未撥通"));
    EXPECT_EQ(R.Healthy, QStringLiteral("00002"));
    EXPECT_EQ(R.DialTime, nowText());
    EXPECT_DOUBLE_EQ(R.X, 121.5);
    const std::vector<StoredLogRow> rows = storedLog("0911");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].DialTime, R.DialTime);
    EXPECT_EQ(rows[0].CheckPoint, QStringLiteral("未撥通"));
    EXPECT_EQ(rows[0].EW, QString());
    EXPECT_EQ(rows[0].NS, QString());
    EXPECT_EQ(rows[0].X, 0);
    EXPECT_EQ(rows[0].Y, 0);
    EXPECT_EQ(rows[0].Healthy, QStringLiteral("00002"));
    EXPECT_EQ(rows[0].Position, kPlace);
    EXPECT_EQ(list.cellText(0, Column::CheckPoint), QStringLiteral("未撥通"));
    EXPECT_EQ(statusBar.panels[1], QStringLiteral("未撥通"));
    EXPECT_TRUE(logBox.logText.endsWith(QStringLiteral("未撥通\r\n掛斷\r\n\r\n")));
    EXPECT_FALSE(port.PortOpen());

    // The cycle goes on with the next flagged vehicle at the next tick.
    EXPECT_EQ(state.CurrentVehicle, 2);
    EXPECT_FALSE(Timer2.enabled);
    EXPECT_TRUE(Timer1.enabled);
    tick();
    EXPECT_EQ(port.outputs().last(), QStringLiteral("ATD0933;\r\n"));
}

TEST_F(CallCycleTest, CallAnsweredAfterTheAutomaticLimit_TimesOutAtTheNextTickWithNoReport) {
    state.DefaultTimeout = 30;
    state.AutoTimeout = 10;
    // A history shorter than five digits is filled up with zeros.
    vehicle(0).Healthy.clear();
    startDialing(0);
    tick();
    ticks(15);

    port.receive(QStringLiteral("$\r\n"));
    EXPECT_EQ(vehicle(0).CheckPoint, kCheckAnswered);
    EXPECT_EQ(statusBar.panels[1], QStringLiteral("已撥通：AAA-1"));
    EXPECT_EQ(state.CallTimeout, 10);
    EXPECT_EQ(Timer2.tag, QStringLiteral("15"));

    tick();
    EXPECT_EQ(vehicle(0).CheckPoint, QStringLiteral("訊號不良"));
    EXPECT_EQ(vehicle(0).Healthy, QStringLiteral("00001"));
    ASSERT_EQ(storedLog("0911").size(), 1u);
    EXPECT_EQ(storedLog("0911")[0].CheckPoint, QStringLiteral("訊號不良"));
    EXPECT_FALSE(Timer2.enabled);
}

TEST_F(CallCycleTest, ManualCallWithThreeReports_BooksEachAndEndsWithoutAFailureAtTheTimeOut) {
    vehicle(0).Healthy = kHealthyAllFailed;
    state.ManualTimeout = 30;
    startDialing(0, 1);
    tick();
    port.receive(QStringLiteral("$\r\n"));
    port.receive(ReportLine(25.0, 121.5) + kCrLf);
    tick();
    // Two reports in one read: a manual call stays up, so both count.
    port.receive(ReportLine(25.01, 121.51) + kCrLf + ReportLine(25.02, 121.52) + kCrLf);
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(vehicle(0).Healthy, QStringLiteral("22000"));
    EXPECT_EQ(storedLog("0911").size(), 3u);
    EXPECT_EQ(list.cellText(0, Column::Position), place);

    ticks(29);
    EXPECT_TRUE(Timer2.enabled);
    EXPECT_EQ(interrupts, 0);
    tick();
    EXPECT_EQ(vehicle(0).Healthy, QStringLiteral("22000"));
    EXPECT_EQ(storedLog("0911").size(), 3u);
    EXPECT_EQ(interrupts, 1);
    EXPECT_EQ(state.CurrentVehicle, -1);
    EXPECT_FALSE(Timer1.enabled);
    EXPECT_FALSE(Timer2.enabled);
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(dialsSent(), 1);
}

TEST_F(CallCycleTest, ManualReportsWithoutAnAnswerLine_TimeOutAsNotAnswered) {
    vehicle(0).Healthy = kHealthyAllFailed;
    state.ManualTimeout = 30;
    startDialing(0, 1);
    tick();
    port.receive(ReportLine() + kCrLf);
    ticks(11);

    EXPECT_EQ(vehicle(0).CheckPoint, QStringLiteral("未撥通"));
    EXPECT_EQ(vehicle(0).Healthy, QStringLiteral("22202"));
    EXPECT_EQ(storedLog("0911").size(), 2u);
    EXPECT_EQ(interrupts, 1);
}

TEST_F(CallCycleTest, Report_IsRecordedEverywhereInOrderThenTheCycleMovesOn) {
    state.bPCSound = true;
    startDialing(0);
    tick();
    port.receive(QStringLiteral("$\r\n"));
    events.clear();
    clock.advance(3000);

    port.receive(ReportLine(25.03538, 121.5576, 23.2) + kCrLf);

    const VehicleRecord& R = vehicle(0);
    EXPECT_EQ(R.CheckPoint, kCheckRealTime);
    EXPECT_EQ(R.NS, kNorthLatitude);
    EXPECT_EQ(R.EW, kEastLongitude);
    EXPECT_DOUBLE_EQ(R.Y, 25.03538);
    EXPECT_DOUBLE_EQ(R.X, 121.5576);
    EXPECT_FLOAT_EQ(R.Speed, 23.2f);
    EXPECT_GT(R.Offset, 0);
    EXPECT_EQ(R.Address, place);
    EXPECT_TRUE(R.Located);
    // The map panels are drawn before the place text is asked for, the log written after the chooser.
    EXPECT_EQ(events, QStringList({"refresh 0", "describe", "choose 6", "log", "log"}));
    EXPECT_EQ(choosers.listIndex(6), 0);
    const std::vector<StoredLogRow> rows = storedLog("0911");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].DialTime, FormatDbTime(clock.now().addMSecs(-500)));
    EXPECT_EQ(rows[0].CheckPoint, kCheckRealTime);
    EXPECT_EQ(rows[0].EW, kEastLongitude);
    EXPECT_DOUBLE_EQ(rows[0].X, 121.5576);
    EXPECT_EQ(rows[0].Position, place);
    for (const Column c :
         {Column::DialTime, Column::CheckPoint, Column::Position, Column::Speed, Column::Direction, Column::Offset}) {
        EXPECT_EQ(list.cellText(0, c), VehicleCellText(R, c)) << static_cast<int>(c);
    }
    EXPECT_EQ(list.selected, 0);
    EXPECT_TRUE(logBox.logText.contains(PositionLogEntry(R) + kCrLf + QStringLiteral("掛斷")));
    EXPECT_EQ(beeps, 1);

    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(state.CurrentVehicle, 2);
    tick();
    EXPECT_EQ(port.outputs().last(), QStringLiteral("ATD0933;\r\n"));
}

// Two reports of vehicle 0911 in one manual call, after rows of yesterday and of today; the rows left.
class RetentionTest : public CallCycleTest {
protected:
    std::vector<StoredLogRow> reportTwiceWith(int16_t logDuration) {
        state.LogDuration = logDuration;
        db.addLog("0911", "2024/03/04 10:00:00");
        db.addLog("0911", "2024/03/05 14:00:00");
        db.addLog("0922", "2024/03/05 14:00:00");
        startDialing(0, 1);
        tick();
        port.receive(ReportLine(25.0, 121.5) + kCrLf);
        tick();
        port.receive(ReportLine(25.01, 121.51) + kCrLf);
        return storedLog("0911");
    }
};

TEST_F(RetentionTest, LogDurationZero_KeepsOnlyTheNewestRow) {
    const std::vector<StoredLogRow> rows = reportTwiceWith(0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_DOUBLE_EQ(rows[0].Y, 25.01);
    EXPECT_EQ(storedLog("0922").size(), 1u);
}

TEST_F(RetentionTest, LogDurationOneDay_DeletesOnlyRowsOlderThanADay) {
    const std::vector<StoredLogRow> rows = reportTwiceWith(1);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].DialTime, QStringLiteral("2024/03/05 14:00:00"));
}

TEST_F(CallCycleTest, OneFlaggedVehicle_WaitsOutTheRestOfTheCycleTime) {
    vehicle(2).Dial = false;
    state.TotalCycleTime = 30;
    startDialing(0);
    tick();
    ticks(3);
    // Dialled 5 seconds ago: the 2 s of the dial commands and 3 ticks.
    port.receive(ReportLine() + kCrLf);

    EXPECT_EQ(state.CurrentVehicle, 0);
    EXPECT_EQ(Timer1.tag, QStringLiteral("25"));
    EXPECT_TRUE(Timer1.enabled);
    EXPECT_FALSE(Timer2.enabled);

    ticks(3);
    EXPECT_EQ(statusBar.panels[2], QStringLiteral("循環倒數：22 秒"));
    ticks(22);
    EXPECT_EQ(statusBar.panels[2], QStringLiteral("循環倒數：0 秒"));
    EXPECT_EQ(dialsSent(), 1);
    tick();
    EXPECT_EQ(dialsSent(), 2);
}

TEST_F(CallCycleTest, PortCannotBeOpened_ShowsTheErrorAndStopsCallingWithoutBooking) {
    port.failOpenWith(QStringLiteral("無法開啟通訊埠"));
    startDialing(0);
    tick();

    EXPECT_EQ(box.shown, std::vector<ShownBox>({{"exclamation", "無法開啟通訊埠", "Kestrova V1.0.3"}}));
    EXPECT_EQ(interrupts, 1);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(state.CurrentVehicle, -1);
    EXPECT_FALSE(Timer1.enabled);
    EXPECT_FALSE(Timer2.enabled);
    EXPECT_EQ(vehicle(0).Healthy, kHealthyNew);
    EXPECT_TRUE(storedLog("0911").empty());
    // The dial entry, then the stop logs the state the vehicle was left in.
    EXPECT_TRUE(logBox.logText.endsWith(QStringLiteral("撥號給：AAA-1\r\n正在撥號\r\n")));
    EXPECT_EQ(statusBar.panels[1], kCheckDialling);
}

TEST_F(CallCycleTest, StopCallingDuringACall_BooksNothingAndHangsUp) {
    startDialing(0, 1);
    tick();
    port.receive(QStringLiteral("$\r\n"));

    cycle->StopCalling();

    EXPECT_EQ(state.CurrentVehicle, -1);
    EXPECT_FALSE(Timer2.enabled);
    EXPECT_EQ(vehicle(0).Healthy, kHealthyNew);
    EXPECT_TRUE(storedLog("0911").empty());
    EXPECT_TRUE(logBox.logText.endsWith(QStringLiteral("已撥通\r\n已撥通\r\n掛斷\r\n\r\n")));
    EXPECT_EQ(panelVisible, (std::array<bool, 8>{false, false, false, false, false, false, true, false}));
    EXPECT_FALSE(port.PortOpen());
}

TEST_F(CallCycleTest, TimeOutThatCannotBeStored_HangsUpAndEndsTheProgram) {
    startDialing(0);
    tick();
    db.db.CloseConnection();
    ticks(11);

    ASSERT_FALSE(state.LastErrorText.isEmpty());
    EXPECT_EQ(box.shown, std::vector<ShownBox>({{"critical", state.LastErrorText, "Kestrova V1.0.3"}}));
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(port.outputs().last(), QStringLiteral("ATH\r\n"));
    EXPECT_FALSE(port.PortOpen());
}

// The automatic cycle after its last call, with TotalCycleTime 0: the first vehicle again one tick later,
// or, when no vehicle is flagged (the selected one was called all the same), idle.
struct CycleEndCase {
    const char* name;
    std::array<bool, 3> flags;
    int16_t selected;
    bool endsByReport; // else by the time-out
    QString nextDial;  // empty: calling has stopped
};

void PrintTo(const CycleEndCase& c, std::ostream* os) {
    *os << c.name;
}

class CycleEndTest : public CallCycleTest, public ::testing::WithParamInterface<CycleEndCase> {};

TEST_P(CycleEndTest, LastCall_DialsTheFirstAgainAtTheNextTickOrEndsIdle) {
    const CycleEndCase& c = GetParam();
    for (int i = 0; i < 3; ++i) {
        vehicle(i).Dial = c.flags[static_cast<std::size_t>(i)];
    }
    state.TotalCycleTime = 0;
    startDialing(c.selected);
    tick();
    if (c.endsByReport) {
        port.receive(ReportLine() + kCrLf);
    } else {
        ticks(11);
    }
    ASSERT_EQ(dialsSent(), 1);

    tick();
    if (c.nextDial.isEmpty()) {
        EXPECT_EQ(interrupts, 1);
        EXPECT_EQ(state.CurrentVehicle, -1);
        EXPECT_FALSE(Timer1.enabled);
        EXPECT_FALSE(Timer2.enabled);
        ticks(3);
        EXPECT_EQ(dialsSent(), 1);
    } else {
        EXPECT_EQ(interrupts, 0);
        EXPECT_EQ(dialsSent(), 2);
        EXPECT_EQ(port.outputs().last(), QStringLiteral("ATD%1;\r\n").arg(c.nextDial));
    }
}

INSTANTIATE_TEST_SUITE_P(CallCycle, CycleEndTest,
                         ::testing::Values(CycleEndCase{"OneFlaggedReport", {true, false, false}, 0, true, "0911"},
                                           CycleEndCase{"OneFlaggedTimeOut", {true, false, false}, 0, false, "0911"},
                                           CycleEndCase{"NoneFlaggedReport", {false, false, false}, 1, true, ""},
                                           CycleEndCase{"NoneFlaggedTimeOut", {false, false, false}, 1, false, ""}),
                         [](const ::testing::TestParamInfo<CycleEndCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
