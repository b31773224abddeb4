#include "calling/position_report.h"
#include "modem-sim/simulated_modem.h"
#include "modem-sim/vehicle_path.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QStringList>

using namespace kestrova;

namespace {

const std::vector<GeoPoint> kPath{{121.56, 25.03}, {121.56, 25.035}, {121.565, 25.035}};

TerminalScenario reportingTerminal() {
    TerminalScenario t;
    t.Number = QStringLiteral("0912000101");
    t.AnswerDelay = 3;
    t.ReportInterval = 5;
    t.Path = kPath;
    t.Speed = 36;
    return t;
}

ModemScenario scenario() {
    ModemScenario s;
    s.Port = 3;
    s.Echo = false;
    s.RegistrationMode = 0;
    s.RegistrationState = 1;
    s.Rssi = 15;
    s.Ber = 0;
    s.NoCarrierAfter = 30;
    s.RestartDuration = 5;
    s.Terminals.push_back(reportingTerminal());
    TerminalScenario silent;
    silent.Number = QStringLiteral("0912000102");
    silent.Answers = false;
    s.Terminals.push_back(silent);
    TerminalScenario quiet; // answers, never reports
    quiet.Number = QStringLiteral("0912000103");
    quiet.AnswerDelay = 1;
    s.Terminals.push_back(quiet);
    return s;
}

// Drives a modem with a fake clock and reads its output the way the console does: LFs removed, split
// at CR, empty lines skipped.
class ModemHarness {
public:
    explicit ModemHarness(ModemScenario s = scenario()) : m_modem(std::move(s), 7) {
        m_modem.setCommandListener([this](double time, const QByteArray& line) { m_commands.push_back({time, line}); });
    }

    QStringList send(const QByteArray& bytes, double now) {
        m_modem.receive(bytes, now);
        return lines();
    }
    QStringList at(double now) {
        m_modem.advance(now);
        return lines();
    }
    QByteArray raw(const QByteArray& bytes, double now) {
        m_modem.receive(bytes, now);
        return m_modem.takeOutput();
    }

    SimulatedModem& modem() { return m_modem; }
    const std::vector<std::pair<double, QByteArray>>& commands() const { return m_commands; }

private:
    QStringList lines() {
        QStringList result;
        for (const QString& line : QString::fromLatin1(m_modem.takeOutput()).remove(u'\n').split(u'\r')) {
            if (!line.isEmpty())
                result << line;
        }
        return result;
    }

    SimulatedModem m_modem;
    std::vector<std::pair<double, QByteArray>> m_commands;
};

QStringList list(std::initializer_list<const char*> items) {
    QStringList result;
    for (const char* item : items)
        result << QString::fromLatin1(item);
    return result;
}

// The report decodes to where the path puts the vehicle at time t, with the terminal's speed.
void expectReportAt(const QString& line, double t, double headingDegrees) {
    ASSERT_EQ(ClassifyReportLine(line), ReportFrame::PositionReport) << line.toStdString();
    const VehicleFix fix = VehiclePath(kPath, 36).at(t);
    const DecodedPositionReport report = DecodePositionReport(line, 0, 0);
    EXPECT_EQ(report.Status, 7);
    EXPECT_NEAR(report.X, fix.Longitude, 1e-5);
    EXPECT_NEAR(report.Y, fix.Latitude, 1e-5);
    EXPECT_NEAR(report.Speed, 36.0, 0.1);
    EXPECT_NEAR(report.Direction, headingDegrees, 0.05);
}

} // namespace

TEST(SimulatedModemCommands, ConsoleDialSequence_EachCommandAnswered) {
    ModemHarness h;
    EXPECT_EQ(h.raw("AT\r\n", 0), QByteArray("\r\nOK\r\n"));
    EXPECT_EQ(h.send("AT+CREG?\r\n", 0.5), list({"+CREG: 0,1", "OK"}));
    EXPECT_EQ(h.send("AT+CSQ\r\n", 1), list({"+CSQ: 15,0", "OK"}));
    EXPECT_EQ(h.send("ATD0912000101;\r\n", 1.5), list({"OK"}));
    EXPECT_EQ(h.send("AT+CLVL=90\r\n", 1.5), list({"OK"}));
    EXPECT_TRUE(h.modem().inCall());
    EXPECT_EQ(h.send("ATH\r\n", 2), list({"OK"}));
    EXPECT_FALSE(h.modem().inCall());
    EXPECT_EQ(h.send("ATH\r\n", 2.5), list({"OK"})); // hanging up without a call is harmless
}

