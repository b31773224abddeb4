#pragma once

#include "dialogs/dialog_protocol.h"
#include "startup/settings_file.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// The search dialog frmSearch: asks for one vehicle number (a plate number) and hands it back through
// gSearchText; it does not search itself. The last confirmed text is kept in [Search] VehicleNumber and
// offered again, selected, at the next showing.
namespace kestrova {

class frmSearch final : public QDialog {
    Q_OBJECT

public:
    frmSearch(DialogProtocol& protocol, const SettingsFile& settings, QWidget* parent = nullptr);

    // gDialogOK 0, and the last confirmed text in txtSearch.
    void Form_Load();
    // gDialogOK 1, gSearchText and [Search] VehicleNumber the trimmed text, then the dialog closes.
    void cmdOK_Click();
    // Closes the dialog; nothing is written and gDialogOK stays as it is.
    void cmdCancel_Click();

    QLineEdit* txtSearch() const { return m_txtSearch; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

private:
    DialogProtocol& m_protocol;
    const SettingsFile& m_settings;
    QLineEdit* m_txtSearch = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace kestrova
