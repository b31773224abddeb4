#include "modem-sim/scenario.h"
#include "startup/runtime_error.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kestrova;

namespace {

// Parsing json must fail with a message that contains every one of the fragments.
void expectRefused(const QByteArray& json, std::initializer_list<const char*> fragments) {
    SCOPED_TRACE(json.toStdString());
    try {
        ParseScenario(json);
        ADD_FAILURE() << "accepted";
    } catch (const RuntimeError& e) {
        for (const char* fragment : fragments)
            EXPECT_TRUE(e.text().contains(QString::fromUtf8(fragment))) << e.text().toStdString();
    }
}

// A valid scenario with one terminal whose object ends with extra (a JSON member list or nothing).
QByteArray withTerminal(const QByteArray& extra) {
    return R"({"port": 3, "terminals": [{"number": "0912000101")" + (extra.isEmpty() ? "" : ", " + extra) + "}]}";
}

} // namespace

TEST(ModemScenarioParsing, FullScenario_ReadsEveryField) {
    const ModemScenario s = ParseScenario(R"({
        "port": 4, "record": "out/rec.txt", "echo": false,
        "registration": {"n": 2, "stat": 5}, "signal": {"rssi": 99, "ber": 7},
        "noCarrierAfter": 12.5, "restartDuration": 0.5,
        "terminals": [
          {"number": "+886912000101", "answers": false, "answerDelay": 1.5, "reportInterval": 0.25,
           "path": [[121.56, 25.03], [-121.5, -25.5]], "speed": 36, "heading": 270,
           "keyDigits": [1, 0, 9], "realTime": false, "status": 9, "noDialtoneOnCall": 3},
          {"number": "*31#0912"}
        ]})");
    EXPECT_EQ(s.Port, 4);
    EXPECT_EQ(s.RecordFile, QStringLiteral("out/rec.txt"));
    EXPECT_FALSE(s.Echo);
    EXPECT_EQ(s.RegistrationMode, 2);
    EXPECT_EQ(s.RegistrationState, 5);
    EXPECT_EQ(s.Rssi, 99);
    EXPECT_EQ(s.Ber, 7);
    EXPECT_DOUBLE_EQ(s.NoCarrierAfter, 12.5);
    EXPECT_DOUBLE_EQ(s.RestartDuration, 0.5);
    ASSERT_EQ(s.Terminals.size(), 2u);

    const TerminalScenario& t = s.Terminals[0];
    EXPECT_EQ(t.Number, QStringLiteral("+886912000101"));
    EXPECT_FALSE(t.Answers);
    EXPECT_DOUBLE_EQ(t.AnswerDelay, 1.5);
    EXPECT_DOUBLE_EQ(t.ReportInterval, 0.25);
    ASSERT_EQ(t.Path.size(), 2u);
    EXPECT_DOUBLE_EQ(t.Path[1].Longitude, -121.5);
    EXPECT_DOUBLE_EQ(t.Path[1].Latitude, -25.5);
    EXPECT_DOUBLE_EQ(t.Speed, 36);
    EXPECT_EQ(t.Heading, 270.0);
    EXPECT_EQ(t.KeyDigits, (std::array<int, 3>{1, 0, 9}));
    EXPECT_FALSE(t.RealTime);
    EXPECT_EQ(t.Status, 9);
    EXPECT_EQ(t.NoDialtoneOnCall, 3);

    // Left out, everything takes its default.
    const TerminalScenario& d = s.Terminals[1];
    EXPECT_TRUE(d.Answers);
    EXPECT_TRUE(d.Path.empty());
    EXPECT_FALSE(d.Heading.has_value());
    EXPECT_FALSE(d.KeyDigits.has_value());
    EXPECT_FALSE(d.Status.has_value());
    EXPECT_TRUE(d.RealTime);
    EXPECT_EQ(d.NoDialtoneOnCall, 0);
}

TEST(ModemScenarioParsing, MinimalScenario_TakesDefaults) {
    const ModemScenario s = ParseScenario(R"({"port": 1, "terminals": []})");
    EXPECT_EQ(s.Port, 1);
    EXPECT_TRUE(s.RecordFile.isEmpty());
    EXPECT_TRUE(s.Echo);
    EXPECT_EQ(s.RegistrationState, 1);
    EXPECT_TRUE(s.Terminals.empty());
}

TEST(ModemScenarioParsing, BadTopLevel_RefusedWithTheKey) {
    expectRefused("", {"not valid JSON"});
    expectRefused(R"({"port": 3, "terminals": [})", {"not valid JSON", "offset"});
    expectRefused("[1, 2]", {"one JSON object"});
    expectRefused(R"({"terminals": []})", {"port", "missing"});
    expectRefused(R"({"port": 0, "terminals": []})", {"port", "1 to 255"});
    expectRefused(R"({"port": 256, "terminals": []})", {"port"});
    expectRefused(R"({"port": 2.5, "terminals": []})", {"port", "whole number"});
    expectRefused(R"({"port": "3", "terminals": []})", {"port"});
    expectRefused(R"({"port": 1e300, "terminals": []})", {"port"});
    expectRefused(R"({"port": 1e400, "terminals": []})", {"scenario"});
    expectRefused(R"({"port": 3})", {"terminals"});
    expectRefused(R"({"port": 3, "terminals": {}})", {"terminals"});
    expectRefused(R"({"port": 3, "terminals": [], "prot": 1})", {"unknown key \"prot\""});
    expectRefused(R"({"port": 3, "terminals": [], "record": ""})", {"record"});
    expectRefused(R"({"port": 3, "terminals": [], "echo": "yes"})", {"echo", "true or false"});
    expectRefused(R"({"port": 3, "terminals": [], "registration": {"n": 0, "stat": 6}})", {"registration.stat"});
    expectRefused(R"({"port": 3, "terminals": [], "registration": 1})", {"registration", "object"});
    expectRefused(R"({"port": 3, "terminals": [], "signal": {"rssi": 40}})", {"signal.rssi", "99"});
    expectRefused(R"({"port": 3, "terminals": [], "signal": {"ber": 8}})", {"signal.ber"});
    expectRefused(R"({"port": 3, "terminals": [], "noCarrierAfter": -1})", {"noCarrierAfter"});
    expectRefused(R"({"port": 3, "terminals": [], "restartDuration": 601})", {"restartDuration"});
}

