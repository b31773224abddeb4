#include "fake_message_box.h"
#include "qstring_printer.h"
#include "startup/program_end.h"
#include "startup/start_procedure.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestrova;
using kestrova::test::FakeMessageBox;
using kestrova::test::ShownBox;

namespace {

class RecordingWindows final : public StartWindows {
public:
    void showMainWindow() override { steps << "main"; }
    void showSplash() override { steps << "splash"; }
    void activateMainWindow() override { steps << "activate"; }
    void focusVehicleList() override { steps << "focus"; }

    QStringList steps;
};

class SingleInstanceTest : public ::testing::Test {
protected:
    QString lockPath() const { return m_folder.filePath("Kestrova.lock"); }

    QTemporaryDir m_folder;
};

TEST_F(SingleInstanceTest, FirstStart_ShowsMainWindowThenSplashThenFocusesTheList) {
    const SingleInstance instance(m_folder.path());
    RecordingWindows windows;

    EXPECT_TRUE(Main(instance, windows));
    EXPECT_EQ(windows.steps, QStringList({"main", "splash", "activate", "focus"}));
    EXPECT_TRUE(QFile::exists(lockPath()));
}

TEST_F(SingleInstanceTest, SecondStartWhileFirstRuns_ShowsNothing) {
    const SingleInstance first(m_folder.path());
    const SingleInstance second(m_folder.path());
    RecordingWindows windows;

    EXPECT_FALSE(first.PrevInstance());
    EXPECT_TRUE(second.PrevInstance());
    EXPECT_FALSE(Main(second, windows));
    EXPECT_TRUE(windows.steps.isEmpty());
}

// A run ended after an error leaves its lock file behind; that must not keep the program from starting.
TEST_F(SingleInstanceTest, LockLeftByEndedProcess_DoesNotCount) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(lockPath());
        lock.setStaleLockTime(0);
        _exit(lock.tryLock(0) ? 0 : 1); // ends without releasing the lock
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(lockPath()));

    EXPECT_FALSE(SingleInstance(m_folder.path()).PrevInstance());
}

TEST_F(SingleInstanceTest, FolderWithoutRoomForTheLock_IsNoPreviousInstance) {
    EXPECT_FALSE(SingleInstance(m_folder.filePath("missing/folder")).PrevInstance());
}

TEST(ProgramEnd, EndProgram_ShowsCriticalBoxWithDefaultTitleThenTerminates) {
    FakeMessageBox box;
    box.setDefaultTitle("Kestrova V1.0.3");
    std::vector<ShownBox> shownBeforeTerminate;
    int terminated = 0;
    ProgramEnd programEnd(box, [&] {
        shownBeforeTerminate = box.shown;
        ++terminated;
    });

    programEnd.EndProgram("型態不符合");

    EXPECT_EQ(terminated, 1);
    EXPECT_EQ(shownBeforeTerminate, (std::vector<ShownBox>{{"critical", "型態不符合", "Kestrova V1.0.3"}}));
    EXPECT_EQ(box.shown, shownBeforeTerminate);
}

TEST_F(SingleInstanceTest, EndThroughTheFailureRule_GivesTheLockUp) {
    EXPECT_EXIT(
        {
            SingleInstance instance(m_folder.path());
            FakeMessageBox box;
            ProgramEnd(box, TerminateReleasing(instance)).EndProgram("溢位");
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_FALSE(QFile::exists(lockPath()));
}

TEST(ProgramEnd, HaltStepsRunBeforeTheBoxAndNothingRunsTwice) {
    FakeMessageBox box;
    QStringList order;
    ProgramEnd programEnd(box, [&] { order << "terminate"; });
    programEnd.addHaltStep([&] {
        order << "timers off";
        throw std::runtime_error("ignored");
    });
    const ProgramEnd::HaltId removed = programEnd.addHaltStep([&] { order << "removed"; });
    programEnd.addHaltStep([&] { order << "hang up"; });
    programEnd.removeHaltStep(removed);
    box.whileShown = [&] {
        order << QStringLiteral("box, ending %1").arg(programEnd.Ending());
        programEnd.EndProgram("second");
    };

    programEnd.EndProgram("first");

    EXPECT_EQ(order, QStringList({"timers off", "hang up", "box, ending 1", "terminate"}));
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST(ProgramEnd, RealEnd_EndsTheProcessAtOnceWithStatus1) {
    FakeMessageBox box;
    EXPECT_EXIT(ProgramEnd(box).EndProgram("溢位"), ::testing::ExitedWithCode(1), "");
}

} // namespace
