#include "console/main_window_call_settings.h"

namespace kestrova {

void LoadCallSettings(MainWindowState& state, const SettingsFile& settings, SerialPort& MSComm,
                      ProgramEnd& programEnd) {
    const std::optional<CallSettings> loaded = LoadCallSettings(settings, MSComm, programEnd);
    if (!loaded) {
        return;
    }
    state.DefaultTimeout = loaded->DefaultTimeout;
    state.AutoTimeout = loaded->AutoTimeout;
    state.ManualTimeout = loaded->ManualTimeout;
    state.TotalCycleTime = loaded->TotalCycleTime;
    state.CommPort = loaded->CommPort;
    state.bPCSound = loaded->bPCSound;
    state.LogDuration = loaded->LogDuration;
}

} // namespace kestrova