TEST(ModemScenarioParsing, BadTerminal_RefusedWithItsPlace) {
    expectRefused(R"({"port": 3, "terminals": [7]})", {"terminals[0]", "object"});
    expectRefused(R"({"port": 3, "terminals": [{}]})", {"terminals[0]", "number"});
    expectRefused(R"({"port": 3, "terminals": [{"number": ""}]})", {"terminals[0].number"});
    expectRefused(R"({"port": 3, "terminals": [{"number": "0912-000"}]})", {"terminals[0].number"});
    expectRefused(R"({"port": 3, "terminals": [{"number": 912000101}]})", {"terminals[0].number"});
    expectRefused(R"({"port": 3, "terminals": [{"number": "1"}, {"number": "2"}, {"number": "1"}]})",
                  {"terminals[2].number", "terminals[0]"});
    expectRefused(withTerminal(R"("answerdelay": 1)"), {"terminals[0]", "unknown key \"answerdelay\""});
    expectRefused(withTerminal(R"("answers": 1)"), {"terminals[0].answers"});
    expectRefused(withTerminal(R"("answerDelay": -0.5)"), {"terminals[0].answerDelay"});
    expectRefused(withTerminal(R"("reportInterval": 0)"), {"terminals[0].reportInterval"});
    expectRefused(withTerminal(R"("speed": 5000)"), {"terminals[0].speed"});
    expectRefused(withTerminal(R"("heading": 361)"), {"terminals[0].heading"});
    expectRefused(withTerminal(R"("status": 10)"), {"terminals[0].status"});
    expectRefused(withTerminal(R"("noDialtoneOnCall": -1)"), {"terminals[0].noDialtoneOnCall"});
    expectRefused(withTerminal(R"("keyDigits": [1, 2])"), {"terminals[0].keyDigits"});
    expectRefused(withTerminal(R"("keyDigits": [1, 2, 10])"), {"terminals[0].keyDigits[2]"});
    expectRefused(withTerminal(R"("keyDigits": "123")"), {"terminals[0].keyDigits"});
    expectRefused(withTerminal(R"("path": [])"), {"terminals[0].path"});
    expectRefused(withTerminal(R"("path": [121.5, 25.0])"), {"terminals[0].path[0]"});
    expectRefused(withTerminal(R"("path": [[121.5]])"), {"terminals[0].path[0]"});
    expectRefused(withTerminal(R"("path": [[121.5, 25.0], [121.5, 95]])"), {"terminals[0].path[1][1]"});
    expectRefused(withTerminal(R"("path": [[181, 25.0]])"), {"terminals[0].path[0][0]"});
    expectRefused(withTerminal(R"("path": [["121.5", 25.0]])"), {"terminals[0].path[0][0]"});
}

TEST(ModemScenarioFile, RelativeRecord_TakenFromTheScenarioFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("s.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"port": 2, "record": "rec.txt", "terminals": []})");
    file.close();

    EXPECT_EQ(LoadScenarioFile(path).RecordFile, dir.filePath(QStringLiteral("rec.txt")));
}

TEST(ModemScenarioFile, MissingOrBadFile_ErrorNamesTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("none.json"));
    try {
        LoadScenarioFile(missing);
        ADD_FAILURE() << "a missing file was read";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.text().contains(missing)) << e.text().toStdString();
    }

    const QString bad = dir.filePath(QStringLiteral("bad.json"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"port": 2, "terminals": [{"number": "x"}]})");
    file.close();
    try {
        LoadScenarioFile(bad);
        ADD_FAILURE() << "a bad file was read";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.text().contains(bad)) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(QStringLiteral("terminals[0].number"))) << e.text().toStdString();
    }
}

TEST(ModemScenarioFile, DemoScenario_DrivesThroughTheDemoTown) {
    const ModemScenario s =
        LoadScenarioFile(QStringLiteral(KESTROVA_SOURCE_DIR "/tools/modem-sim/demo-scenario.json"));
    ASSERT_FALSE(s.Terminals.empty());
    bool anyReports = false;
    for (const TerminalScenario& t : s.Terminals) {
        SCOPED_TRACE(t.Number.toStdString());
        EXPECT_TRUE(t.Number.startsWith(QStringLiteral("0912000")));
        anyReports = anyReports || !t.Path.empty();
        for (const GeoPoint& p : t.Path) {
            // The demo town is the 2 x 2 km square north-east of 121.55 E, 25.021 N.
            EXPECT_GE(p.Longitude, 121.55);
            EXPECT_LE(p.Longitude, 121.5700);
            EXPECT_GE(p.Latitude, 25.021);
            EXPECT_LE(p.Latitude, 25.0391);
        }
    }
    EXPECT_TRUE(anyReports);
}
