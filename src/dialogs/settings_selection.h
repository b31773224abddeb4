#pragma once

#include <QString>
#include <array>
#include <functional>
#include <utility>
#include <vector>

// The rules of the settings dialog that need no window: which list entries the stored [Settings] values
// select, the Hala rule, and the values that the selections write back.
namespace kestrova {

// The dialog's state: the list position of each list box (-1 for none) and the Hala box (1 ticked).
struct SettingsSelection {
    // ComSys(0) DefaultTimeout, (1) CommPort, (2) AutoTimeout, (3) EnablePCSound, (4) LogDuration.
    std::array<int, 5> ComSys{-1, -1, -1, -1, -1};
    // ManualTimeout in minutes and seconds.
    int ComCent = -1;
    int ComSecond = -1;
    int chkHalaMode = 0;
    // TotalCycleTime in hours, minutes and seconds.
    int FollowringTime = -1;
    int FollowringCent = -1;
    int FollowringSecond = -1;
    // Velocity.
    int Combo1 = -1;

    friend bool operator==(const SettingsSelection&, const SettingsSelection&) = default;
};

// How many entries each list has.
inline constexpr std::array<int, 5> kComSysCounts{6, 15, 6, 2, 12};
inline constexpr int kComCentCount = 10;
inline constexpr int kComSecondCount = 6;
inline constexpr int kFollowringTimeCount = 25;
inline constexpr int kFollowringMinuteCount = 60;
inline constexpr int kVelocityCount = 2;

// The Hala mode's automatic hang-up: "4" minutes and "30" seconds.
inline constexpr int kHalaComCent = 3;
inline constexpr int kHalaComSecond = 3;

// The selections for the stored values; stored(key) is the text of [Settings] key. A value between two
// entries selects the nearest, at exactly half way the one with the even position; a value that is no
// number reads as 0; one that maps outside its list leaves that list without a selection. A stored Hala
// mode of 1 ticks the box and applies the Hala rule.
SettingsSelection SelectStoredSettings(const std::function<QString(const QString& key)>& stored);

// The Hala rule for a ticked box: the manual time-out becomes 4 minutes 30 seconds.
void ApplyHalaRule(SettingsSelection& selection);

// The nine [Settings] keys with the values the selections give, in the order they are written; a list
// without a selection counts as position -1.
std::vector<std::pair<QString, QString>> SettingsToWrite(const SettingsSelection& selection);

} // namespace kestrova
