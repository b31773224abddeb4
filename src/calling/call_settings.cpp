#include "calling/call_settings.h"

#include "startup/integer_text.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"

#include <cmath>

namespace kestrova {

void ApplyVelocity(SerialPort& MSComm, int16_t velocity) {
    if (velocity == 0) {
        MSComm.setSettings(QStringLiteral("4800,n,8,1"));
    } else if (velocity == 1) {
        MSComm.setSettings(QStringLiteral("9600,n,8,1"));
    }
}

CallSettings ReadCallSettings(const SettingsFile& settings, SerialPort& MSComm) {
    const auto read = [&](const char* key) {
        return settings.GetIniString(QStringLiteral("Settings"), QLatin1String(key));
    };
    CallSettings result;
    result.DefaultTimeout = CInt(Val(read("DefaultTimeout")));
    result.AutoTimeout = CInt(Val(read("AutoTimeout")));
    result.ManualTimeout = CInt(Val(read("ManualTimeout")));
    result.TotalCycleTime = Val(read("TotalCycleTime"));
    if (!std::isfinite(result.TotalCycleTime)) {
        // A number beyond the Double range overflows, as it does for the Integer keys.
        throw RuntimeError(kOverflow);
    }
    result.CommPort = CIntText(read("CommPort"));
    ApplyVelocity(MSComm, CInt(Val(read("Velocity"))));
    result.bPCSound = read("EnablePCSound") == QLatin1String("1");
    result.LogDuration = CInt(Val(read("LogDuration")));
    return result;
}

std::optional<CallSettings> LoadCallSettings(const SettingsFile& settings, SerialPort& MSComm, ProgramEnd& programEnd) {
    try {
        return ReadCallSettings(settings, MSComm);
    } catch (const RuntimeError& error) {
        programEnd.EndProgram(error.text());
        return std::nullopt;
    }
}

} // namespace kestrova
