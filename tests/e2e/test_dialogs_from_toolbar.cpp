// The console's main window on a program folder with the delivered settings: each dialog opened from its
// tool-bar button and closed the way a dispatcher closes it, the window going on afterwards.

#include "calling/fake_clock.h"
#include "console/frm_kestrova.h"
#include "console/main_toolbar.h"
#include "console/prepared_program_folder.h"
#include "console/test_application.h"
#include "dialogs/modal_dialog.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrova;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(DialogsFromToolbar, EachOpensWithItsCaptionAndClosesLeavingTheSettings) {
    test::TestApplication();
    QTemporaryDir folder;
    ASSERT_NO_FATAL_FAILURE(test::PrepareProgramFolder(folder.path()));
    const QString iniPath = QDir(folder.path()).filePath("Kestrova.ini");
    ASSERT_TRUE(QFile::copy(QStringLiteral(KESTROVA_SOURCE_DIR "/resources/Kestrova.ini"), iniPath));
    QFile::setPermissions(iniPath, QFile::ReadOwner | QFile::WriteOwner);

    test::FakeMessageBox box;
    int programEnds = 0;
    ProgramEnd programEnd(box, [&] { ++programEnds; });
    test::FakeClock clock;
    frmKestrova window(folder.path(), box, programEnd, clock);
    window.Form_Load();
    window.show();
    const QByteArray settingsBefore = readFile(iniPath);

    // Key, the dialog's name and caption, and how it is closed.
    const struct {
        const char* key;
        const char* dialog;
        QString caption;
        std::function<void(QDialog&)> close;
    } cases[] = {
        {"Search", "frmSearch", "搜尋", [](QDialog& d) { d.findChild<QPushButton*>("cmdCancel")->click(); }},
        {"Management", "frmManagement", "車輛管理", [](QDialog& d) { d.close(); }},
        {"Settings", "frmSettings", "系統設定",
         [](QDialog& d) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QCoreApplication::sendEvent(&d, &escape);
         }},
        {"About", "frmAbout", "關於 " + window.windowTitle(),
         [](QDialog& d) { d.findChild<QPushButton*>("cmdOK")->click(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        QString caption;
        bool closedByItself = false;
        test::WhenModalShown(QLatin1String(c.dialog), [&](QDialog& dialog) {
            caption = dialog.windowTitle();
            c.close(dialog);
            closedByItself = !dialog.isVisible();
        });
        window.tblToolbar()->button(QLatin1String(c.key))->trigger();
        EXPECT_EQ(caption, c.caption);
        EXPECT_TRUE(closedByItself);
    }
    EXPECT_EQ(readFile(iniPath), settingsBefore);
    EXPECT_TRUE(box.shown.empty()) << box.shown.front().text.toStdString();
    EXPECT_EQ(programEnds, 0);
    window.close();
}
