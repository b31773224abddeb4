#include "calling/fake_serial_port.h"
#include "console/frm_logo.h"
#include "startup/code_page.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"
#include "startup/version.h"
#include "test_application.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kestrova;
using kestrova::test::FakeMessageBox;
using kestrova::test::FakeSerialPort;

namespace {

class FrmLogoTest : public ::testing::Test {
protected:
    FrmLogoTest() {
        test::TestApplication();
        QDir(m_folder.path()).mkpath("icons");
        QImage picture(480, 300, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        picture.save(m_folder.filePath("icons/frmLogo.png"));
    }

    void writeSettings(const QByteArray& settingsLines) {
        QFile file(m_settings.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\r\n" + settingsLines);
    }

    std::unique_ptr<frmLogo> makeSplash() {
        auto port = std::make_unique<FakeSerialPort>();
        m_port = port.get();
        return std::make_unique<frmLogo>(nullptr, m_folder.path(), std::move(port), m_settings, m_box, m_programEnd);
    }

    QTemporaryDir m_folder;
    SettingsFile m_settings{m_folder.path(), CodePage(QByteArrayLiteral("UTF-8"))};
    FakeMessageBox m_box;
    int m_ended = 0;
    ProgramEnd m_programEnd{m_box, [this] { ++m_ended; }};
    FakeSerialPort* m_port = nullptr;
};

TEST_F(FrmLogoTest, Created_ShowsPictureDesignedLabelAndHasItsTimerOff) {
    const auto splash = makeSplash();

    EXPECT_EQ(splash->objectName(), "frmLogo");
    EXPECT_EQ(splash->size(), QSize(480, 300));
    const auto* picture = splash->findChild<QLabel*>("Image1");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(480, 300));
    ASSERT_EQ(splash->findChild<QLabel*>("Label1"), splash->Label1());
    EXPECT_EQ(splash->Label1()->text(), "V1.03");
    ASSERT_EQ(splash->findChild<QTimer*>("Timer1"), splash->Timer1());
    EXPECT_EQ(splash->Timer1()->interval(), 2000);
    EXPECT_FALSE(splash->Timer1()->isActive());
}

TEST_F(FrmLogoTest, ShownModally_LoadsSendsAndClosesWhenItsTimerFires) {
    writeSettings("CommPort=4\r\nVelocity=0\r\n");
    const auto splash = makeSplash();
    bool shownWhenTimerFired = false;
    QTimer::singleShot(0, splash.get(), [&] {
        shownWhenTimerFired = splash->isVisible() && splash->Timer1()->isActive();
        splash->Timer1_Timer();
    });

    splash->showModal();

    EXPECT_TRUE(shownWhenTimerFired);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_FALSE(splash->Timer1()->isActive());
    EXPECT_EQ(splash->Label1()->text(), SplashVersionCaption(kVersionMajor, kVersionMinor, kVersionRevision));
    EXPECT_EQ(m_port->journal(), QStringList({"open 4 4800,n,8,1", "out AT+CLVL=90\r\n", "close"}));
}

TEST_F(FrmLogoTest, LoadThatEndsTheProgram_IsNotShown) {
    writeSettings("CommPort=x\r\n");
    const auto splash = makeSplash();

    splash->showModal();

    EXPECT_EQ(m_ended, 1);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_FALSE(splash->Timer1()->isActive());
}

} // namespace
