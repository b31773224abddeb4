#pragma once

#include "dialogs/dialog_protocol.h"
#include "dialogs/settings_selection.h"
#include "startup/settings_file.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QPushButton;

// The settings dialog frmSettings: the nine keys of [Settings] (time-outs, cycle time, port and speed,
// position-log retention, beep, Hala mode), each chosen from a list. OK writes them all and raises
// gDialogOK; Cancel writes nothing.
namespace kestrova {

class frmSettings final : public QDialog {
    Q_OBJECT

public:
    frmSettings(DialogProtocol& protocol, const SettingsFile& settings, QWidget* parent = nullptr);

    // gDialogOK 0, the lists filled, the stored values selected.
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    // The Hala rule: ticked, the manual time-out becomes 4 minutes 30 seconds and cannot be changed;
    // unticked, it can be changed again and keeps its entries.
    void chkHalaMode_Click();
    // A click on a frame, outside its inputs: the frame's list gets the focus.
    void FraSys_Click(int Index);
    void FraManual_Click();
    void fraManual1_Click();

    // The selections as they stand.
    SettingsSelection selection() const;

    QComboBox* ComSys(int index) const { return m_ComSys.at(static_cast<std::size_t>(index)); }
    QComboBox* ComCent() const { return m_ComCent; }
    QComboBox* ComSecond() const { return m_ComSecond; }
    QCheckBox* chkHalaMode() const { return m_chkHalaMode; }
    QComboBox* FollowringTime() const { return m_FollowringTime; }
    QComboBox* FollowringCent() const { return m_FollowringCent; }
    QComboBox* FollowringSecond() const { return m_FollowringSecond; }
    QComboBox* Combo1() const { return m_Combo1; }
    QWidget* FraSys(int index) const { return m_FraSys.at(static_cast<std::size_t>(index)); }
    QWidget* FraManual() const { return m_FraManual; }
    QWidget* fraManual1() const { return m_fraManual1; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

protected:
    // The frames' clicks.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* addFrame(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                      int height);
    QComboBox* addList(QWidget* frame, const char* name, int left, int top, int width);

    DialogProtocol& m_protocol;
    const SettingsFile& m_settings;

    std::array<QWidget*, 5> m_FraSys{};
    std::array<QComboBox*, 5> m_ComSys{};
    QWidget* m_FraManual = nullptr;
    QWidget* m_fraManual1 = nullptr;
    QComboBox* m_ComCent = nullptr;
    QComboBox* m_ComSecond = nullptr;
    QCheckBox* m_chkHalaMode = nullptr;
    QComboBox* m_FollowringTime = nullptr;
    QComboBox* m_FollowringCent = nullptr;
    QComboBox* m_FollowringSecond = nullptr;
    QComboBox* m_Combo1 = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace kestrova
