#include "modem-sim/modem_simulator.h"
#include "startup/runtime_error.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace kestrova;

namespace {

ModemScenario lineScenario() {
    ModemScenario s;
    s.Port = 7;
    s.Echo = false;
    TerminalScenario t;
    t.Number = QStringLiteral("0912000101");
    t.AnswerDelay = 5;
    t.ReportInterval = 5;
    t.Path = {{121.56, 25.03}};
    s.Terminals.push_back(t);
    return s;
}

// The console's side of the line: the program folder's dev/comN opened as a serial port is.
class ConsoleSide {
public:
    explicit ConsoleSide(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~ConsoleSide() { close(); }
    bool isOpen() const { return m_fd >= 0; }
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    void write(const QByteArray& bytes) { ASSERT_EQ(::write(m_fd, bytes.constData(), bytes.size()), bytes.size()); }
    QByteArray read() {
        QByteArray received;
        char buffer[1024];
        ssize_t n = 0;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0)
            received.append(buffer, n);
        return received;
    }

private:
    int m_fd = -1;
};

// Runs the simulator in short rounds until done says so or the rounds run out; returns whether it did.
bool pump(ModemSimulator& simulator, const std::function<bool()>& done, int rounds = 100) {
    for (int i = 0; i < rounds; ++i) {
        simulator.runOnce(10);
        if (done())
            return true;
    }
    return false;
}

QByteArray fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Polls until done, at most timeoutMs, in steps of a few milliseconds.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace

TEST(ModemSimulatorLine, AtThroughTheLink_AnsweredOk) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ModemSimulator simulator(lineScenario(), folder.path(), QString(), 1);
    const QString link = folder.filePath(QStringLiteral("dev/com7"));
    EXPECT_EQ(simulator.port().linkPath(), link);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), simulator.port().slavePath());

    ConsoleSide console(link);
    ASSERT_TRUE(console.isOpen());
    console.write("AT\r\n");
    QByteArray received;
    EXPECT_TRUE(pump(simulator, [&] { return (received += console.read()).contains("OK"); }));
    EXPECT_EQ(received, QByteArray("\r\nOK\r\n"));
}

TEST(ModemSimulatorLine, CallOverTheLine_DollarAndReportArriveOnTime) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // Scaled down a hundredfold: the 5-second delays last 50 ms.
    ModemSimulator simulator(lineScenario(), folder.path(), QString(), 0.01);
    ConsoleSide console(folder.filePath(QStringLiteral("dev/com7")));
    ASSERT_TRUE(console.isOpen());
    console.write("ATD0912000101;\r\n");
    QByteArray received;
    EXPECT_TRUE(pump(simulator, [&] { return (received += console.read()).contains('#'); }));
    EXPECT_TRUE(received.startsWith("\r\nOK\r\n\r\n$\r\n\r\n*")) << received.toStdString();
}

TEST(ModemSimulatorLine, ClosedRightAfterACommand_NoStaleReplyForTheNextOpener) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString record = folder.filePath(QStringLiteral("record.txt"));
    ModemSimulator simulator(lineScenario(), folder.path(), record, 1);
    const QString link = folder.filePath(QStringLiteral("dev/com7"));

    {
        // As the splash does: open, write the speaker level, close at once.
        ConsoleSide splash(link);
        ASSERT_TRUE(splash.isOpen());
        splash.write("AT+CLVL=90\r\n");
    }
    ASSERT_TRUE(pump(simulator, [&] { return fileText(record).contains("AT+CLVL=90"); }));
    pump(
        simulator, [] { return false; }, 5);

    ConsoleSide console(link);
    ASSERT_TRUE(console.isOpen());
    pump(
        simulator, [] { return false; }, 5);
    EXPECT_EQ(console.read(), QByteArray());
    console.write("AT\r\n");
    QByteArray received;
    EXPECT_TRUE(pump(simulator, [&] { return (received += console.read()).contains("OK"); }));
    EXPECT_EQ(received, QByteArray("\r\nOK\r\n"));

    const QList<QByteArray> lines = fileText(record).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith("\tAT+CLVL=90"));
    EXPECT_TRUE(lines[1].endsWith("\tAT"));
}

TEST(ModemSimulatorLine, ReplyLeftUnreadAtClose_GoneForTheNextOpener) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString record = folder.filePath(QStringLiteral("record.txt"));
    ModemSimulator simulator(lineScenario(), folder.path(), record, 1);
    const QString link = folder.filePath(QStringLiteral("dev/com7"));

    {
        // As a hang-up does: the reply arrives while the port is open, and the port closes unread.
        ConsoleSide console(link);
        ASSERT_TRUE(console.isOpen());
        console.write("ATH\r\n");
        ASSERT_TRUE(pump(simulator, [&] { return fileText(record).contains("ATH"); }));
        pump(
            simulator, [] { return false; }, 3);
    }
    pump(
        simulator, [] { return false; }, 3);

    ConsoleSide console(link);
    ASSERT_TRUE(console.isOpen());
    pump(
        simulator, [] { return false; }, 3);
    EXPECT_EQ(console.read(), QByteArray());
}

