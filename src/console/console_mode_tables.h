#pragma once

#include "console/map_panel_view.h"
#include "console/vehicle_list_controls.h"

#include <QStringView>
#include <array>
#include <cstdint>
#include <vector>

// What the console's mode actions set, as tables: the tool-bar button states of each action, the tabs of
// sstSSTab in each mode, and which map panels a mode shows.
namespace kestrova {

inline constexpr int16_t kCallModeAutomatic = 0;
inline constexpr int16_t kCallModeManual = 1;
inline constexpr int16_t kCallModeTrackQuery = 2;

enum class ModeAction {
    SwitchToAutomaticMode,
    SwitchToManualMode,
    SwitchToTrackQueryMode,
    StartDialing,
    InterruptDialing
};

// One state of one tool-bar button: Enabled (on or off) or Pressed (Value 1 or 0).
struct ButtonSetting {
    enum class Property { Enabled, Pressed };

    QStringView Key;
    Property property = Property::Enabled;
    bool value = false;

    bool operator==(const ButtonSetting&) const = default;
};

// The button states action sets, in the order it sets them; a button it leaves alone is not listed.
// CallMode is the mode the console is in when the action sets them.
std::vector<ButtonSetting> ModeButtonSettings(ModeAction action, int16_t CallMode);

struct MapPanelsShown {
    std::array<bool, kMapPanelCount> fraMap{};
    bool fraTrackQuery = false;
};

// Which panels show: the six small maps in automatic calling without the real-time map, the large map
// fraMap(6) in the calling modes with it, the track map fraMap(7) and its frame in track query.
MapPanelsShown MapPanelVisibility(int16_t CallMode, bool RealTimePosition);

inline constexpr int kConsoleTabCount = 3;

// The tabs a mode switches on (tab 0 vehicle list, 1 communication log, 2 track grid), the tab it
// makes current and the control it gives the focus.
struct TabSettings {
    std::array<bool, kConsoleTabCount> Enabled{};
    int CurrentTab = 0;
    ConsoleTabs::Content Focus = ConsoleTabs::Content::lvwVehicle;
};

TabSettings ModeTabSettings(int16_t CallMode);

} // namespace kestrova
