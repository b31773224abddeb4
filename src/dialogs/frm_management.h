#pragma once

#include "data/db_lib.h"
#include "data/records.h"
#include "dialogs/dialog_protocol.h"
#include "dialogs/vehicle_record_rules.h"
#include "startup/message_box.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolBar;

// The vehicle records dialog frmManagement, in which the dispatcher keeps the vehicle register: browse
// the rows one at a time, add a row, amend or delete the shown one, and find a row by its plate number.
// Every add, amend and delete raises gDialogOK, so the main window reloads its list once it closes.
namespace kestrova {

class frmManagement final : public QDialog {
    Q_OBJECT

public:
    // The pictures are icons/imlTool/<n>.png and the vehicle icons under carimage/ in programFolder.
    // settings holds the last search text; box shows the questions and messages; programEnd ends the
    // program after a failure that no handler survives.
    frmManagement(DialogProtocol& protocol, clsDBLib& gDBLib, const QString& programFolder,
                  const SettingsFile& settings, MessageBox& box, ProgramEnd& programEnd, QWidget* parent = nullptr);

    // The opening sequence: the rows read, the first one shown, browse mode. A database failure is
    // passed to the caller.
    void Form_Load();

    // Refills VehicleRows from the Vehicle table, in plate order, with the spare empty element after them.
    void LoadVehicleRecords();
    // Shows VehicleRows(CurrentIndex) in the inputs; nothing when there are no rows.
    void ShowVehicleRecord();
    // The status-bar texts and the enabled states for the mode, the shown row and the row count.
    void RefreshFormState();
    // Makes the row whose plate is gSearchText (case and surrounding blanks aside) the shown one, or says
    // "找不到車輛。". A failure inside ends the program.
    void FindVehicleByPlate();
    // Checks the entered record and, when it passes, adds it or rewrites the shown row, reloads the rows
    // and makes the written one current. False, with the failed check's message shown, when refused.
    bool SaveVehicleRecord();

    // The tool bar's click: the action of the button with this key, then RefreshFormState (except after
    // "Exit", which closes the dialog). A key that matches nothing only refreshes.
    void tbrTool_ButtonClick(const QString& Key);
    // The watch boxes: a ticked box enables its hour and minute and ticks the other box; an unticked one
    // disables its own pair only.
    void Check1_Click();
    void Check2_Click();

    const std::vector<VehicleRow>& VehicleRows() const { return m_VehicleRows; }
    int16_t CurrentIndex() const { return m_CurrentIndex; }
    RecordEditMode EditMode() const { return m_EditMode; }

    QToolBar* tbrTool() const { return m_tbrTool; }
    // The tool-bar button with this key; throws when there is none.
    QAction* button(const QString& key) const;
    QGroupBox* FraRec() const { return m_FraRec; }
    QGroupBox* FraCar() const { return m_FraCar; }
    QLineEdit* VehicleTxt(int index) const { return m_VehicleTxt.at(static_cast<std::size_t>(index)); }
    QRadioButton* Option1() const { return m_Option1; }
    QRadioButton* Option2() const { return m_Option2; }
    QCheckBox* Check1() const { return m_Check1; }
    QCheckBox* Check2() const { return m_Check2; }
    // Combo1 to Combo4 by their number.
    QComboBox* Combo(int number) const { return m_Combo.at(static_cast<std::size_t>(number - 1)); }
    QRadioButton* CarOption(int index) const { return m_CarOption.at(static_cast<std::size_t>(index)); }
    // The text of status-bar panel 1 or 2.
    QString statusText(int panel) const;

protected:
    // The dialog has no Cancel button: Esc leaves it open.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildToolBar(const QString& programFolder);
    void buildRecordFrame();
    void buildCarFrame(const QString& programFolder);
    void buildStatusBar();

    void NewRec();
    void AmendmentRec();
    void DelRec();
    void CancelRec();
    void WriteRec();
    void SearchRec();
    void FirstRec();
    void ReplyRec();
    void NextRec();
    void LastRec();

    int rowCount() const;
    void showWatchTime(QCheckBox* box, QComboBox* hour, QComboBox* minute, const QString& stored);
    void watchBoxClicked(QCheckBox* box, QComboBox* hour, QComboBox* minute, QCheckBox* other);
    VehicleRow enteredRecord() const;
    void emptyTextBoxes();
    void selectNoWatchTimes();

    DialogProtocol& m_protocol;
    clsDBLib& m_gDBLib;
    const SettingsFile& m_settings;
    MessageBox& m_box;
    ProgramEnd& m_programEnd;

    std::vector<VehicleRow> m_VehicleRows;
    int16_t m_CurrentIndex = 0;
    RecordEditMode m_EditMode = RecordEditMode::Browse;
    // Set once a failure has ended the program: the handler that met it then does nothing more.
    bool m_programEnded = false;

    QToolBar* m_tbrTool = nullptr;
    QGroupBox* m_FraRec = nullptr;
    QGroupBox* m_FraCar = nullptr;
    std::array<QLineEdit*, 8> m_VehicleTxt{};
    QRadioButton* m_Option1 = nullptr;
    QRadioButton* m_Option2 = nullptr;
    QCheckBox* m_Check1 = nullptr;
    QCheckBox* m_Check2 = nullptr;
    std::array<QComboBox*, 4> m_Combo{};
    std::array<QRadioButton*, 4> m_CarOption{};
    std::array<QLabel*, 2> m_statusPanels{};
};

} // namespace kestrova