TEST(ModemSimulatorLine, LinkPlace_StaleLinkReplacedFileKeptLinkRemovedAtTheEnd) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("dev")));
    const QString link = folder.filePath(QStringLiteral("dev/com7"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/ttyX"), link));
    {
        ModemSimulator simulator(lineScenario(), folder.path(), QString(), 1);
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), simulator.port().slavePath());
    }
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(link));

    QFile file(link);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    try {
        ModemSimulator simulator(lineScenario(), folder.path(), QString(), 1);
        ADD_FAILURE() << "a file was replaced by the link";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("not a link"))) << e.text().toStdString();
    }
    EXPECT_EQ(fileText(link), QByteArray("keep me"));

    EXPECT_THROW(ModemSimulator(lineScenario(), folder.filePath(QStringLiteral("missing")), QString(), 1),
                 RuntimeError);
}

namespace {

// The simulator program, started with args; its output goes to files in folder.
class SimulatorProcess {
public:
    SimulatorProcess(const QTemporaryDir& folder, const QStringList& args) {
        const QByteArray program = KESTROVA_BINARY_DIR "/tools/modem-sim/kestrova-modem-sim";
        std::vector<QByteArray> storage{program};
        for (const QString& a : args)
            storage.push_back(QFile::encodeName(a));
        std::vector<char*> argv;
        for (QByteArray& s : storage)
            argv.push_back(s.data());
        argv.push_back(nullptr);

        m_stderrPath = folder.filePath(QStringLiteral("stderr.txt"));
        const QByteArray out = QFile::encodeName(folder.filePath(QStringLiteral("stdout.txt")));
        const QByteArray err = QFile::encodeName(m_stderrPath);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&m_pid, program.constData(), &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~SimulatorProcess() {
        if (m_pid > 0 && !m_exitCode) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    bool started() const { return m_pid > 0; }
    void signal(int number) { ::kill(m_pid, number); }
    // The exit code once the program ended within timeoutMs; empty otherwise.
    std::optional<int> exitCode(int timeoutMs) {
        waitFor(
            [&] {
                int status = 0;
                if (!m_exitCode && ::waitpid(m_pid, &status, WNOHANG) == m_pid)
                    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return m_exitCode.has_value();
            },
            timeoutMs);
        return m_exitCode;
    }
    QByteArray errors() const { return fileText(m_stderrPath); }

private:
    pid_t m_pid = -1;
    std::optional<int> m_exitCode;
    QString m_stderrPath;
};

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& text) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}

} // namespace

TEST(ModemSimulatorProgram, RunningProgram_AnswersRecordsAndRemovesItsLinkOnSigterm) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString scenario =
        writeFile(folder, "s.json", R"({"port": 9, "echo": false, "terminals": [{"number": "0912000101"}]})");
    const QString record = folder.filePath(QStringLiteral("rec.txt"));
    SimulatorProcess process(folder, {QStringLiteral("--folder"), folder.path(), QStringLiteral("--scenario"), scenario,
                                      QStringLiteral("--record"), record});
    ASSERT_TRUE(process.started());

    const QString link = folder.filePath(QStringLiteral("dev/com9"));
    ASSERT_TRUE(waitFor([&] { return QFileInfo(link).isSymLink(); }, 5000)) << process.errors().toStdString();
    {
        ConsoleSide console(link);
        ASSERT_TRUE(console.isOpen());
        console.write("AT\r\n");
        QByteArray received;
        EXPECT_TRUE(waitFor([&] { return (received += console.read()).contains("OK"); }, 2000));
        EXPECT_EQ(received, QByteArray("\r\nOK\r\n"));
    }

    process.signal(SIGTERM);
    EXPECT_EQ(process.exitCode(5000), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(fileText(record).endsWith("\tAT\n")) << fileText(record).toStdString();
}

TEST(ModemSimulatorProgram, BadScenarioOrArguments_NonZeroExitWithTheReason) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString bad = writeFile(folder, "bad.json", R"({"port": 9, "terminals": [{"number": "09-12"}]})");
    const QString good = writeFile(folder, "good.json", R"({"port": 9, "terminals": []})");
    const QString missingFolder = folder.filePath(QStringLiteral("nowhere"));

    struct Case {
        QStringList args;
        int exitCode;
        const char* reason;
    };
    const std::vector<Case> cases{
        {{"--folder", folder.path(), "--scenario", bad}, 1, "terminals[0].number"},
        {{"--folder", folder.path(), "--scenario", folder.filePath("none.json")}, 1, "none.json"},
        {{"--folder", missingFolder, "--scenario", good}, 1, "does not exist"},
        {{"--folder", folder.path()}, 2, "--scenario is missing"},
        {{"--folder", folder.path(), "--scenario", good, "--time-scale", "0"}, 2, "--time-scale"},
        {{"--folder", folder.path(), "--scenario", good, "--speed", "2"}, 2, "unknown argument --speed"},
        {{"--folder"}, 2, "--folder needs a value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        SimulatorProcess process(folder, c.args);
        ASSERT_TRUE(process.started());
        EXPECT_EQ(process.exitCode(5000), c.exitCode);
        EXPECT_TRUE(process.errors().contains(c.reason)) << process.errors().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("dev/com9"))));
}
