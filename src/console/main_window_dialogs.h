#pragma once

#include "console/toolbar_actions.h"
#include "data/db_lib.h"
#include "dialogs/dialog_protocol.h"
#include "startup/message_box.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

// The main window's dialog actions behind the tool bar: the search, the vehicle records, the settings
// and the About box. Each dialog is shown modally without an owner, so the main window's timers and its
// port go on while it is open; the window acts on what it committed once it has closed. A close of the
// window asked for meanwhile (a close signal) waits until then, so the shut-down saves the window's state
// with the dialog's work in it, as when the dialog had been closed first.
namespace kestrova {

class frmAbout;

// What the dialog actions work with; the window owns them all.
struct MainWindowDialogsParts {
    QString programFolder;
    const SettingsFile& settings;
    clsDBLib& gDBLib;
    // The dialogs' boxes; its default title is the application's title with the version.
    MessageBox& box;
    ProgramEnd& programEnd;
    // The main window's procedures the dialogs' results call for.
    std::function<void(const QString& gSearchText)> FindVehicle;
    std::function<void()> LoadVehicleList;
    std::function<void(int16_t Index)> RefreshMapPanels;
    std::function<void()> LoadCallSettings;
    // Closes the main window: a close put off while a dialog was showing.
    std::function<void()> closeWindow;
};

class MainWindowDialogs {
public:
    explicit MainWindowDialogs(MainWindowDialogsParts parts);
    ~MainWindowDialogs();

    // Failures of the dialogs' loading and of the procedures called afterwards are passed to the caller.
    void ShowSearchDialog();
    void ShowManagementDialog();
    void ShowSettingsDialog();
    // The About box is kept once made and loaded anew at each showing.
    void ShowAbout();

    DialogProtocol& protocol() { return m_protocol; }

    // True from a dialog's showing until the window has acted on what the dialog committed.
    bool dialogShowing() const { return m_showing > 0; }
    // Puts off a close of the window that came while a dialog is showing until the window has acted on
    // what the dialog committed; the dialog is to be closed as its close box would.
    void closeWindowAfterDialog() { m_closeWindow = true; }

private:
    // Runs one dialog action, then the close put off meanwhile. A failure ends the program; the close
    // then does not come.
    void showing(const std::function<void()>& action);

    MainWindowDialogsParts m_parts;
    DialogProtocol m_protocol;
    std::unique_ptr<frmAbout> m_frmAbout;
    int m_showing = 0;
    bool m_closeWindow = false;
};

// Puts the four dialog actions into actions ("Search", "Management", "Settings", "About").
void SetDialogActions(ToolbarActions& actions, MainWindowDialogs& dialogs);

} // namespace kestrova
