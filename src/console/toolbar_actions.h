#pragma once

#include <QString>
#include <functional>

// What each tool-bar button does, and the dispatcher that picks the action by the clicked button's key.
namespace kestrova {

// The actions of the main window behind the tool-bar keys. An action left empty does nothing.
struct ToolbarActions {
    std::function<void()> ShowSearchDialog;       // "Search"
    std::function<void()> ShowManagementDialog;   // "Management"
    std::function<void()> PrintReport;            // "Print"
    std::function<void()> SwitchToAutomaticMode;  // "Kestrova"
    std::function<void()> SwitchToManualMode;     // "ManualCall"
    std::function<void()> StartDialing;           // "Dial"
    std::function<void()> InterruptDialing;       // "Interrupt"
    std::function<void()> SwitchToTrackQueryMode; // "TrackQuery"
    std::function<void()> ToggleRealTimePosition; // "RealTimePosition"
    std::function<void()> ToggleVehicleList;      // "Showlist": CarList_Click, shows or hides the vehicle list
    std::function<void()> ShowSettingsDialog;     // "Settings"
    std::function<void()> ShowAbout;              // "About"
    std::function<void()> Exit;                   // "Exit": unloads the main window (its closing sequence)
};

// The tool bar's click event: runs the action of the key equal to Key (compared exactly, case
// included); a key without an action does nothing. The clicked button has already changed its pressed
// state.
void tblToolbar_ButtonClick(const ToolbarActions& actions, const QString& Key);

} // namespace kestrova
