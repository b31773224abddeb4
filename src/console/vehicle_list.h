#pragma once

#include "console/main_window_state.h"
#include "console/vehicle_list_controls.h"
#include "console/vehicle_list_view.h"
#include "data/db_lib.h"
#include "startup/message_box.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <QString>
#include <cstdint>
#include <functional>

// The vehicle list of the main window: builds Vehicles from the register, fills the list and the
// panels' vehicle choosers from it, shows and refreshes the list, toggles a vehicle's calling flag from
// the pop-up menu, and finds a vehicle by part of its plate.
namespace kestrova {

// Everything the list logic works with; the window owns them all.
struct VehicleListCollaborators {
    MainWindowState& state;
    clsDBLib& gDBLib;
    const SettingsFile& settings;
    VehicleListView& lvwVehicle;
    VehiclePopupMenu& menVehicle;
    PanelChoosers& cmbVehicle;
    ToolBarButtons& toolBar;
    ConsoleTabs& sstSSTab;
    MessageBox& box;
    ProgramEnd& programEnd;
    // frmKestrova.Form_Resize: lays the window out for ListVisible and the mode.
    std::function<void()> Form_Resize;
    // Runs the events waiting in the queue, then returns.
    std::function<void()> DoEvents;
    // Sets Text to the place description of the point (longitude X, latitude Y, in degrees).
    std::function<void(double X, double Y, QString& Text)> DescribeLocation;
};

class VehicleList {
public:
    explicit VehicleList(VehicleListCollaborators parts);

    // Rebuilds Vehicles from the Vehicle table and refills the choosers (keeping each one's vehicle
    // through the [Vehicle] keys) and the list. A failure ends the program.
    void LoadVehicleList();

    // Shows or hides the list; once shown, refreshes every row from Vehicles, yielding to events before
    // each row. The refresh stops when the list has been hidden meanwhile, and covers only the rows that
    // still exist. A failure of a place description is passed to the caller.
    void CarList_Click();

    void lvwVehicle_ItemClick();
    // Button: 1 left, 2 right. Shift: the shift (1), control (2) and alt (4) keys held. X and Y: the
    // mouse position in the list, in pixels.
    void lvwVehicle_MouseUp(int16_t Button, int16_t Shift, int X, int Y);
    // Flips the selected vehicle's calling flag and writes the vehicle to the database at once; a
    // database failure is passed to the caller.
    void menVehiclePad_Click(int16_t Index);
    void sstSSTab_Click(int16_t PreviousTab);

    // Selects the next row after the selected one whose plate contains gSearchText, ignoring case and
    // going round to the top. A failure ends the program.
    void FindVehicle(const QString& gSearchText);

private:
    // The rows that have both a list row and an element of Vehicles.
    int vehicleRowCount() const;
    void readRegister();
    void refillChoosers();
    void refillList();
    void refreshRow(int i);
    void endProgram(const QString& text);

    VehicleListCollaborators m_parts;
    // Counts the shows and hides, so that a refresh knows when the list was hidden while it yielded,
    // even when it has been shown again since.
    uint64_t m_toggleCount = 0;
};

} // namespace kestrova
