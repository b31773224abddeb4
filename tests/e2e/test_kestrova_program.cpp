// The console program itself: started on a prepared copy of the program folder under the offscreen
// platform, asked to close the way a desktop logout asks (SIGTERM), and judged by the files it saved.

#include "startup/code_page.h"
#include "startup/qstring_printer.h"
#include "startup/settings_file.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

const QDir kBuild(QStringLiteral(KESTROVA_BINARY_DIR));
const QDir kBuildProgramFolder(QStringLiteral(KESTROVA_BINARY_DIR "/kestrova"));
constexpr int kTimeoutMs = 20000;
constexpr int kPollMs = 20;

bool copyTree(const QString& from, const QString& to) {
    QDir target(to);
    if (!target.mkpath(QStringLiteral("."))) {
        return false;
    }
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = QDir(from).relativeFilePath(source);
        const bool copied =
            it.fileInfo().isDir() ? target.mkpath(relative) : QFile::copy(source, target.filePath(relative));
        if (!copied) {
            return false;
        }
    }
    return true;
}

// A pseudo-terminal whose far end stands in for the modem's port: the splash sends its speaker command
// there, and nothing needs to answer it.
class PseudoTerminal {
public:
    PseudoTerminal() : m_master(posix_openpt(O_RDWR | O_NOCTTY)) {
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
            m_device = QString::fromLocal8Bit(ptsname(m_master));
        }
    }
    ~PseudoTerminal() {
        if (m_master >= 0) {
            close(m_master);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Empty when no pseudo-terminal could be had.
    const QString& device() const { return m_device; }

private:
    int m_master;
    QString m_device;
};

std::vector<QString> iniValues(const kestrova::SettingsFile& ini, const QString& section,
                               const std::vector<QString>& keys) {
    std::vector<QString> values;
    for (const QString& key : keys) {
        values.push_back(ini.GetIniString(section, key));
    }
    return values;
}

TEST(KestrovaProgram, StartedOnItsFolderAndClosedBySignal_SavesItsState) {
    QTemporaryDir temporary;
    const QDir folder(temporary.path());

    // The program in its folder, with the map, the pictures and a demo database.
    const QString program = folder.filePath(QStringLiteral("kestrova"));
    ASSERT_TRUE(QFile::copy(kBuildProgramFolder.filePath(QStringLiteral("kestrova")), program));
    for (const char* name : {"nv5", "carimage", "icons"}) {
        ASSERT_TRUE(copyTree(kBuildProgramFolder.filePath(QLatin1String(name)), folder.filePath(QLatin1String(name))))
            << name;
    }
    ASSERT_TRUE(folder.mkpath(QStringLiteral("image")));
    QProcess newdb;
    newdb.start(kBuild.filePath(QStringLiteral("tools/newdb/kestrova-newdb")),
                {QStringLiteral("--demo"), folder.path()});
    ASSERT_TRUE(newdb.waitForFinished(kTimeoutMs));
    ASSERT_EQ(newdb.exitCode(), 0) << newdb.readAllStandardError().toStdString();

    // The settings of a delivered folder, with two zooms and a hidden list saved by an earlier run.
    ASSERT_TRUE(QFile::copy(QStringLiteral(KESTROVA_SOURCE_DIR "/resources/Kestrova.ini"),
                            folder.filePath(QStringLiteral("Kestrova.ini"))));
    const kestrova::SettingsFile delivered(folder.path(), kestrova::CodePage(QByteArrayLiteral("UTF-8")));
    for (const auto& [section, key, value] :
         {std::tuple{"Zoom", "0", "9"}, std::tuple{"Zoom", "3", "12"}, std::tuple{"ColumnWidths", "SStab", "False"}}) {
        ASSERT_TRUE(delivered.WriteIniString(QLatin1String(section), QLatin1String(key), QLatin1String(value)));
    }
    QFile log(folder.filePath(QStringLiteral("Kestrova.log")));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write(QStringLiteral("甲 call\r\n\r\n乙 call\r\n").toUtf8());
    log.close();

    const PseudoTerminal modem;
    ASSERT_FALSE(modem.device().isEmpty());
    ASSERT_TRUE(folder.mkpath(QStringLiteral("dev")));
    ASSERT_TRUE(QFile::link(modem.device(), folder.filePath(QStringLiteral("dev/com1"))));

    QProcess console;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    if (!environment.contains(QStringLiteral("ASAN_OPTIONS"))) {
        // Leaks in the platform's libraries are not the console's.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    }
    console.setProcessEnvironment(environment);
    console.start(program, {});
    ASSERT_TRUE(console.waitForStarted(kTimeoutMs));

    // The instance lock is taken once the close signals are caught; one that comes during start-up is
    // acted on when the window is up.
    const QString lock = folder.filePath(QStringLiteral("Kestrova.lock"));
    const QDeadlineTimer deadline(kTimeoutMs);
    while (!QFile::exists(lock) && console.state() == QProcess::Running && !deadline.hasExpired()) {
        QThread::msleep(kPollMs);
    }
    ASSERT_TRUE(QFile::exists(lock)) << console.readAllStandardError().toStdString();
    ASSERT_EQ(kill(static_cast<pid_t>(console.processId()), SIGTERM), 0);
    const bool finished = console.waitForFinished(kTimeoutMs);
    if (!finished) {
        console.kill();
        console.waitForFinished(kTimeoutMs);
    }
    ASSERT_TRUE(finished) << "the console did not close on SIGTERM";
    EXPECT_EQ(console.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(lock));

    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QStringLiteral("甲 call\r\n\r\n乙 call\r\n").toUtf8());
    const kestrova::SettingsFile saved(folder.path(), kestrova::CodePage(QByteArrayLiteral("UTF-8")));
    EXPECT_EQ(iniValues(saved, QStringLiteral("Zoom"), {"0", "1", "2", "3", "4", "5", "6", "7"}),
              (std::vector<QString>{"9", "14", "14", "12", "14", "14", "14", "14"}));
    EXPECT_EQ(saved.GetIniString(QStringLiteral("ColumnWidths"), QStringLiteral("SStab")), "False");
    const QStringList widths = saved.GetIniString(QStringLiteral("ColumnWidths"), QStringLiteral("Vehicle")).split(',');
    ASSERT_EQ(widths.size(), 8) << widths.join(',').toStdString();
    EXPECT_EQ(widths[1], "1500");
    EXPECT_EQ(widths[2], "2250");
    EXPECT_EQ(widths[4], "1500");
    const QStringList placement = saved.GetIniString(QStringLiteral("Position"), QStringLiteral("Kestrova")).split(',');
    ASSERT_EQ(placement.size(), 6) << placement.join(',').toStdString();
    EXPECT_EQ(placement[0], "0");
    EXPECT_EQ(placement[5], "");
    // The delivered folder opens on the six vehicles flagged for calling, then the first again.
    EXPECT_EQ(iniValues(saved, QStringLiteral("Vehicle"), {"0", "1", "2", "3", "4", "5", "6", "7"}),
              (std::vector<QString>{"KS-101", "KS-102", "KS-103", "KS-104", "KS-105", "KS-106", "KS-101", "KS-101"}));
    EXPECT_EQ(saved.GetIniString(QStringLiteral("TrackQuery"), QStringLiteral("Interval")), "1");
    // Delivered lines and written lines alike end in CR LF.
    QFile ini(folder.filePath(QStringLiteral("Kestrova.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray iniBytes = ini.readAll();
    EXPECT_EQ(iniBytes.count('\n'), iniBytes.count("\r\n"));
    EXPECT_TRUE(iniBytes.endsWith("\r\n"));
}

} // namespace
