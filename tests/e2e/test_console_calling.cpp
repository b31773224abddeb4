// The console's main window and its calling logic in this process, its real serial port talking to the
// modem simulator program over a pseudo-terminal. The call timers are driven by calling their handlers,
// so no second of real time passes per tick; only the modem's replies are waited for, briefly.

#include "calling/comm_log.h"
#include "console/call_cycle.h"
#include "console/comm_log_text_box.h"
#include "console/frm_kestrova.h"
#include "console/main_toolbar.h"
#include "console/prepared_program_folder.h"
#include "console/status_bar.h"
#include "console/track_query.h"
#include "console/track_query_frame.h"
#include "console/vehicle_list_widget.h"
#include "data/db_lib.h"
#include "data/schema.h"
#include "data/sql_connection.h"
#include "startup/fake_message_box.h"
#include "startup/numeric.h"
#include "startup/qstring_printer.h"
#include "startup/text_helpers.h"
#include "track/track_grid_model.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

using namespace kestrova;

namespace {

const QString kSimulator = QStringLiteral(KESTROVA_BINARY_DIR "/tools/modem-sim/kestrova-modem-sim");
// Bounds on waiting for the modem; the replies normally come within a fraction of a second.
constexpr int kStartTimeoutMs = 10000;
constexpr int kReplyTimeoutMs = 5000;
constexpr int kPollMs = 5;
// More Timer2 ticks than any call of this test lasts.
constexpr int kTickLimit = 100;

// Terminal A answers and reports from a street corner of the demo town, B answers without reporting,
// C never answers. A's second call finds no dial tone. Every delay is scaled down twentyfold.
constexpr double kLongitudeA = 121.559908;
constexpr double kLatitudeA = 25.03093;
constexpr double kSpeedA = 36;
constexpr double kHeadingA = 135;
const QByteArray kScenario = R"({
  "port": 1,
  "registration": {"n": 0, "stat": 1},
  "signal": {"rssi": 22, "ber": 0},
  "noCarrierAfter": 600,
  "restartDuration": 1,
  "terminals": [
    {"number": "0912000201", "answerDelay": 1, "reportInterval": 2, "path": [[121.559908, 25.03093]],
     "speed": 36, "heading": 135, "keyDigits": [4, 1, 7], "noDialtoneOnCall": 2},
    {"number": "0912000202", "answerDelay": 1},
    {"number": "0912000203", "answers": false}
  ]
})";
const QString kTimeScale = QStringLiteral("0.05");

// The clock of the console in this test: the time of day moves only by the waits and by the test's
// ticks, and a wait after a modem command lasts a few milliseconds, with no event run meanwhile.
class QuickClock final : public Clock {
public:
    QDateTime now() const override { return m_now; }
    void sleep(int ms) override {
        QThread::msleep(static_cast<unsigned long>(std::min(ms, kPollMs)));
        m_now = m_now.addMSecs(ms);
    }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now{QDate(2024, 3, 5), QTime(14, 3, 22)};
};

// The program's one QApplication, on the offscreen platform. It is kept to the end of the process: destroyed
// at exit, it would outlive statics of Qt that its input devices still use.
void MakeApplication() {
    static int argc = 1;
    static char name[] = "test_e2e";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        }
        new QApplication(argc, argv);
    }
}

// A CommLog row as stored.
struct LogRow {
    QString PlateNumber, DialTime, CheckPoint, EW;
    double X = 0;
    QString NS;
    double Y = 0;
    double Speed = 0;
    double Direction = 0;
    double Offset = 0;
    QString Healthy, Position;
};

class ConsoleCallingTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeApplication();
        ASSERT_TRUE(QFileInfo::exists(kSimulator)) << "build kestrova-modem-sim";
        ASSERT_NO_FATAL_FAILURE(test::PrepareProgramFolder(m_folder.path()));
        writeFile("Kestrova.ini", "[Settings]\r\nDefaultTimeout=5\r\nAutoTimeout=5\r\nManualTimeout=5\r\n"
                                  "CommPort=1\r\nEnablePCSound=1\r\nLogDuration=30\r\nTotalCycleTime=30\r\n"
                                  "Velocity=1\r\n"
                                  "[Nv5]\r\nProfile=demo-style.json\r\nMap=demo.mbtiles\r\n"
                                  "Mmh=demo-background.mbtiles\r\n");
    }

    // Starts the simulator playing scenario on the folder's dev/com1.
    void startSimulator(const QByteArray& scenario) {
        writeFile("scenario.json", scenario);
        m_simulator.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        m_simulator.start(kSimulator, {QStringLiteral("--folder"), m_folder.path(), QStringLiteral("--scenario"),
                                       path("scenario.json"), QStringLiteral("--record"), path("received.txt"),
                                       QStringLiteral("--time-scale"), kTimeScale});
        ASSERT_TRUE(m_simulator.waitForStarted(kStartTimeoutMs));
        ASSERT_TRUE(waitFor([this] { return QFileInfo(path("dev/com1")).isSymLink(); }, kStartTimeoutMs))
            << "the simulator did not link its port";
    }

    void TearDown() override {
        if (m_simulator.state() != QProcess::NotRunning) {
            m_simulator.terminate();
            if (!m_simulator.waitForFinished(kStartTimeoutMs)) {
                m_simulator.kill();
                m_simulator.waitForFinished(kStartTimeoutMs);
            }
        }
    }

    QString path(const QString& name) const { return QDir(m_folder.path()).filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // Runs the events (the port's receive events among them) until done, or for at most timeoutMs.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs = kReplyTimeoutMs) {
        const QDeadlineTimer deadline(timeoutMs);
        while (!done()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents();
            QThread::msleep(kPollMs);
        }
        return true;
    }

    // The command lines the simulator received, in order, without their times.
    QStringList received() const {
        QFile file(path("received.txt"));
        QStringList commands;
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : file.readAll().split('\n')) {
                const qsizetype tab = line.indexOf('\t');
                if (tab >= 0) {
                    commands << QString::fromLatin1(line.mid(tab + 1));
                }
            }
        }
        return commands;
    }

    std::vector<LogRow> storedLog() const {
        SqlConnection connection;
        connection.open(DatabasePath(m_folder.path()), QByteArray(kDatabaseKey), SqlConnection::OpenMode::ExistingOnly);
        SqlStatement statement = connection.prepare(
            QStringLiteral("SELECT PlateNumber, DialTime, CheckPoint, EW, X, NS, Y, Speed, Direction, Offset, Healthy, "
                           "Position FROM CommLog ORDER BY rowid"));
        std::vector<LogRow> rows;
        while (statement.step()) {
            rows.push_back({statement.text(0), statement.text(1), statement.text(2), statement.text(3),
                            statement.real(4), statement.text(5), statement.real(6), statement.real(7),
                            statement.real(8), statement.real(9), statement.text(10), statement.text(11)});
        }
        return rows;
    }

    // One second of the window's event loop for a timer: the clock moves on and its handler runs. Gives
    // the time of the tick, which is the dial time when the tick dials.
    QString tick1(frmKestrova& w) {
        m_clock.advance(1000);
        const QString time = FormatDbTime(m_clock.now());
        w.callCycle().Timer1_Timer();
        return time;
    }
    void tick2(frmKestrova& w) {
        m_clock.advance(1000);
        w.callCycle().Timer2_Timer();
    }
    // Ticks Timer2 until the call times out; false when it does not within the limit.
    bool tickUntilTimedOut(frmKestrova& w) {
        for (int i = 0; i < kTickLimit && w.Timer2()->Enabled(); ++i) {
            tick2(w);
        }
        return !w.Timer2()->Enabled();
    }

    QTemporaryDir m_folder;
    QProcess m_simulator;
    test::FakeMessageBox m_box;
    std::vector<QString> m_endedWith;
    ProgramEnd m_programEnd{m_box, [this] { m_endedWith.push_back(m_box.shown.back().text); }};
    QuickClock m_clock;
};

