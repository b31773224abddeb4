// The console's main window on a program folder with the delivered settings, closed by a real close
// signal (SIGTERM, caught as the program catches it) while the records dialog is open, right after the
// dialog wrote to the register: what the dialog wrote stands after the shut-down.

#include "app/close_on_signal.h"
#include "calling/fake_clock.h"
#include "console/frm_kestrova.h"
#include "console/main_toolbar.h"
#include "console/prepared_program_folder.h"
#include "console/test_application.h"
#include "data/temp_database.h"
#include "dialogs/frm_management.h"
#include "dialogs/modal_dialog.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"
#include "startup/settings_file.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <unistd.h>

using namespace kestrova;

namespace {

constexpr int kSignalTimeoutMs = 5000;

class CloseSignalDuringRecordsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        // Once per process: the signals stay caught, as in the program.
        static const bool caught = installCloseSignals();
        ASSERT_TRUE(caught);
        ASSERT_NO_FATAL_FAILURE(test::PrepareProgramFolder(m_folder.path()));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KESTROVA_SOURCE_DIR "/resources/Kestrova.ini"), path("Kestrova.ini")));
        QFile::setPermissions(path("Kestrova.ini"), QFile::ReadOwner | QFile::WriteOwner);
        // KS-203 was called in an earlier run; its last position and call history are stored.
        clsDBLib db;
        db.OpenConnection(DatabasePath(m_folder.path()));
        db.UpdateVehicle(0, "KS-203", "0912000203", "", "", "", "", "", "", "N", "N", 1, true, "2024/03/05 14:03:22",
                         "即時位置", "東經", 121.5, "北緯", 25.0, 36, 90, 12.5, "00012");
        db.CloseConnection();
    }

    QString path(const char* name) const { return QDir(m_folder.path()).filePath(QLatin1String(name)); }

    // Opens the records dialog from the tool bar, has write do its work in it and then sends the program
    // SIGTERM while the dialog is still open; returns once the window has handled the close.
    void writeThenSignal(const std::function<void(frmManagement&)>& write) {
        frmKestrova window(m_folder.path(), m_box, m_programEnd, m_clock);
        window.Form_Load();
        window.show();
        watchCloseSignals(&window, [&window] { window.close(); });
        bool signalled = false;
        std::size_t boxesBeforeSignal = 0;
        test::WhenModalShown("frmManagement", [&](QDialog& dialog) {
            write(static_cast<frmManagement&>(dialog));
            boxesBeforeSignal = m_box.shown.size();
            ASSERT_EQ(kill(getpid(), SIGTERM), 0);
            // The signal reaches the window through the dialog's event loop.
            const QDeadlineTimer deadline(kSignalTimeoutMs);
            while (dialog.isVisible() && !deadline.hasExpired()) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            }
            signalled = !dialog.isVisible();
        });
        window.tblToolbar()->button(QStringLiteral("Management"))->trigger();
        EXPECT_TRUE(signalled) << "the signal did not close the dialog";
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(m_box.shown.size(), boxesBeforeSignal) << m_box.shown.back().text.toStdString();
        EXPECT_EQ(m_programEnds, 0);
    }

    // Plate, terminal number and the last check point of every stored vehicle, in plate order.
    std::vector<QString> storedVehicles() const {
        clsDBLib db;
        db.OpenConnection(DatabasePath(m_folder.path()));
        std::vector<QString> rows;
        for (const FetchedVehicle& v : ReadVehicles(db)) {
            rows.push_back(v.PlateNumber + u'|' + v.PhoneNumber + u'|' + v.CheckPoint + u'|' + v.Healthy);
        }
        return rows;
    }

    QString panelVehicle(int panel) const {
        const SettingsFile ini(m_folder.path(), CodePage(QByteArrayLiteral("UTF-8")));
        return ini.GetIniString(QStringLiteral("Vehicle"), QString::number(panel));
    }

    QTemporaryDir m_folder;
    test::FakeMessageBox m_box;
    int m_programEnds = 0;
    ProgramEnd m_programEnd{m_box, [this] { ++m_programEnds; }};
    test::FakeClock m_clock;
};

} // namespace

TEST_F(CloseSignalDuringRecordsDialog, AfterAnAmend_TheAmendedRowStands) {
    writeThenSignal([](frmManagement& records) {
        records.button("NextRec")->trigger();
        records.button("AmendmentRec")->trigger();
        records.VehicleTxt(0)->setText("KS-202X");
        records.button("WriteRec")->trigger();
    });
    EXPECT_EQ(storedVehicles(), (std::vector<QString>{"KS-201|0912000201||00000", "KS-202X|0912000202||00000",
                                                      "KS-203|0912000203|即時位置|00012"}));
    EXPECT_TRUE(QFile::exists(path("Kestrova.log")));
}

TEST_F(CloseSignalDuringRecordsDialog, AfterADelete_TheVehicleIsWrittenBackNowhere) {
    writeThenSignal([](frmManagement& records) { records.button("DelRec")->trigger(); });
    EXPECT_EQ(storedVehicles(), (std::vector<QString>{"KS-202|0912000202||00000", "KS-203|0912000203|即時位置|00012"}));
    // The panels that showed the deleted vehicle show the first one left, and are saved so.
    for (int panel = 0; panel < 8; ++panel) {
        EXPECT_EQ(panelVehicle(panel), "KS-202") << panel;
    }
}
