#include "console/main_window_dialogs.h"

#include "dialogs/frm_about.h"
#include "dialogs/frm_management.h"
#include "dialogs/frm_search.h"
#include "dialogs/frm_settings.h"

#include <QScopeGuard>

#include <utility>

namespace kestrova {

MainWindowDialogs::MainWindowDialogs(MainWindowDialogsParts parts) : m_parts(std::move(parts)) {}

MainWindowDialogs::~MainWindowDialogs() = default;

void MainWindowDialogs::showing(const std::function<void()>& action) {
    {
        ++m_showing;
        const auto shown = qScopeGuard([this] { --m_showing; });
        action();
    }
    if (m_showing == 0 && std::exchange(m_closeWindow, false)) {
        m_parts.closeWindow();
    }
}

void MainWindowDialogs::ShowSearchDialog() {
    showing([this] {
        m_protocol.gDialogOK = 0;
        m_protocol.gSearchText.clear();
        {
            frmSearch dialog(m_protocol, m_parts.settings);
            dialog.Form_Load();
            dialog.exec();
        }
        if (m_protocol.gDialogOK == 1) {
            m_parts.FindVehicle(m_protocol.gSearchText);
        }
    });
}

void MainWindowDialogs::ShowManagementDialog() {
    showing([this] {
        m_protocol.gDialogOK = 0;
        {
            frmManagement dialog(m_protocol, m_parts.gDBLib, m_parts.programFolder, m_parts.settings, m_parts.box,
                                 m_parts.programEnd);
            dialog.Form_Load();
            dialog.exec();
        }
        if (m_protocol.gDialogOK == 1) {
            m_parts.LoadVehicleList();
            m_parts.RefreshMapPanels(0);
        }
    });
}

void MainWindowDialogs::ShowSettingsDialog() {
    showing([this] {
        m_protocol.gDialogOK = 0;
        {
            frmSettings dialog(m_protocol, m_parts.settings);
            dialog.Form_Load();
            dialog.exec();
        }
        if (m_protocol.gDialogOK == 1) {
            m_parts.LoadCallSettings();
        }
    });
}

void MainWindowDialogs::ShowAbout() {
    showing([this] {
        if (!m_frmAbout) {
            m_frmAbout = std::make_unique<frmAbout>(m_parts.programFolder);
        }
        m_frmAbout->Form_Load(m_parts.box.defaultTitle());
        m_frmAbout->exec();
    });
}

void SetDialogActions(ToolbarActions& actions, MainWindowDialogs& dialogs) {
    actions.ShowSearchDialog = [&dialogs] { dialogs.ShowSearchDialog(); };
    actions.ShowManagementDialog = [&dialogs] { dialogs.ShowManagementDialog(); };
    actions.ShowSettingsDialog = [&dialogs] { dialogs.ShowSettingsDialog(); };
    actions.ShowAbout = [&dialogs] { dialogs.ShowAbout(); };
}

} // namespace kestrova
