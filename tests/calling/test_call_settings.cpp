#include "calling/call_settings.h"
#include "calling/fake_serial_port.h"
#include "startup/code_page.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrova;
using kestrova::test::FakeMessageBox;
using kestrova::test::FakeSerialPort;
using kestrova::test::ShownBox;

namespace {

class CallSettingsTest : public ::testing::Test {
protected:
    // Loads from a settings file whose [Settings] section holds these lines.
    std::optional<CallSettings> load(const QByteArray& settingsLines) {
        QFile file(m_settings.filePath());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\r\n" + settingsLines);
        file.close();
        return LoadCallSettings(m_settings, m_port, m_programEnd);
    }

    // A load that must fail with errorText before the port's settings are touched.
    void expectEnd(const QByteArray& settingsLines, const QString& errorText) {
        SCOPED_TRACE(settingsLines.toStdString());
        m_box.shown.clear();
        m_ended = 0;
        m_port.setSettings("2400,n,8,1");
        EXPECT_EQ(load(settingsLines + "Velocity=1\r\n"), std::nullopt);
        EXPECT_EQ(m_ended, 1);
        EXPECT_EQ(m_box.shown, (std::vector<ShownBox>{{"critical", errorText, "Kestrova"}}));
        EXPECT_EQ(m_port.Settings(), "2400,n,8,1");
    }

    QTemporaryDir m_folder;
    SettingsFile m_settings{m_folder.path(), CodePage(QByteArrayLiteral("UTF-8"))};
    FakeMessageBox m_box;
    int m_ended = 0;
    ProgramEnd m_programEnd{m_box, [this] { ++m_ended; }};
    FakeSerialPort m_port;
};

TEST_F(CallSettingsTest, EveryKey_ReadByItsLeadingNumberRoundedHalfToEven) {
    const auto loaded = load("DefaultTimeout=10\r\nAutoTimeout=20.5\r\nManualTimeout=270 s\r\n"
                             "TotalCycleTime=3723.5\r\nCommPort= 3 \r\nVelocity=1\r\nEnablePCSound=1\r\n"
                             "LogDuration=89.5\r\nHalaMode=1\r\n");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, (CallSettings{10, 20, 270, 3723.5, 3, true, 90}));
    EXPECT_EQ(m_port.Settings(), "9600,n,8,1");
    EXPECT_TRUE(m_box.shown.empty());
    EXPECT_EQ(m_ended, 0);
}

TEST_F(CallSettingsTest, OnlyCommPortGiven_OthersZeroAndSlowSpeed) {
    const auto loaded = load("CommPort=2\r\n");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, (CallSettings{0, 0, 0, 0, 2, false, 0}));
    EXPECT_EQ(m_port.Settings(), "4800,n,8,1");
}

TEST_F(CallSettingsTest, VelocityOtherThanZeroOrOne_LeavesPortSettings) {
    m_port.setSettings("19200,e,7,2");
    ASSERT_TRUE(load("CommPort=1\r\nVelocity=2\r\n"));
    EXPECT_EQ(m_port.Settings(), "19200,e,7,2");
    ASSERT_TRUE(load("CommPort=1\r\nVelocity=0.4\r\n"));
    EXPECT_EQ(m_port.Settings(), "4800,n,8,1");
}

TEST_F(CallSettingsTest, PcSound_OnlyForExactlyOne) {
    for (const char* value : {"1.0", "01", "true", ""}) {
        const auto loaded = load(QByteArray("CommPort=1\r\nEnablePCSound=") + value + "\r\n");
        ASSERT_TRUE(loaded);
        EXPECT_FALSE(loaded->bPCSound) << value;
    }
}

TEST_F(CallSettingsTest, BadValues_ShowTheErrorAndEndTheProgram) {
    expectEnd("", "型態不符合");
    expectEnd("CommPort=\r\n", "型態不符合");
    expectEnd("CommPort=COM3\r\n", "型態不符合");
    expectEnd("CommPort=3x\r\n", "型態不符合");
    expectEnd("CommPort=40000\r\n", "溢位");
    expectEnd("CommPort=1\r\nDefaultTimeout=32767.5\r\n", "溢位");
    expectEnd("CommPort=1\r\nTotalCycleTime=1e999\r\n", "溢位");
}

} // namespace
