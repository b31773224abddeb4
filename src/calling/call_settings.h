#pragma once

#include "calling/serial_port.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <cstdint>
#include <optional>

// The call settings of section [Settings]: the time limits of a call and of a calling cycle, the modem's
// port number and speed, the beep switch and the position-log retention. Read at start-up and again after
// the settings dialog was confirmed.
namespace kestrova {

// The main window's copies of the [Settings] keys that the call cycle works with.
struct CallSettings {
    // Seconds.
    int16_t DefaultTimeout = 0;
    int16_t AutoTimeout = 0;
    int16_t ManualTimeout = 0;
    double TotalCycleTime = 0;
    int16_t CommPort = 0;
    bool bPCSound = false;
    // Days.
    int16_t LogDuration = 0;

    friend bool operator==(const CallSettings&, const CallSettings&) = default;
};

// Sets MSComm's settings for a [Settings] Velocity value: 0 "4800,n,8,1", 1 "9600,n,8,1", any other value
// leaves them as they are.
void ApplyVelocity(SerialPort& MSComm, int16_t velocity);

// Reads the keys in the order DefaultTimeout, AutoTimeout, ManualTimeout, TotalCycleTime, CommPort,
// Velocity (applied to MSComm at once), EnablePCSound, LogDuration. Numbers are the keys' leading numbers
// (0 when missing), rounded half to even; CommPort must be a number as a whole. Throws RuntimeError when
// CommPort is not a number (a missing key included) or a value is outside the Integer range (for
// TotalCycleTime, the Double range).
CallSettings ReadCallSettings(const SettingsFile& settings, SerialPort& MSComm);

// ReadCallSettings with its handler: any error is shown in a critical box and ends the program, and
// nothing is returned (only a test's program end comes back).
std::optional<CallSettings> LoadCallSettings(const SettingsFile& settings, SerialPort& MSComm, ProgramEnd& programEnd);

} // namespace kestrova