QString listRow(const frmKestrova& w, int row, std::initializer_list<VehicleListColumn> columns) {
    QStringList cells;
    for (const VehicleListColumn column : columns) {
        cells << w.lvwVehicle()->cellText(row, column);
    }
    return cells.join(u'|');
}

TEST_F(ConsoleCallingTest, AutomaticCycleOverThreeVehicles_RecordsEachCall_AndNoDialToneResetsTheModem) {
    ASSERT_NO_FATAL_FAILURE(startSimulator(kScenario));
    auto window = std::make_unique<frmKestrova>(m_folder.path(), m_box, m_programEnd, m_clock);
    frmKestrova& w = *window;
    w.Form_Load();
    w.show();
    ASSERT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
    MainWindowState& state = w.state();
    ASSERT_EQ(w.lvwVehicle()->rowCount(), 3);
    const QString logBefore = w.txtCommLog()->text();

    // "Dial" in automatic calling with the first vehicle selected: its first tick dials it.
    w.lvwVehicle()->selectRow(0);
    w.tblToolbar()->button(QStringLiteral("Dial"))->trigger();
    ASSERT_TRUE(w.Timer1()->Enabled());
    EXPECT_FALSE(w.tblToolbar()->isButtonEnabled(QStringLiteral("Dial")));
    EXPECT_TRUE(w.tblToolbar()->isButtonEnabled(QStringLiteral("Interrupt")));
    EXPECT_TRUE(w.tblToolbar()->isButtonEnabled(QStringLiteral("RealTimePosition")));

    // A answers and reports: the report ends its call and B is due at the next tick.
    const QString dialA = tick1(w);
    const QDateTime cycleStart = QDateTime::fromString(dialA, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    ASSERT_TRUE(cycleStart.isValid()) << dialA.toStdString();
    ASSERT_TRUE(w.Timer2()->Enabled());
    EXPECT_TRUE(w.MSComm1().PortOpen());
    ASSERT_TRUE(waitFor([&] { return state.CurrentVehicle == 1; })) << w.txtCommLog()->text().toStdString();
    const VehicleRecord reportedA = state.Vehicles[0];
    EXPECT_FALSE(w.MSComm1().PortOpen());
    EXPECT_EQ(w.Timer1()->Tag(), "0");
    EXPECT_EQ(w.stbStatusBar()->panelText(3), "已登入基地台");
    EXPECT_EQ(w.stbStatusBar()->panelText(4), "▂▃▄▅");
    EXPECT_EQ(reportedA.CheckPoint, "即時位置");
    EXPECT_EQ(reportedA.Healthy, "00000");
    EXPECT_FALSE(reportedA.Address.isEmpty());
    EXPECT_EQ(w.cmbVehicle().listIndex(6), 0);
    EXPECT_EQ(listRow(w, 0,
                      {VehicleListColumn::CheckPoint, VehicleListColumn::Position, VehicleListColumn::Speed,
                       VehicleListColumn::Direction, VehicleListColumn::Offset}),
              "即時位置|" + reportedA.Address + "|35.9 公里|東南|0 公尺");
    EXPECT_EQ(w.lvwVehicle()->cellText(0, VehicleListColumn::DialTime), ConvertDbTime(reportedA.DialTime, 0));

    // B answers and says nothing: its call times out as "訊號不良", and C is due.
    const QString dialB = tick1(w);
    ASSERT_TRUE(waitFor([&] { return state.Vehicles[1].Connected; })) << received().join(u'\n').toStdString() << '\n'
                                                                      << w.txtCommLog()->text().toStdString();
    EXPECT_EQ(w.stbStatusBar()->panelText(1), "已撥通：KS-202");
    ASSERT_TRUE(tickUntilTimedOut(w));
    EXPECT_EQ(state.CurrentVehicle, 2);
    EXPECT_EQ(state.Vehicles[1].Healthy, "00001");
    EXPECT_EQ(w.stbStatusBar()->panelText(1), "訊號不良");
    EXPECT_EQ(w.lvwVehicle()->cellText(1, VehicleListColumn::CheckPoint), "訊號不良");
    const QString timedOutB = state.Vehicles[1].DialTime;

    // C never answers: "未撥通"; the cycle is complete, and its rest is counted down from the first dial.
    const QString dialC = tick1(w);
    ASSERT_TRUE(waitFor([this] { return received().contains(QStringLiteral("ATD0912000203;")); }));
    ASSERT_TRUE(tickUntilTimedOut(w));
    EXPECT_FALSE(state.Vehicles[2].Connected);
    EXPECT_EQ(state.Vehicles[2].Healthy, "00002");
    EXPECT_EQ(w.lvwVehicle()->cellText(2, VehicleListColumn::CheckPoint), "未撥通");
    const QString timedOutC = state.Vehicles[2].DialTime;
    EXPECT_EQ(state.CurrentVehicle, 0);
    ASSERT_TRUE(w.Timer1()->Enabled());
    const qint64 rest = 30 - cycleStart.secsTo(m_clock.now());
    ASSERT_GT(rest, 0);
    EXPECT_EQ(w.Timer1()->Tag(), NumberText(rest));
    for (qint64 i = 0; i < rest; ++i) {
        tick1(w);
    }
    EXPECT_EQ(w.stbStatusBar()->panelText(2), "循環倒數：0 秒");
    EXPECT_FALSE(w.Timer2()->Enabled());

    // A's second call finds no dial tone: calling stops unbooked, the modem is reset, and the first vehicle
    // is due after a 60-second countdown, with the tool bar still calling.
    const QString dialA2 = tick1(w);
    ASSERT_TRUE(waitFor([&] { return w.stbStatusBar()->panelText(3) == "自動撥號器重開機"; }))
        << w.txtCommLog()->text().toStdString();
    EXPECT_FALSE(w.MSComm1().PortOpen());
    EXPECT_EQ(state.CurrentVehicle, 0);
    EXPECT_EQ(w.Timer1()->Tag(), "60");
    EXPECT_TRUE(w.Timer1()->Enabled());
    EXPECT_FALSE(w.Timer2()->Enabled());
    EXPECT_EQ(state.Vehicles[0].Healthy, "00000");
    EXPECT_EQ(w.lvwVehicle()->cellText(0, VehicleListColumn::CheckPoint), "正在撥號");
    EXPECT_TRUE(w.tblToolbar()->isButtonEnabled(QStringLiteral("Interrupt")));
    tick1(w);
    EXPECT_EQ(w.stbStatusBar()->panelText(2), "循環倒數：59 秒");

    // "Interrupt" ends calling; no timer runs while the modem's record is waited for.
    w.tblToolbar()->button(QStringLiteral("Interrupt"))->trigger();
    EXPECT_EQ(state.CurrentVehicle, -1);
    EXPECT_FALSE(w.Timer1()->Enabled());
    EXPECT_TRUE(w.tblToolbar()->isButtonEnabled(QStringLiteral("Dial")));
    EXPECT_FALSE(w.tblToolbar()->isButtonEnabled(QStringLiteral("Interrupt")));

    const QStringList dial = {"AT", "AT+CREG?", "AT+CSQ"};
    const QStringList expectedCommands =
        dial + QStringList{"ATD0912000201;", "ATH"} + dial + QStringList{"ATD0912000202;", "ATH"} + dial +
        QStringList{"ATD0912000203;", "ATH"} + dial + QStringList{"ATD0912000201;", "ATH", " AT+CFUN=1,1"};
    EXPECT_TRUE(waitFor([&] { return received() == expectedCommands; })) << received().join(u'\n').toStdString();

    // The stored rows: A's decoded fix, then B's and C's failures without a position.
    const std::vector<LogRow> rows = storedLog();
    ASSERT_EQ(rows.size(), 3U);
    const LogRow& a = rows[0];
    EXPECT_EQ(a.PlateNumber, "0912000201");
    EXPECT_EQ(a.DialTime, reportedA.DialTime);
    EXPECT_EQ(a.CheckPoint, "即時位置");
    EXPECT_EQ(a.EW, "東經");
    EXPECT_NEAR(a.X, kLongitudeA, 1e-4);
    EXPECT_EQ(a.NS, "北緯");
    EXPECT_NEAR(a.Y, kLatitudeA, 1e-4);
    EXPECT_NEAR(a.Speed, kSpeedA, 0.2);
    EXPECT_EQ(a.Direction, kHeadingA);
    EXPECT_EQ(a.Offset, 0);
    EXPECT_EQ(a.Healthy, "00000");
    EXPECT_EQ(a.Position, reportedA.Address);
    for (const auto& [row, phone, checkPoint, healthy, dialTime] :
         {std::tuple{rows[1], "0912000202", "訊號不良", "00001", timedOutB},
          std::tuple{rows[2], "0912000203", "未撥通", "00002", timedOutC}}) {
        EXPECT_EQ(row.PlateNumber, phone);
        EXPECT_EQ(row.DialTime, dialTime);
        EXPECT_EQ(row.CheckPoint, checkPoint);
        EXPECT_EQ(row.EW + row.NS, "");
        EXPECT_EQ(row.X + row.Y + row.Speed + row.Direction + row.Offset, 0);
        EXPECT_EQ(row.Healthy, healthy);
        EXPECT_EQ(row.Position, "");
    }

    // The communication log holds every step of the run, the interruption last.
    const auto line = [](const QString& text) { return text + QStringLiteral("\r\n"); };
    const QString hangUp = line(QStringLiteral("掛斷\r\n"));
    const QString answered = line(QStringLiteral("已撥通"));
    EXPECT_EQ(w.txtCommLog()->text().mid(logBefore.size()),
              line(DialLogEntry(dialA, "KS-201")) + answered + line(PositionLogEntry(reportedA)) + hangUp +
                  line(DialLogEntry(dialB, "KS-202")) + answered + line(QStringLiteral("訊號不良")) + hangUp +
                  line(DialLogEntry(dialC, "KS-203")) + line(QStringLiteral("未撥通")) + hangUp +
                  line(DialLogEntry(dialA2, "KS-201")) + line(QStringLiteral("正在撥號")) + hangUp +
                  line(QStringLiteral("自動撥號器重開機\r\n")) + line(QStringLiteral("正在撥號")));
    EXPECT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
    EXPECT_TRUE(m_box.shown.empty()) << m_box.shown.front().text.toStdString();
}

// Terminal A answers and reports at once; B answers without reporting.
const QByteArray kReportingScenario = R"({
  "port": 1,
  "terminals": [
    {"number": "0912000201", "answerDelay": 1, "reportInterval": 2, "path": [[121.559908, 25.03093]]},
    {"number": "0912000202", "answerDelay": 1}
  ]
})";

