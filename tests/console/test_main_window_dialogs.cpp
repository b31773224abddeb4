#include "calling/fake_clock.h"
#include "console/call_cycle.h"
#include "console/frm_kestrova.h"
#include "console/main_toolbar.h"
#include "console/map_panel_widget.h"
#include "console/prepared_program_folder.h"
#include "console/status_bar.h"
#include "console/test_application.h"
#include "console/vehicle_list_widget.h"
#include "dialogs/frm_management.h"
#include "dialogs/frm_settings.h"
#include "dialogs/modal_dialog.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace kestrova;
using kestrova::test::WhenModalShown;

namespace {

class MainWindowDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        ASSERT_NO_FATAL_FAILURE(test::PrepareProgramFolder(m_folder.path()));
        QFile ini(QDir(m_folder.path()).filePath("Kestrova.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Settings]\r\nDefaultTimeout=10\r\nAutoTimeout=20\r\nManualTimeout=120\r\nCommPort=1\r\n"
                  "EnablePCSound=1\r\nLogDuration=30\r\nHalaMode=0\r\nTotalCycleTime=120\r\nVelocity=1\r\n"
                  "[Nv5]\r\nProfile=demo-style.json\r\nMap=demo.mbtiles\r\nMmh=demo-background.mbtiles\r\n"
                  "[ColumnWidths]\r\nSStab=True\r\n");
        ini.close();
        m_window = std::make_unique<frmKestrova>(m_folder.path(), m_box, m_programEnd, m_clock);
        m_window->Form_Load();
        m_window->show();
        ASSERT_TRUE(m_box.shown.empty()) << m_box.shown.front().text.toStdString();
    }

    void click(const char* key) { m_window->tblToolbar()->button(QLatin1String(key))->trigger(); }

    QTemporaryDir m_folder;
    test::FakeMessageBox m_box;
    int m_programEnds = 0;
    ProgramEnd m_programEnd{m_box, [this] { ++m_programEnds; }};
    test::FakeClock m_clock;
    std::unique_ptr<frmKestrova> m_window;
};

} // namespace

TEST_F(MainWindowDialogsTest, RecordWrittenInTheDialog_ReachesTheListAndPanelsAfterItCloses) {
    int rowsWhileOpen = -1;
    WhenModalShown("frmManagement", [&](QDialog& dialog) {
        auto& records = static_cast<frmManagement&>(dialog);
        EXPECT_EQ(records.statusText(1), "資料錄：1/3");
        records.button("NewRec")->trigger();
        records.VehicleTxt(0)->setText("KS-100");
        records.VehicleTxt(1)->setText("0912000100");
        records.button("WriteRec")->trigger();
        rowsWhileOpen = m_window->lvwVehicle()->rowCount();
        records.button("Exit")->trigger();
    });
    click("Management");

    EXPECT_EQ(rowsWhileOpen, 3);
    EXPECT_EQ(m_window->lvwVehicle()->rowCount(), 4);
    ASSERT_EQ(m_window->state().Vehicles.size(), 5u);
    EXPECT_EQ(m_window->state().Vehicles.front().PlateNumber, "KS-100");
    EXPECT_EQ(m_window->fraMap(0)->cmbVehicle()->itemText(0), "KS-100");
    EXPECT_EQ(m_programEnds, 0);
}

TEST_F(MainWindowDialogsTest, DeleteThenExit_StillReloadsTheList) {
    WhenModalShown("frmManagement", [](QDialog& dialog) {
        auto& records = static_cast<frmManagement&>(dialog);
        records.button("DelRec")->trigger();
        records.button("NewRec")->trigger();
        records.button("CancelRec")->trigger();
        records.button("Exit")->trigger();
    });
    click("Management");
    EXPECT_EQ(m_window->lvwVehicle()->rowCount(), 2);
    EXPECT_EQ(m_window->state().Vehicles.front().PlateNumber, "KS-202");
}

