// The console program: one instance per program folder (the folder of this executable), the main window
// with the splash over it, then the event loop until the main window has closed.

#include "app/close_on_signal.h"
#include "calling/qt_serial_port.h"
#include "console/frm_kestrova.h"
#include "console/frm_logo.h"
#include "console/qt_message_box.h"
#include "console/vehicle_list_widget.h"
#include "map/render_heap.h"
#include "startup/clock.h"
#include "startup/program_end.h"
#include "startup/qt_translation.h"
#include "startup/single_instance.h"
#include "startup/start_procedure.h"
#include "startup/version.h"

#include <QApplication>
#include <QFont>
#include <QString>

#include <clocale>
#include <memory>

namespace {

using namespace kestrova;

// The design's font, asked for by its name; where it is missing the Traditional Chinese Noto fonts take
// its place, the Ming style first.
void useDesignFont(QApplication& application) {
    const QString designFont = QStringLiteral("新細明體");
    QFont::insertSubstitutions(designFont, {QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Sans CJK TC")});
    application.setFont(QFont(designFont, 9));
}

// The windows of the start procedure. The main window is made only once no other instance runs.
class ConsoleWindows final : public StartWindows {
public:
    ConsoleWindows(QString programFolder, QtMessageBox& box, ProgramEnd& programEnd, Clock& clock)
        : m_programFolder(std::move(programFolder)), m_box(box), m_programEnd(programEnd), m_clock(clock) {}

    frmKestrova* mainWindow() const { return m_main.get(); }

    void showMainWindow() override {
        m_main = std::make_unique<frmKestrova>(m_programFolder, m_box, m_programEnd, m_clock);
        m_box.setOwner(m_main.get());
        m_main->Form_Load();
        m_main->show();
    }

    void showSplash() override {
        frmLogo splash(m_main.get(), m_programFolder,
                       std::make_unique<QtSerialPort>(m_programFolder, m_main->codePage()), m_main->settings(), m_box,
                       m_programEnd);
        splash.showModal();
    }

    void activateMainWindow() override { m_main->activateWindow(); }

    void focusVehicleList() override { m_main->lvwVehicle()->setFocus(); }

private:
    QString m_programFolder;
    QtMessageBox& m_box;
    ProgramEnd& m_programEnd;
    Clock& m_clock;
    std::unique_ptr<frmKestrova> m_main;
};

} // namespace

int main(int argc, char** argv) {
    KeepBitmapMemoryInHeap();
    installCloseSignals();
    std::setlocale(LC_ALL, "");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    useDesignFont(application);
    // The console speaks Traditional Chinese whatever the system's language, Qt's own dialogs with it.
    const QtTranslation qtTexts;

    const QString programFolder = QCoreApplication::applicationDirPath();
    SingleInstance instance(programFolder);
    QtMessageBox box;
    ProgramEnd programEnd(box, TerminateReleasing(instance));
    SystemClock clock;
    ConsoleWindows windows(programFolder, box, programEnd, clock);
    if (!Main(instance, windows)) {
        return 0;
    }
    frmKestrova* mainWindow = windows.mainWindow();
    watchCloseSignals(mainWindow, [mainWindow] { mainWindow->close(); });
    return QApplication::exec();
}