// A report whose place text cannot be written ends the program. From that moment the console is still:
// the modem hears the hang-up and nothing more, no row is stored, and no timer dials the next vehicle.
TEST_F(ConsoleCallingTest, FailureDuringAReport_StopsTheConsoleBehindItsBox) {
    ASSERT_NO_FATAL_FAILURE(startSimulator(kReportingScenario));
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(QStringLiteral("route.txt")));
    auto window = std::make_unique<frmKestrova>(m_folder.path(), m_box, m_programEnd, m_clock);
    frmKestrova& w = *window;
    w.Form_Load();
    w.show();
    ASSERT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
    bool timersOffBehindTheBox = false;
    m_box.whileShown = [&] {
        timersOffBehindTheBox = !w.Timer1()->Enabled() && !w.Timer2()->Enabled();
        // The box's own event loop runs for a while; the timers' handlers are called too.
        waitFor([] { return false; }, 500);
        tick1(w);
        tick2(w);
    };

    w.lvwVehicle()->selectRow(0);
    w.tblToolbar()->button(QStringLiteral("Dial"))->trigger();
    tick1(w);
    ASSERT_TRUE(waitFor([&] { return !m_endedWith.empty(); })) << received().join(u'\n').toStdString();

    EXPECT_TRUE(timersOffBehindTheBox);
    EXPECT_EQ(m_box.shown.size(), 1u);
    const QStringList commands = received();
    EXPECT_EQ(commands, QStringList({"AT", "AT+CREG?", "AT+CSQ", "ATD0912000201;", "ATH"}));
    EXPECT_TRUE(storedLog().empty());
    EXPECT_EQ(w.state().Vehicles[1].CheckPoint, QString());
}

