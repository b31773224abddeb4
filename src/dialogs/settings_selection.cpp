#include "dialogs/settings_selection.h"

#include "startup/numeric.h"
#include "startup/runtime_error.h"

namespace kestrova {

namespace {

// The list position that x gives (rounded half to even), -1 when it is outside the list or too large
// to be a position at all.
int listPosition(double x, int count) {
    try {
        const int32_t position = CLng(x);
        return position >= 0 && position < count ? static_cast<int>(position) : -1;
    } catch (const RuntimeError&) {
        return -1;
    }
}

// The list position (a Mod 60) / divisor, a rounded to a Long first; -1 when a is too large for that.
int remainderPosition(double a, double divisor, int count) {
    try {
        return listPosition(Mod(a, 60) / divisor, count);
    } catch (const RuntimeError&) {
        return -1;
    }
}

QString text(int value) {
    return QString::number(value);
}

} // namespace

SettingsSelection SelectStoredSettings(const std::function<QString(const QString& key)>& stored) {
    const auto value = [&](const char* key) { return Val(stored(QLatin1String(key))); };
    SettingsSelection s;

    s.ComSys[0] = listPosition(value("DefaultTimeout") / 5 - 1, kComSysCounts[0]);
    s.ComSys[1] = listPosition(value("CommPort") - 1, kComSysCounts[1]);
    s.ComSys[2] = listPosition(value("AutoTimeout") / 10 - 1, kComSysCounts[2]);

    const double manual = value("ManualTimeout");
    s.ComCent = listPosition(Int(manual / 60) - 1, kComCentCount);
    s.ComSecond = remainderPosition(manual, 10, kComSecondCount);

    const double sound = value("EnablePCSound");
    s.ComSys[3] = sound == 1 ? 0 : sound == 0 ? 1 : -1;
    s.ComSys[4] = listPosition(value("LogDuration") / 30 - 1, kComSysCounts[4]);

    s.chkHalaMode = listPosition(value("HalaMode"), 2) == 1 ? 1 : 0;
    if (s.chkHalaMode == 1) {
        ApplyHalaRule(s);
    }

    const double cycle = value("TotalCycleTime");
    s.FollowringTime = listPosition(Int(Int(cycle / 60) / 60), kFollowringTimeCount);
    s.FollowringCent = remainderPosition(Int(cycle / 60), 1, kFollowringMinuteCount);
    s.FollowringSecond = remainderPosition(cycle, 1, kFollowringMinuteCount);

    s.Combo1 = listPosition(value("Velocity"), kVelocityCount);
    return s;
}

void ApplyHalaRule(SettingsSelection& selection) {
    selection.ComCent = kHalaComCent;
    selection.ComSecond = kHalaComSecond;
}

std::vector<std::pair<QString, QString>> SettingsToWrite(const SettingsSelection& s) {
    const double cycle = s.FollowringTime * 3600.0 + s.FollowringCent * 60 + s.FollowringSecond;
    return {
        {QStringLiteral("DefaultTimeout"), text((s.ComSys[0] + 1) * 5)},
        {QStringLiteral("AutoTimeout"), text((s.ComSys[2] + 1) * 10)},
        {QStringLiteral("ManualTimeout"), text((s.ComCent + 1) * 60 + s.ComSecond * 10)},
        {QStringLiteral("CommPort"), text(s.ComSys[1] + 1)},
        {QStringLiteral("EnablePCSound"), text(s.ComSys[3] == 0 ? 1 : 0)},
        {QStringLiteral("LogDuration"), text((s.ComSys[4] + 1) * 30)},
        {QStringLiteral("HalaMode"), text(s.chkHalaMode)},
        {QStringLiteral("TotalCycleTime"), NumberText(cycle)},
        {QStringLiteral("Velocity"), text(s.Combo1)},
    };
}

} // namespace kestrova
