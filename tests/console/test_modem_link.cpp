#include "calling_fixture.h"

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

class ModemLinkTest : public CallingTest {
protected:
    ModemLinkTest() { setVehicles({CalledVehicle("AAA-1", "0911"), CalledVehicle("BBB-2", "0922")}); }

    ModemLink& modem() { return cycle->modemLink(); }

    // A call to the first vehicle is up: dialled, Timer2 running.
    void dialFirst(int16_t callMode = 0) {
        startDialing(0, callMode);
        tick();
        ASSERT_TRUE(port.PortOpen());
        ASSERT_TRUE(Timer2.enabled);
    }
};

TEST_F(ModemLinkTest, DialVehicle_DrainsStaleTextThenSendsEachCommandFollowedByItsWait) {
    QStringList journal;
    port.shareJournal(journal);
    clock.shareJournal(journal);
    port.feed(QStringLiteral("OK\r\n"));
    port.feed(QStringLiteral("RING"));
    state.CommPort = 4;

    EXPECT_TRUE(modem().DialVehicle(QStringLiteral("0912345678")));

    EXPECT_EQ(journal,
              QStringList({"open 4 4800,n,8,1", "in OK\r\n", "in RING", "out AT\r\n", "sleep 500", "out AT+CREG?\r\n",
                           "sleep 500", "out AT+CSQ\r\n", "sleep 500", "out ATD0912345678;\r\n", "sleep 500"}));
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ModemLinkTest, DialVehicle_PortCannotOpen_ShowsTheErrorAndFails) {
    port.failOpenWith(QStringLiteral("無法開啟 /dev/ttyS2"));

    EXPECT_FALSE(modem().DialVehicle(QStringLiteral("0911")));

    EXPECT_EQ(box.shown, std::vector<ShownBox>({{"exclamation", "無法開啟 /dev/ttyS2", "Kestrova V1.0.3"}}));
    EXPECT_TRUE(port.outputs().isEmpty());
    EXPECT_EQ(ended, 0);
}

TEST_F(ModemLinkTest, OnComm_ReplySplitOverTwoReads_IsHandledOnceWhole) {
    dialFirst();
    statusBar.history.clear();

    port.receive(QStringLiteral("+CSQ: 1"));
    EXPECT_TRUE(statusBar.history.empty());
    port.receive(QStringLiteral("5,0\r\n"));

    EXPECT_EQ(statusBar.history, (std::vector<std::pair<int, QString>>{{4, QStringLiteral("▂▃▄")}}));
    EXPECT_TRUE(state.ReceiveBuffer.isEmpty());
}

TEST_F(ModemLinkTest, OnComm_TwoLinesAndAFragment_DispatchesTheLinesAndKeepsTheFragment) {
    dialFirst();

    port.receive(QStringLiteral("OK\r\n+CREG: 0,1\r\n+CS"));

    EXPECT_EQ(statusBar.panels[3], QStringLiteral("已登入基地台"));
    EXPECT_EQ(state.ReceiveBuffer, QStringLiteral("+CS"));
    EXPECT_TRUE(port.PortOpen());
}

TEST_F(ModemLinkTest, OnComm_UnregisteredModem_EndsTheCallButNotTheTimer) {
    dialFirst();

    port.receive(QStringLiteral("+CREG: 0,2\r\n+CSQ: 20,0\r\n"));

    EXPECT_EQ(statusBar.panels[3], QStringLiteral("尚未登入基地台"));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(port.outputs().last(), QStringLiteral("ATH\r\n"));
    EXPECT_TRUE(logBox.logText.endsWith(QStringLiteral("掛斷\r\n\r\n")));
    // The signal line came after the hang-up: dropped.
    EXPECT_TRUE(statusBar.panels[4].isEmpty());
    EXPECT_TRUE(Timer2.enabled);
}

TEST_F(ModemLinkTest, OnComm_FramedLineWithALetter_IsIgnoredWithoutTheDialToneTest) {
    dialFirst();
    const QString framed = QStringLiteral("*NO DIALTONE1234567890123456#");
    ASSERT_EQ(framed.size(), 29);
    const QString logBefore = logBox.logText;
    const qsizetype writesBefore = port.outputs().size();

    port.receive(framed + QStringLiteral("\r"));

    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.outputs().size(), writesBefore);
    EXPECT_EQ(logBox.logText, logBefore);
    EXPECT_EQ(vehicle(0).Healthy, kHealthyNew);
}

TEST_F(ModemLinkTest, OnComm_SecondReportOfOneReadInAutomaticCalling_IsDropped) {
    vehicle(0).Healthy = kHealthyAllFailed;
    dialFirst();

    port.receive(ReportLine(25.0, 121.5) + kCrLf + ReportLine(25.1, 121.6) + kCrLf);

    EXPECT_EQ(vehicle(0).Healthy, QStringLiteral("22220"));
    EXPECT_DOUBLE_EQ(vehicle(0).Y, 25.0);
    EXPECT_EQ(storedLog("0911").size(), 1u);
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(state.CurrentVehicle, 1);
}