// The modem goes away at A's dial, and again in the middle of B's report. Each time the console shows the
// port's failure with its reason, stops calling and goes on; the next "Dial" finds the modem back.
TEST_F(ConsoleCallingTest, ModemLostAtTheDialAndMidReport_IsSurvivedAndTheNextDialReachesIt) {
    ASSERT_NO_FATAL_FAILURE(startSimulator(R"({
      "port": 1,
      "terminals": [
        {"number": "0912000201", "answerDelay": 1, "reportInterval": 2, "path": [[121.559908, 25.03093]],
         "dropLine": {"call": 1, "at": "dial"}},
        {"number": "0912000202", "answerDelay": 1, "reportInterval": 2, "path": [[121.5601, 25.0311]],
         "dropLine": {"call": 1, "at": "report"}}
      ]
    })"));
    auto window = std::make_unique<frmKestrova>(m_folder.path(), m_box, m_programEnd, m_clock);
    frmKestrova& w = *window;
    w.Form_Load();
    w.show();
    MainWindowState& state = w.state();
    // The device named with the real reason, whether the dial's own read or the receive event met the loss.
    const QString lost = path("dev/com1") + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(EIO));

    // Dials the selected row's vehicle and waits for the next box; false when none comes.
    const auto dialAndWaitForBox = [&](int row) {
        const QString link = QFileInfo(path("dev/com1")).symLinkTarget();
        w.lvwVehicle()->selectRow(row);
        w.tblToolbar()->button(QStringLiteral("Dial"))->trigger();
        const std::size_t boxes = m_box.shown.size();
        tick1(w);
        const bool shown = waitFor([&] { return m_box.shown.size() > boxes; });
        // The simulator has a new line under the same link by the time the console is told.
        waitFor([&] { return QFileInfo(path("dev/com1")).symLinkTarget() != link; });
        return shown;
    };
    const auto lostAndStopped = [&](int vehicle, const QString& checkPoint) {
        EXPECT_EQ(m_box.shown.back().kind, "exclamation");
        EXPECT_EQ(m_box.shown.back().text, lost);
        EXPECT_FALSE(w.MSComm1().PortOpen());
        EXPECT_FALSE(w.Timer1()->Enabled());
        EXPECT_FALSE(w.Timer2()->Enabled());
        EXPECT_EQ(state.CurrentVehicle, -1);
        EXPECT_TRUE(w.tblToolbar()->isButtonEnabled(QStringLiteral("Dial")));
        EXPECT_EQ(w.lvwVehicle()->cellText(vehicle, VehicleListColumn::CheckPoint), checkPoint);
    };

    ASSERT_TRUE(dialAndWaitForBox(0));
    lostAndStopped(0, "正在撥號");

    // Dialled again, A reports and the cycle goes on to B, whose line breaks off in its report.
    ASSERT_TRUE(dialAndWaitForBox(0)) << w.txtCommLog()->text().toStdString();
    EXPECT_EQ(state.Vehicles[0].CheckPoint, "即時位置");
    lostAndStopped(1, "已撥通");

    // The third dial reaches B and its report is stored.
    w.lvwVehicle()->selectRow(1);
    w.tblToolbar()->button(QStringLiteral("Dial"))->trigger();
    tick1(w);
    ASSERT_TRUE(waitFor([&] { return state.Vehicles[1].Located; })) << w.txtCommLog()->text().toStdString();
    w.tblToolbar()->button(QStringLiteral("Interrupt"))->trigger();

    EXPECT_EQ(m_box.shown.size(), 2u);
    EXPECT_TRUE(m_endedWith.empty());
    const std::vector<LogRow> rows = storedLog();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].PlateNumber, "0912000201");
    EXPECT_EQ(rows[1].PlateNumber, "0912000202");
}