TEST_F(MainWindowDialogsTest, DialogClosedWithoutWriting_ReloadsNothing) {
    m_window->state().Vehicles.front().CheckPoint = "kept";
    WhenModalShown("frmManagement", [](QDialog& dialog) { dialog.close(); });
    click("Management");
    EXPECT_EQ(m_window->state().Vehicles.front().CheckPoint, "kept");
}

TEST_F(MainWindowDialogsTest, TimerTickIsHandledWhileADialogIsOpen) {
    // Stands in for the one-second timer, so no second passes: the tick reaches the window's handler
    // through the event loop that runs while the box is open.
    m_window->Timer1()->setTag("5");
    bool openAtTick = false;
    QTimer tick;
    tick.setSingleShot(true);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        m_window->callCycle().Timer1_Timer();
        QWidget* open = QApplication::activeModalWidget();
        openAtTick = open != nullptr && open->objectName() == "frmAbout";
        if (open != nullptr) {
            open->close();
        }
    });
    tick.start(5);
    click("About");
    EXPECT_TRUE(openAtTick);
    EXPECT_EQ(m_window->Timer1()->Tag(), "4");
    EXPECT_FALSE(m_window->stbStatusBar()->panelText(2).isEmpty());
}

TEST_F(MainWindowDialogsTest, SearchAndSettings_ActOnlyWhenConfirmed) {
    WhenModalShown("frmSearch", [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("txtSearch")->setText(" ks-203 ");
        dialog.findChild<QPushButton*>("cmdOK")->click();
    });
    click("Search");
    EXPECT_EQ(m_window->lvwVehicle()->selectedRow(), 2);
    WhenModalShown("frmSearch", [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("txtSearch")->setText("KS-201");
        dialog.findChild<QPushButton*>("cmdCancel")->click();
    });
    click("Search");
    EXPECT_EQ(m_window->lvwVehicle()->selectedRow(), 2);

    WhenModalShown("frmSettings", [](QDialog& dialog) {
        static_cast<frmSettings&>(dialog).ComSys(0)->setCurrentIndex(5);
        static_cast<frmSettings&>(dialog).cmdCancel()->click();
    });
    click("Settings");
    EXPECT_EQ(m_window->state().DefaultTimeout, 10);
    WhenModalShown("frmSettings", [](QDialog& dialog) {
        static_cast<frmSettings&>(dialog).ComSys(0)->setCurrentIndex(5);
        static_cast<frmSettings&>(dialog).cmdOK()->click();
    });
    click("Settings");
    EXPECT_EQ(m_window->state().DefaultTimeout, 30);
}

// A close signal while the records dialog is open, its search nested in it after a vehicle was added: the
// dialogs close as their close boxes would, the window reloads what the dialog wrote, and only then closes.
TEST_F(MainWindowDialogsTest, WindowClosedWhileADialogIsOpen_ClosesItTakesUpItsWorkThenCloses) {
    bool dialogsOpenAfterClose = true;
    bool windowOpenAfterClose = false;
    WhenModalShown("frmManagement", [&](QDialog& dialog) {
        auto& records = static_cast<frmManagement&>(dialog);
        records.button("NewRec")->trigger();
        records.VehicleTxt(0)->setText("KS-100");
        records.VehicleTxt(1)->setText("0912000100");
        records.button("WriteRec")->trigger();
        WhenModalShown("frmSearch", [&](QDialog& search) {
            // As a close signal does: the window is closed from within the search's event loop.
            m_window->close();
            dialogsOpenAfterClose = search.isVisible() || dialog.isVisible();
            windowOpenAfterClose = m_window->isVisible();
        });
        records.button("Search")->trigger();
    });
    click("Management");
    EXPECT_FALSE(dialogsOpenAfterClose);
    EXPECT_TRUE(windowOpenAfterClose);
    EXPECT_FALSE(m_window->isVisible());
    ASSERT_EQ(m_window->state().Vehicles.size(), 5u);
    EXPECT_EQ(m_window->state().Vehicles.front().PlateNumber, "KS-100");
    EXPECT_EQ(m_programEnds, 0);
    EXPECT_TRUE(m_box.shown.empty()) << m_box.shown.front().text.toStdString();
}
