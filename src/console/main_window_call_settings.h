#pragma once

#include "calling/call_settings.h"
#include "calling/serial_port.h"
#include "console/main_window_state.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

// The main window's LoadCallSettings: the call settings of [Settings] into the window's state, the port
// speed into its modem port.
namespace kestrova {

// Copies the call settings into state. When a setting cannot be read the program ends, and state keeps
// what it held.
void LoadCallSettings(MainWindowState& state, const SettingsFile& settings, SerialPort& MSComm, ProgramEnd& programEnd);

} // namespace kestrova