TEST_F(ConsoleCallingTest, AutomaticCycle_ThenTrackQueryOfACalledVehicle_ShowsItsRows) {
    ASSERT_NO_FATAL_FAILURE(startSimulator(kScenario));
    auto window = std::make_unique<frmKestrova>(m_folder.path(), m_box, m_programEnd, m_clock);
    frmKestrova& w = *window;
    w.Form_Load();
    w.show();
    MainWindowState& state = w.state();

    // One automatic round: A reports, then calling is interrupted before B is dialled.
    w.lvwVehicle()->selectRow(0);
    w.tblToolbar()->button(QStringLiteral("Dial"))->trigger();
    tick1(w);
    ASSERT_TRUE(waitFor([&] { return state.CurrentVehicle == 1; })) << w.txtCommLog()->text().toStdString();
    const VehicleRecord reportedA = state.Vehicles[0];
    w.tblToolbar()->button(QStringLiteral("Interrupt"))->trigger();

    // A's day in track query: its one fix, shown on panel 7 once the grid's row has settled.
    w.tblToolbar()->button(QStringLiteral("TrackQuery"))->trigger();
    w.cmbVehicle().setListIndex(kTrackPanel, 0);
    TrackQueryFrame& frame = *w.fraTrackQuery();
    frame.dtpFromTime()->setDate(m_clock.now().date());
    frame.dtpToTime()->setDate(m_clock.now().date());
    frame.txtToSpeed()->setText(QStringLiteral("200"));
    frame.txtToOffset()->setText(QStringLiteral("100000"));
    ASSERT_TRUE(frame.cmdQuery()->isEnabled());
    frame.cmdQuery()->click();
    const TrackGridModel* rows = w.trackQuery().dataSource();
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->rowCount(), 1);
    const auto cell = [rows](const char* column) {
        return rows->data(rows->index(0, rows->rows().columnIndex(QString::fromLatin1(column)))).toString();
    };
    EXPECT_EQ(cell("DialTime"), reportedA.DialTime);
    EXPECT_EQ(cell("CheckPoint"), "即時位置");
    EXPECT_EQ(cell("Position"), reportedA.Address);
    EXPECT_EQ(cell("Direction_1"), "東南");
    EXPECT_TRUE(frame.cmdExport()->isEnabled());
    EXPECT_TRUE(w.tblToolbar()->isButtonEnabled(QStringLiteral("Print")));

    ASSERT_TRUE(w.Timer3()->isActive());
    w.trackQuery().Timer3_Timer();
    EXPECT_EQ(state.PlaybackSlot().PlateNumber, "KS-201");
    EXPECT_NEAR(state.PlaybackSlot().X, kLongitudeA, 1e-4);
    EXPECT_NEAR(state.PlaybackSlot().Y, kLatitudeA, 1e-4);
    EXPECT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
}

} // namespace
