#include "calling/comm_log.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include "startup/ordinary_user.h"
#include "startup/qstring_printer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrova;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A log of `lineEnds` entries "line 1" CR LF, "line 2" CR LF, ...
QString logWithLineEnds(int lineEnds) {
    QString log;
    for (int i = 1; i <= lineEnds; ++i) {
        log = AppendCommLog(log, QStringLiteral("line %1").arg(i));
    }
    return log;
}

void expectTrimmedTo(const QString& log, const QString& expected) {
    SCOPED_TRACE(log.left(40).toStdString());
    const QString trimmed = TrimCommLog(log);
    EXPECT_EQ(trimmed, expected);
    EXPECT_LE(trimmed.count(kCrLf), 200);
}

class CommLogFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    QString path() const { return CommLogFilePath(m_folder.path()); }

    void writeBytes(const QByteArray& bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray readBytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    void expectReads(const QByteArray& fileBytes, const QString& expected) {
        SCOPED_TRACE(fileBytes.toHex(' ').toStdString());
        writeBytes(fileBytes);
        EXPECT_EQ(ReadCommLogFile(path(), m_utf8), expected);
    }

    // Writes the log, checks the file's bytes and reads it back.
    QString roundTrip(const QString& log, const QByteArray& expectedBytes, const CodePage& codePage) {
        WriteCommLogFile(path(), log, codePage);
        EXPECT_EQ(readBytes(), expectedBytes);
        return ReadCommLogFile(path(), codePage);
    }

    QTemporaryDir m_folder;
    CodePage m_utf8{"UTF-8"};
};

} // namespace

TEST(TrimCommLog, MoreThan200LineEnds_KeepsTheNewest200Lines) {
    const QString log = logWithLineEnds(201);
    expectTrimmedTo(log, log.mid(QStringLiteral("line 1\r\n").size()));
    expectTrimmedTo(logWithLineEnds(250), logWithLineEnds(250).mid(logWithLineEnds(50).size()));
    // A text after the last line end is a line of its own: 200 line ends and a tail make 201 lines.
    expectTrimmedTo(log + QStringLiteral("tail"),
                    log.mid(QStringLiteral("line 1\r\n").size()) + QStringLiteral("tail"));
    // The line kept first may be empty.
    const QString emptyFirst = QStringLiteral("a\r\n\r\n") + logWithLineEnds(199);
    expectTrimmedTo(emptyFirst, kCrLf + logWithLineEnds(199));
}

TEST(TrimCommLog, AtMost200LineEnds_LeavesTheTextWhole) {
    for (const QString& log :
         {logWithLineEnds(200), logWithLineEnds(199), logWithLineEnds(200) + QStringLiteral("x"),
          kCrLf + logWithLineEnds(199), QString(), QStringLiteral("no line end"), QString(kCrLf).repeated(200)}) {
        expectTrimmedTo(log, log);
    }
    // Only CR LF pairs count: lone CRs and LFs are part of their lines.
    const QString loose = logWithLineEnds(200) + QStringLiteral("\rx\n\n\r");
    expectTrimmedTo(loose, loose);
}

TEST(TrimCommLog, HangUpEntry_CountsAsTwoLineEnds) {
    QString log = AppendCommLog(logWithLineEnds(199), QStringLiteral("掛斷") + kCrLf);
    EXPECT_EQ(log.count(kCrLf), 201);
    expectTrimmedTo(log, log.mid(QStringLiteral("line 1\r\n").size()));
    expectTrimmedTo(log.mid(QStringLiteral("line 1\r\n").size()), log.mid(QStringLiteral("line 1\r\n").size()));
}

TEST(CommLogEntries, EveryEntry_AppendsItsExactText) {
    VehicleRecord vehicle;
    vehicle.PlateNumber = QStringLiteral("AB-1234");
    vehicle.CheckPoint = QStringLiteral("即時位置");
    vehicle.EW = QStringLiteral("東經");
    vehicle.X = 121.5;
    vehicle.NS = QStringLiteral("北緯");
    vehicle.Y = 25.25;
    vehicle.Speed = 12.3F;
    vehicle.Direction = 90;
    vehicle.Offset = 1234;

    const QLocale taiwan(QLocale::Chinese, QLocale::Taiwan);
    const QString dialTime = ConvertDbTime(QStringLiteral("2024/03/05 14:03:22"), 0, taiwan);
    ASSERT_FALSE(dialTime.isEmpty());

    QString log;
    log = AppendCommLog(log, DialLogEntry(QStringLiteral("2024/03/05 14:03:22"), vehicle.PlateNumber, taiwan));
    log = AppendCommLog(log, AnsweredLogEntry());
    log = AppendCommLog(log, PositionLogEntry(vehicle));
    log = AppendCommLog(log, HangUpLogEntry());
    log = AppendCommLog(log, TimeoutLogEntry(true));
    log = AppendCommLog(log, TimeoutLogEntry(false));
    log = AppendCommLog(log, StopLogEntry(vehicle));
    log = AppendCommLog(log, ModemResetLogEntry());

    const QString expected =
        dialTime + QStringLiteral("\r\n撥號給：AB-1234\r\n"
                                  "已撥通\r\n"
                                  "即時位置：東經 121° 30' 00\" , 北緯 25° 15' 00\" , 速度：12.3 公里"
                                  " , 方向：東 , 位移：1,234 公尺\r\n"
                                  "掛斷\r\n\r\n"
                                  "訊號不良\r\n"
                                  "未撥通\r\n"
                                  "即時位置\r\n"
                                  "自動撥號器重開機\r\n\r\n");
    EXPECT_EQ(log, expected);
}

