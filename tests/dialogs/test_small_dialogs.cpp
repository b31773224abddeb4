#include "dialogs/frm_about.h"
#include "dialogs/frm_search.h"
#include "dialogs/frm_settings.h"
#include "records_dialog_fixture.h"
#include "startup/qstring_printer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

using namespace kestrova;

namespace {

using SmallDialogs = kestrova::test::DialogFixture;

const QByteArray kStoredSettings = "[Settings]\r\nDefaultTimeout=15\r\nAutoTimeout=40\r\nManualTimeout=120\r\n"
                                   "CommPort=3\r\nEnablePCSound=0\r\nLogDuration=90\r\nHalaMode=0\r\n"
                                   "TotalCycleTime=3725\r\nVelocity=1\r\n";

void writeSettings(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void clickOn(QWidget* widget) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, widget->height() - 3), widget->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
}

} // namespace

TEST_F(SmallDialogs, Settings_LoadedAndWrittenBackUnchanged_CancelWritesNothing) {
    ASSERT_NO_FATAL_FAILURE(writeSettings(m_settings.filePath(), kStoredSettings));
    {
        frmSettings dialog(m_protocol, m_settings);
        dialog.Form_Load();
        EXPECT_EQ(dialog.ComSys(0)->currentText(), "15");
        EXPECT_EQ(dialog.ComSys(2)->currentText(), "40");
        EXPECT_EQ(dialog.ComSys(1)->currentText(), "3");
        EXPECT_EQ(dialog.ComSys(3)->currentText(), "否");
        EXPECT_EQ(dialog.ComSys(4)->currentText(), "90");
        EXPECT_EQ(dialog.Combo1()->currentText(), "9600,n,8,1");
        EXPECT_EQ(dialog.FollowringCent()->currentText(), "2");
        dialog.ComSys(0)->setCurrentIndex(0);
        dialog.cmdCancel()->click();
        EXPECT_EQ(m_protocol.gDialogOK, 0);
        EXPECT_EQ(readAll(m_settings.filePath()), kStoredSettings);
    }
    frmSettings dialog(m_protocol, m_settings);
    dialog.Form_Load();
    dialog.cmdOK()->click();
    EXPECT_EQ(m_protocol.gDialogOK, 1);
    EXPECT_EQ(readAll(m_settings.filePath()), kStoredSettings);
}

TEST_F(SmallDialogs, Settings_HalaRuleOnLoadAndClick) {
    ASSERT_NO_FATAL_FAILURE(writeSettings(m_settings.filePath(), "[Settings]\r\nHalaMode=1\r\nManualTimeout=120\r\n"));
    frmSettings dialog(m_protocol, m_settings);
    dialog.Form_Load();
    EXPECT_EQ(dialog.ComCent()->currentText(), "4");
    EXPECT_EQ(dialog.ComSecond()->currentText(), "30");
    EXPECT_FALSE(dialog.ComCent()->isEnabled());
    EXPECT_FALSE(dialog.ComSecond()->isEnabled());

    // In Hala mode a click on the manual frame moves no focus; out of it, the minutes get it.
    dialog.ComSys(1)->setFocus();
    clickOn(dialog.FraManual());
    EXPECT_EQ(dialog.focusWidget(), dialog.ComSys(1));
    clickOn(dialog.FraSys(2));
    EXPECT_EQ(dialog.focusWidget(), dialog.ComSys(2));

    dialog.chkHalaMode()->click();
    EXPECT_TRUE(dialog.ComCent()->isEnabled());
    EXPECT_EQ(dialog.ComCent()->currentText(), "4");
    clickOn(dialog.fraManual1());
    EXPECT_EQ(dialog.focusWidget(), dialog.ComCent());
    dialog.cmdOK()->click();
    EXPECT_EQ(m_settings.GetIniString("Settings", "ManualTimeout"), "270");
    EXPECT_EQ(m_settings.GetIniString("Settings", "HalaMode"), "0");
}

TEST_F(SmallDialogs, Settings_TabOrder) {
    frmSettings dialog(m_protocol, m_settings);
    const QStringList expected{"ComSys_0",       "ComSys_2",       "ComCent",          "ComSecond", "chkHalaMode",
                               "ComSys_1",       "ComSys_3",       "ComSys_4",         "cmdCancel", "cmdOK",
                               "FollowringTime", "FollowringCent", "FollowringSecond", "Combo1"};
    QStringList order;
    QWidget* widget = dialog.ComSys(0);
    for (int i = 0; i < expected.size(); ++i) {
        order << widget->objectName();
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || !(widget->focusPolicy() & Qt::TabFocus)) {
            widget = widget->nextInFocusChain();
        }
    }
    EXPECT_EQ(order, expected);
}

TEST_F(SmallDialogs, Search_TrimsStoresAndOffersTheTextAgain) {
    {
        frmSearch dialog(m_protocol, m_settings);
        m_protocol.gDialogOK = 5;
        dialog.Form_Load();
        EXPECT_EQ(m_protocol.gDialogOK, 0);
        EXPECT_TRUE(dialog.txtSearch()->text().isEmpty());
        dialog.txtSearch()->setText("  abc  ");
        dialog.cmdOK()->click();
        EXPECT_EQ(m_protocol.gDialogOK, 1);
        EXPECT_EQ(m_protocol.gSearchText, "abc");
        EXPECT_EQ(m_settings.GetIniString("Search", "VehicleNumber"), "abc");
    }
    frmSearch dialog(m_protocol, m_settings);
    dialog.Form_Load();
    dialog.show();
    dialog.activateWindow();
    dialog.txtSearch()->setFocus();
    EXPECT_EQ(dialog.txtSearch()->text(), "abc");
    EXPECT_EQ(dialog.txtSearch()->selectedText(), "abc");
    dialog.txtSearch()->setText("other");
    dialog.cmdCancel()->click();
    EXPECT_EQ(m_protocol.gDialogOK, 0);
    EXPECT_EQ(m_settings.GetIniString("Search", "VehicleNumber"), "abc");
}

TEST_F(SmallDialogs, About_ShowsTheTitleWithItsVersion) {
    frmAbout dialog(folder());
    dialog.Form_Load("Kestrova V2.10.22");
    EXPECT_EQ(dialog.windowTitle(), "關於 Kestrova V2.10.22");
    EXPECT_EQ(dialog.lblVersion()->text(), "Kestrova V2.10.22");
    EXPECT_TRUE(dialog.cmdOK()->isDefault());
}