TEST(SimulatedModemCommands, CommandsSplitOverReads_AnsweredWhenTheirCrArrives) {
    ModemHarness h;
    EXPECT_TRUE(h.send("A", 0).isEmpty());
    EXPECT_EQ(h.send("T\r", 0), list({"OK"}));
    EXPECT_TRUE(h.send("\nAT+C", 0).isEmpty());
    EXPECT_EQ(h.send("SQ\r\nAT\r\nAT+CR", 0), list({"+CSQ: 15,0", "OK", "OK"}));
    EXPECT_EQ(h.send("EG?\r\n", 0), list({"+CREG: 0,1", "OK"}));
}

TEST(SimulatedModemCommands, UnknownOrMalformed_Error) {
    ModemHarness h;
    for (const char* command : {"ATX", "AT+CFUN=1", "AT+CFUN=1,1x", "hello", "ATD;", "ATD0912000101", "at",
                                "AT+CLVL=", "AT+CLVL=256", "AT+CLVL=9a", "AT+CREG"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(h.send(QByteArray(command) + "\r\n", 0), list({"ERROR"}));
    }
    EXPECT_FALSE(h.modem().inCall());
    // Empty lines, LFs alone and blanks alone get no answer at all.
    EXPECT_TRUE(h.send("\r\n\r\n\n\n   \r\n", 0).isEmpty());
}

TEST(SimulatedModemCommands, OverlongLine_OneErrorAndTheBufferStaysBounded) {
    ModemHarness h;
    const QByteArray garbage(200000, 'x');
    EXPECT_TRUE(h.send(garbage, 0).isEmpty());
    EXPECT_EQ(h.send("\r\n", 0), list({"ERROR"}));
    ASSERT_EQ(h.commands().size(), 1u);
    EXPECT_LE(h.commands()[0].second.size(), 1024);
    EXPECT_EQ(h.send("AT\r\n", 0), list({"OK"}));
}

TEST(SimulatedModemCommands, Echo_ReturnsWhatCameBeforeTheReply) {
    ModemScenario s = scenario();
    s.Echo = true;
    ModemHarness h(s);
    EXPECT_EQ(h.raw("AT\r\n", 0), QByteArray("AT\r\r\nOK\r\n\n"));
}

TEST(SimulatedModemCommands, Record_EveryLineInOrderWithItsTime) {
    ModemHarness h;
    h.send("AT\r\n", 0.25);
    h.send("AT+CREG?\r\nAT+CSQ\r\n", 0.75);
    h.send(" AT+CFUN=1,1\r\n", 2);
    h.send("AT\r\n", 3); // received while restarting: recorded, not answered
    h.send("\r\n", 4);   // empty lines are not commands
    const std::vector<std::pair<double, QByteArray>> expected{
        {0.25, "AT"}, {0.75, "AT+CREG?"}, {0.75, "AT+CSQ"}, {2, " AT+CFUN=1,1"}, {3, "AT"}};
    EXPECT_EQ(h.commands(), expected);
}

TEST(SimulatedModemCalls, AnsweringTerminal_DollarAfterTheDelayThenReportsEveryInterval) {
    ModemHarness h;
    EXPECT_EQ(h.send("ATD0912000101;\r\n", 10), list({"OK"}));
    EXPECT_EQ(h.modem().nextEventTime(), 13.0);
    EXPECT_TRUE(h.at(12.999).isEmpty());
    EXPECT_EQ(h.at(13), list({"$"}));
    EXPECT_TRUE(h.at(17.9).isEmpty());

    QStringList first = h.at(18);
    ASSERT_EQ(first.size(), 1);
    expectReportAt(first[0], 18, 0); // 180 m up the first, northward leg

    // Manual calling keeps the call up: every interval brings one more report, each further along.
    const QStringList more = h.at(78);
    ASSERT_EQ(more.size(), 12);
    expectReportAt(more[0], 23, 0);
    expectReportAt(more[11], 78, 90); // 780 m: on the eastward leg
    EXPECT_NE(more[0], more[11]);

    EXPECT_EQ(h.send("ATH\r\n", 79), list({"OK"}));
    EXPECT_FALSE(h.modem().nextEventTime().has_value());
    EXPECT_TRUE(h.at(500).isEmpty());
}

TEST(SimulatedModemCalls, TerminalWithoutPath_AnswersAndNeverReports) {
    ModemHarness h;
    h.send("ATD0912000103;\r\n", 0);
    EXPECT_EQ(h.at(1), list({"$"}));
    EXPECT_TRUE(h.at(600).isEmpty());
    EXPECT_TRUE(h.modem().inCall()); // until the console hangs up
}

TEST(SimulatedModemCalls, UnansweredOrUnknownNumber_NoCarrierAfterRinging) {
    for (const char* number : {"0912000102", "0999999999"}) {
        SCOPED_TRACE(number);
        ModemHarness h;
        EXPECT_EQ(h.send(QByteArray("ATD") + number + ";\r\n", 5), list({"OK"}));
        EXPECT_TRUE(h.at(34.9).isEmpty());
        EXPECT_EQ(h.at(35), list({"NO CARRIER"}));
        EXPECT_FALSE(h.modem().inCall());
        EXPECT_TRUE(h.at(1000).isEmpty());
    }
}

TEST(SimulatedModemCalls, DialDuringACall_ErrorAndTheCallGoesOn) {
    ModemHarness h;
    h.send("ATD0912000101;\r\n", 0);
    EXPECT_EQ(h.send("ATD0912000103;\r\n", 1), list({"ERROR"}));
    EXPECT_EQ(h.at(3), list({"$"}));
}

TEST(SimulatedModemCalls, NoDialtoneOnTheNthCall_InsteadOfOk) {
    ModemScenario s = scenario();
    s.Terminals[0].NoDialtoneOnCall = 2;
    ModemHarness h(s);
    EXPECT_EQ(h.send("ATD0912000101;\r\nATH\r\n", 0), list({"OK", "OK"}));
    EXPECT_EQ(h.send("ATD0912000101;\r\n", 10), list({"NO DIALTONE"}));
    EXPECT_FALSE(h.modem().inCall());
    EXPECT_TRUE(h.at(100).isEmpty());
    EXPECT_EQ(h.send("ATD0912000101;\r\n", 200), list({"OK"}));
    EXPECT_EQ(h.at(203), list({"$"}));
}

TEST(SimulatedModemCalls, NotRegistered_RegistrationShownAndCallsReleased) {
    for (int stat : {0, 2, 3}) {
        SCOPED_TRACE(stat);
        ModemScenario s = scenario();
        s.RegistrationState = stat;
        ModemHarness h(s);
        EXPECT_EQ(h.send("AT+CREG?\r\n", 0), list({qPrintable(QStringLiteral("+CREG: 0,%1").arg(stat)), "OK"}));
        EXPECT_EQ(h.send("ATD0912000101;\r\n", 0), list({"NO CARRIER"}));
        EXPECT_TRUE(h.at(100).isEmpty());
    }
    ModemScenario roaming = scenario();
    roaming.RegistrationState = 5;
    EXPECT_EQ(ModemHarness(roaming).send("ATD0912000101;\r\n", 0), list({"OK"}));
}

TEST(SimulatedModemCalls, Restart_OkThenDeafForItsDurationAndTheCallIsGone) {
    ModemHarness h;
    h.send("ATD0912000101;\r\n", 0);
    EXPECT_EQ(h.send(" AT+CFUN=1,1\r\n", 1), list({"OK"}));
    EXPECT_FALSE(h.modem().inCall());
    EXPECT_TRUE(h.at(20).isEmpty());
    EXPECT_TRUE(h.send("AT\r\n", 5.9).isEmpty());
    EXPECT_EQ(h.send("AT\r\n", 6), list({"OK"}));
}

TEST(SimulatedModemCalls, LineClosed_CallDroppedAndNothingSaid) {
    ModemHarness h;
    h.send("ATD0912000101;\r\n", 0);
    h.modem().setLineOpen(false, 1);
    EXPECT_FALSE(h.modem().inCall());
    EXPECT_TRUE(h.at(60).isEmpty());
    // A command written just before the close is still heard, but its answer is lost.
    EXPECT_TRUE(h.send("AT+CLVL=90\r\n", 61).isEmpty());
    EXPECT_EQ(h.commands().back().second, QByteArray("AT+CLVL=90"));
    h.modem().setLineOpen(true, 62);
    EXPECT_EQ(h.send("AT\r\n", 62), list({"OK"}));
}

TEST(SimulatedModemReports, ChosenKeyStatusAndHeading_InTheFrame) {
    ModemScenario s = scenario();
    TerminalScenario& t = s.Terminals[0];
    t.KeyDigits = std::array<int, 3>{4, 7, 9};
    t.Status = 9;
    t.Heading = 123.4;
    t.AnswerDelay = 0;
    ModemHarness h(s);
    h.send("ATD0912000101;\r\n", 0);
    const QStringList lines = h.at(5);
    ASSERT_EQ(lines, QStringList({QStringLiteral("$"), lines.value(1)}));
    const QString report = lines[1];
    EXPECT_EQ(report[6], u'4');
    EXPECT_EQ(report[12], u'7');
    EXPECT_EQ(report[21], u'9');
    const DecodedPositionReport decoded = DecodePositionReport(report, 0, 0);
    EXPECT_EQ(decoded.Status, 9);
    EXPECT_FALSE(decoded.Texts.has_value());
    EXPECT_FLOAT_EQ(decoded.Direction, 123.4f);
}

TEST(SimulatedModemReports, LastFixKindAndSouthWest_StatusFromTheFix) {
    ModemScenario s = scenario();
    TerminalScenario& t = s.Terminals[0];
    t.RealTime = false;
    t.Path = {{-70.5, -33.25}};
    t.AnswerDelay = 0;
    ModemHarness h(s);
    h.send("ATD0912000101;\r\n", 0);
    const QStringList lines = h.at(5);
    ASSERT_EQ(lines.size(), 2);
    const DecodedPositionReport decoded = DecodePositionReport(lines[1], 0, 0);
    EXPECT_EQ(decoded.Status, 0); // last position, south, west
    EXPECT_DOUBLE_EQ(decoded.X, 70.5);
    EXPECT_DOUBLE_EQ(decoded.Y, 33.25);
}

TEST(SimulatedModemReports, RandomKeys_VaryButAlwaysDecode) {
    ModemScenario s = scenario();
    s.Terminals[0].ReportInterval = 1;
    s.Terminals[0].Speed = 0;
    ModemHarness h(s);
    h.send("ATD0912000101;\r\n", 0);
    const QStringList lines = h.at(3 + 15);
    ASSERT_EQ(lines.size(), 16);
    QSet<QString> frames;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        frames.insert(lines[i]);
        EXPECT_EQ(PlainReportOf(lines[i]), PlainReportOf(lines[1])); // a standing vehicle
    }
    EXPECT_GT(frames.size(), 10);
}

TEST(SimulatedModemReports, StalledClock_CatchUpIsBoundedAndTheScheduleKept) {
    ModemScenario s = scenario();
    s.Terminals[0].ReportInterval = 1;
    ModemHarness h(s);
    h.send("ATD0912000101;\r\n", 0);
    EXPECT_EQ(h.at(3), list({"$"}));
    EXPECT_EQ(h.at(100000).size(), 16);
    EXPECT_EQ(h.modem().nextEventTime(), 100001.0);
}
