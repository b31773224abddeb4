#include "calling/fake_serial_port.h"
#include "console/splash_logic.h"
#include "startup/code_page.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"
#include "startup/version.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrova;
using kestrova::test::FakeMessageBox;
using kestrova::test::FakeSerialPort;
using kestrova::test::ShownBox;

namespace {

class FakeSplashWindow final : public SplashWindow {
public:
    void setLabel1Caption(const QString& caption) override { label1 = caption; }
    void enableTimer1() override { events << "timer on"; }
    void unload() override { events << "unload"; }

    QString label1 = "V1.03";
    QStringList events;
};

class SplashLogicTest : public ::testing::Test {
protected:
    SplashLogicTest() { m_box.setDefaultTitle("Kestrova V1.0.3"); }

    // A settings file whose [Settings] section holds these lines.
    void writeSettings(const QByteArray& settingsLines) {
        QFile file(m_settings.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\r\n" + settingsLines);
    }

    void load(const QByteArray& settingsLines) {
        writeSettings(settingsLines);
        m_logic.Form_Load();
    }

    ShownBox exclamation(const QString& text) const { return {"exclamation", text, "Kestrova V1.0.3"}; }

    QTemporaryDir m_folder;
    SettingsFile m_settings{m_folder.path(), CodePage(QByteArrayLiteral("UTF-8"))};
    FakeMessageBox m_box;
    int m_ended = 0;
    ProgramEnd m_programEnd{m_box, [this] { ++m_ended; }};
    FakeSplashWindow m_window;
    FakeSerialPort m_port;
    SplashLogic m_logic{m_window, m_port, m_settings, m_box, m_programEnd};
};

TEST(SplashVersionCaption, MinorAndRevision_AreJoinedWithoutAPoint) {
    EXPECT_EQ(SplashVersionCaption(1, 0, 3), "V1.03");
    EXPECT_EQ(SplashVersionCaption(2, 10, 22), "V2.1022");
}

TEST_F(SplashLogicTest, Load_SendsSpeakerLevelOnceThroughItsPortAndStartsTheTimer) {
    load("CommPort=3\r\nVelocity=1\r\n");

    EXPECT_EQ(m_port.journal(), QStringList({"open 3 9600,n,8,1", "out AT+CLVL=90\r\n", "close"}));
    EXPECT_EQ(m_window.label1, SplashVersionCaption(kVersionMajor, kVersionMinor, kVersionRevision));
    EXPECT_EQ(m_window.events, QStringList({"timer on"}));
    EXPECT_TRUE(m_box.shown.empty());
    EXPECT_EQ(m_ended, 0);
}

TEST_F(SplashLogicTest, Velocity_ChoosesPortSettings) {
    const struct {
        const char* lines;
        const char* settings;
    } cases[] = {
        {"CommPort=2\r\n", "4800,n,8,1"},                 // missing reads as 0
        {"CommPort=2\r\nVelocity=0.5\r\n", "4800,n,8,1"}, // half to even
        {"CommPort=2\r\nVelocity=1abc\r\n", "9600,n,8,1"},
        {"CommPort=2\r\nVelocity=1.5\r\n", "2400,e,7,2"}, // 2: the port keeps its own settings
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        FakeSerialPort port;
        port.setSettings("2400,e,7,2");
        FakeSplashWindow window;
        SplashLogic logic(window, port, m_settings, m_box, m_programEnd);
        writeSettings(c.lines);

        logic.Form_Load();
        EXPECT_EQ(port.journal().value(0), QStringLiteral("open 2 ") + c.settings);
    }
    EXPECT_TRUE(m_box.shown.empty());
}

TEST_F(SplashLogicTest, PortThatCannotOpen_IsReportedAndSplashStillCloses) {
    m_port.failOpenWith("/dev/ttyS2: No such file or directory");
    load("CommPort=3\r\n");

    EXPECT_EQ(m_box.shown, std::vector<ShownBox>{exclamation("/dev/ttyS2: No such file or directory")});
    EXPECT_TRUE(m_port.outputs().isEmpty());
    EXPECT_EQ(m_window.events, QStringList({"timer on"}));
    EXPECT_EQ(m_ended, 0);

    m_logic.Timer1_Timer();
    EXPECT_EQ(m_window.events, QStringList({"timer on", "unload"}));
}

TEST_F(SplashLogicTest, SendThatFails_IsReportedAndThePortClosed) {
    m_port.failOutputWith("Resource temporarily unavailable");
    load("CommPort=1\r\n");

    EXPECT_EQ(m_box.shown, std::vector<ShownBox>{exclamation("Resource temporarily unavailable")});
    EXPECT_EQ(m_port.journal(), QStringList({"open 1 4800,n,8,1", "close"}));
    EXPECT_FALSE(m_port.PortOpen());
    EXPECT_EQ(m_window.events, QStringList({"timer on"}));
}

TEST_F(SplashLogicTest, PortNumberZero_IsAPortErrorNotAnEnd) {
    load("CommPort=0\r\n");

    EXPECT_EQ(m_box.shown, std::vector<ShownBox>{exclamation(InvalidPropertyValueText())});
    EXPECT_EQ(m_port.openCount(), 0);
    EXPECT_EQ(m_window.events, QStringList({"timer on"}));
    EXPECT_EQ(m_ended, 0);
}

TEST_F(SplashLogicTest, PortNumberNotAnInteger_EndsTheProgramWithoutTouchingThePort) {
    const struct {
        const char* lines;
        const char* error;
    } cases[] = {
        {"Velocity=1\r\n", "型態不符合"},
        {"CommPort=\r\n", "型態不符合"},
        {"CommPort=COM3\r\n", "型態不符合"},
        {"CommPort=40000\r\n", "溢位"},
        {"CommPort=3\r\nVelocity=1E10\r\n", "溢位"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        m_box.shown.clear();
        m_window.events.clear();
        m_ended = 0;

        load(c.lines);

        EXPECT_EQ(m_box.shown, (std::vector<ShownBox>{{"critical", c.error, "Kestrova V1.0.3"}}));
        EXPECT_EQ(m_ended, 1);
        EXPECT_TRUE(m_port.journal().isEmpty());
        EXPECT_TRUE(m_window.events.isEmpty());
    }
}

} // namespace