TEST(CommLogEntries, ZeroCoordinates_LeaveOnlyTheSeparators) {
    VehicleRecord vehicle;
    vehicle.CheckPoint = QStringLiteral("最後位置");
    vehicle.EW = QStringLiteral("東經");
    vehicle.NS = QStringLiteral("北緯");
    EXPECT_EQ(PositionLogEntry(vehicle), QStringLiteral("最後位置：, , 速度：0 公里 , 方向：北 , 位移：0 公尺"));
}

TEST(CommLogEntries, EmptyDialTime_StillNamesTheVehicle) {
    EXPECT_EQ(DialLogEntry(QString(), QStringLiteral("AB-1234")), QStringLiteral("\r\n撥號給：AB-1234"));
}

TEST_F(CommLogFileTest, WriteThenRead_GivesTheLogBack) {
    EXPECT_EQ(CommLogFilePath(QStringLiteral("/opt/kestrova")), QStringLiteral("/opt/kestrova/Kestrova.log"));
    const QString log = QStringLiteral("A\r\n\r\nB\r\n");
    EXPECT_EQ(roundTrip(log, "A\r\n\r\nB\r\n\r\n", m_utf8), log);
    const QString twoEntries = AppendCommLog(AppendCommLog(QString(), QStringLiteral("已撥通")), HangUpLogEntry());
    EXPECT_EQ(roundTrip(twoEntries, twoEntries.toUtf8() + "\r\n", m_utf8), twoEntries);
    // A first line that is empty is lost on the way; so is an empty log's single line end.
    EXPECT_EQ(roundTrip(QStringLiteral("\r\nA\r\n"), "\r\nA\r\n\r\n", m_utf8), QStringLiteral("A\r\n"));
    EXPECT_EQ(roundTrip(QString(), "\r\n", m_utf8), QString());
    // A log that does not end with a line end comes back with one.
    EXPECT_EQ(roundTrip(QStringLiteral("A"), "A\r\n", m_utf8), QStringLiteral("A"));
}

TEST_F(CommLogFileTest, Cp950File_HoldsBig5Bytes) {
    const CodePage cp950("CP950");
    const QString log = QStringLiteral("撥號給：A1\r\n掛斷\r\n\r\n");
    EXPECT_EQ(roundTrip(log,
                        "\xBC\xB7\xB8\xB9\xB5\xB9\xA1\x47"
                        "A1\r\n\xB1\xBE\xC2\x5F\r\n\r\n\r\n",
                        cp950),
              log);
    // A character Big5 lacks is written as "?".
    EXPECT_EQ(roundTrip(QStringLiteral("a\u05D0b"), "a?b\r\n", cp950), QStringLiteral("a?b"));
}

TEST_F(CommLogFileTest, LineEnds_AreCrLfLoneCrOrTheEndOfTheFile) {
    expectReads("A\rB\r\nC", QStringLiteral("A\r\nB\r\nC"));
    expectReads("A\nB\r\n", QStringLiteral("A\nB"));                   // a lone LF stays inside its line
    expectReads("\r\n\r\n\rA\r\n\r\nB", QStringLiteral("A\r\n\r\nB")); // leading empty lines are dropped
    expectReads("A\r\r\n", QStringLiteral("A\r\n"));
    expectReads("", QString());
    expectReads("\r\n", QString());
}

TEST_F(CommLogFileTest, MissingFile_ReadsAsEmpty) {
    EXPECT_EQ(ReadCommLogFile(path(), m_utf8), QString());
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(QStringLiteral("Kestrova.log")));
    EXPECT_EQ(ReadCommLogFile(path(), m_utf8), QString());
}

TEST_F(CommLogFileTest, UnreadableOrUnwritableFile_Throws) {
    EXPECT_THROW(
        WriteCommLogFile(m_folder.filePath(QStringLiteral("missing/Kestrova.log")), QStringLiteral("A"), m_utf8),
        RuntimeError);
    writeBytes("A\r\n");
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::WriteOwner));
    kestrova::test::SetMode(m_folder.path(), 0755);
    const kestrova::test::OrdinaryUser user;
    if (!user.active()) {
        GTEST_SKIP() << "running as root without the right to act as another user";
    }
    try {
        ReadCommLogFile(path(), m_utf8);
        ADD_FAILURE() << "read";
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(error.text().startsWith(path())) << error.text().toStdString();
    }
}
