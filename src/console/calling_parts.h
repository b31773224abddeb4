#pragma once

#include "calling/serial_port.h"
#include "console/call_timer.h"
#include "console/comm_log_box.h"
#include "console/main_window_state.h"
#include "console/status_bar.h"
#include "console/vehicle_list_controls.h"
#include "console/vehicle_list_view.h"
#include "data/db_lib.h"
#include "startup/clock.h"
#include "startup/message_box.h"
#include "startup/program_end.h"

#include <QString>
#include <cstdint>
#include <functional>

// Everything the calling logic of the main window (modem link and call cycle) works with; the window
// owns them all.
namespace kestrova {

struct CallingParts {
    MainWindowState& state;
    // MSComm1: the modem's port, open only while a call is in progress.
    SerialPort& MSComm1;
    // The time of day and the blocking waits after modem commands.
    Clock& clock;
    clsDBLib& gDBLib;
    // Timer1 counts down to the next dial and dials; Timer2 times the call in progress.
    CallTimer& Timer1;
    CallTimer& Timer2;
    StatusBarPanels& stbStatusBar;
    CommLogBox& txtCommLog;
    VehicleListView& lvwVehicle;
    // cmbVehicle(0) to cmbVehicle(7); a report selects its vehicle in cmbVehicle(6).
    PanelChoosers& cmbVehicle;
    MessageBox& box;
    ProgramEnd& programEnd;
    // The system's default beep.
    std::function<void()> Beep;
    // Redraws map panel Index, 0 for all of them.
    std::function<void(int16_t Index)> RefreshMapPanels;
    // Sets Text to the place description of the point (longitude X, latitude Y, in degrees).
    std::function<void(double X, double Y, QString& Text)> DescribeLocation;
    // Shows or hides map panel fraMap(i), 0 to 7.
    std::function<void(int i, bool visible)> setMapPanelVisible;
    // Ends calling and brings the tool bar back to the idle state of the mode; runs StopCalling.
    std::function<void()> InterruptDialing;
};

} // namespace kestrova
