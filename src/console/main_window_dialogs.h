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
// port go on while it is open; the window acts on what it committed once it has closed.
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
    // True once the window has closed; a dialog that returns then leaves it alone.
    std::function<bool()> windowClosed;
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

private:
    MainWindowDialogsParts m_parts;
    DialogProtocol m_protocol;
    std::unique_ptr<frmAbout> m_frmAbout;
};

// Puts the four dialog actions into actions ("Search", "Management", "Settings", "About").
void SetDialogActions(ToolbarActions& actions, MainWindowDialogs& dialogs);

} // namespace kestrova