TEST_F(ModemLinkTest, DisconnectCall_HangUpCannotBeWritten_ClosesThePortWithoutLogging) {
    port.setPortOpen(true);
    port.failOutputWith(QStringLiteral("寫入失敗"));

    modem().DisconnectCall();

    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(logBox.logText.isEmpty());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ModemLinkTest, NoDialTone_StopsResetsAndDialsTheFirstVehicleAtThe61stTick) {
    startDialing(1);
    tick();
    ASSERT_EQ(vehicle(1).CheckPoint, kCheckDialling);
    logBox.logText.clear();
    QStringList journal;
    port.shareJournal(journal);
    clock.shareJournal(journal);

    port.receive(QStringLiteral("NO DIALTONE\r\n+CSQ: 20,0\r\n"));

    EXPECT_EQ(journal, QStringList({"in NO DIALTONE\r\n+CSQ: 20,0\r\n", "out ATH\r\n", "sleep 500", "close",
                                    "open 3 4800,n,8,1", "out  AT+CFUN=1,1\r\n", "sleep 500", "close"}));
    EXPECT_EQ(logBox.logText, QStringLiteral("正在撥號\r\n掛斷\r\n\r\n自動撥號器重開機\r\n\r\n"));
    EXPECT_EQ(statusBar.panels[3], QStringLiteral("自動撥號器重開機"));
    EXPECT_TRUE(statusBar.panels[4].isEmpty());
    EXPECT_EQ(state.CurrentVehicle, 0);
    EXPECT_EQ(Timer1.tag, QStringLiteral("60"));
    EXPECT_TRUE(Timer1.enabled);
    EXPECT_FALSE(Timer2.enabled);

    ticks(60);
    EXPECT_EQ(statusBar.panels[2], QStringLiteral("循環倒數：0 秒"));
    EXPECT_FALSE(Timer2.enabled);
    tick();
    EXPECT_EQ(port.outputs().last(), QStringLiteral("ATD0911;\r\n"));
    EXPECT_TRUE(Timer2.enabled);
}

TEST_F(ModemLinkTest, DeviceLostUnderACall_IsShownCallingStopsAndTheNextDialOpensThePortAgain) {
    // Gone at the dial (its first read fails) and gone while the modem is being reset after "NO DIALTONE"
    // (the reset's write fails): both are survived the same way.
    for (const bool duringReset : {false, true}) {
        SCOPED_TRACE(duringReset ? "during the modem reset" : "under the call");
        box.shown.clear();
        interrupts = 0;
        dialFirst();
        const QString failure = QStringLiteral("/kestrova/dev/com3: Input/output error");
        if (duringReset) {
            port.failOutputWith(failure);
            port.receive(QStringLiteral("NO DIALTONE\r\n"));
        } else {
            port.failInputWith(failure);
            port.raiseReceiveEvent();
        }

        EXPECT_EQ(box.shown, std::vector<ShownBox>({{"exclamation", failure, "Kestrova V1.0.3"}}));
        EXPECT_FALSE(port.PortOpen());
        EXPECT_EQ(interrupts, 1);
        EXPECT_FALSE(Timer1.enabled);
        EXPECT_FALSE(Timer2.enabled);
        EXPECT_EQ(state.CurrentVehicle, -1);
        EXPECT_EQ(ended, 0);

        port.failInputWith({});
        port.failOutputWith({});
        const int opened = port.openCount();
        dialFirst();
        EXPECT_EQ(port.openCount(), opened + 1);
        cycle->StopCalling();
    }
}

TEST_F(ModemLinkTest, EventsWhileTheFailureBoxIsUp_DoNothing) {
    dialFirst();
    db.db.CloseConnection();
    QStringList eventsBehindTheBox;
    QStringList writesBehindTheBox;
    box.whileShown = [&] {
        const QStringList before = events;
        const qsizetype writes = port.outputs().size();
        // A report on a port still open, and ticks of both timers.
        port.setPortOpen(true);
        port.receive(ReportLine() + kCrLf);
        Timer1.enabled = true;
        Timer1.tag = QStringLiteral("0");
        Timer2.enabled = true;
        tick();
        eventsBehindTheBox = events.mid(before.size());
        writesBehindTheBox = port.outputs().mid(writes);
    };

    port.receive(ReportLine() + kCrLf);

    EXPECT_EQ(ended, 1);
    EXPECT_EQ(port.outputs().last(), QStringLiteral("ATH\r\n"));
    EXPECT_TRUE(eventsBehindTheBox.isEmpty()) << eventsBehindTheBox.join(u',').toStdString();
    EXPECT_TRUE(writesBehindTheBox.isEmpty());
    EXPECT_EQ(box.shown.size(), 1u);
}

} // namespace
