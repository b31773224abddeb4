#include "console/console_mode_tables.h"

namespace kestrova {

namespace {

using Property = ButtonSetting::Property;

ButtonSetting on(QStringView key) {
    return {key, Property::Enabled, true};
}
ButtonSetting off(QStringView key) {
    return {key, Property::Enabled, false};
}
ButtonSetting pressed(QStringView key, bool value = true) {
    return {key, Property::Pressed, value};
}
ButtonSetting unpressed(QStringView key) {
    return pressed(key, false);
}

} // namespace

std::vector<ButtonSetting> ModeButtonSettings(ModeAction action, int16_t CallMode) {
    switch (action) {
    case ModeAction::SwitchToAutomaticMode:
        return {on(u"Management"), off(u"Print"),  unpressed(u"TrackQuery"), unpressed(u"RealTimePosition"),
                on(u"Dial"),       on(u"Showlist")};
    case ModeAction::SwitchToManualMode:
        return {on(u"Management"), off(u"Print"), unpressed(u"TrackQuery"), pressed(u"RealTimePosition"), on(u"Dial")};
    case ModeAction::SwitchToTrackQueryMode:
        return {off(u"Management"),       off(u"Print"), unpressed(u"Kestrova"),
                unpressed(u"ManualCall"), off(u"Dial"),  off(u"Showlist")};
    case ModeAction::StartDialing:
        // The real-time map can be switched only in automatic calling; in manual calling it is the one map.
        return {off(u"Search"),     off(u"Management"),
                off(u"Kestrova"),   off(u"ManualCall"),
                off(u"Dial"),       on(u"Interrupt"),
                off(u"TrackQuery"), {u"RealTimePosition", Property::Enabled, CallMode == kCallModeAutomatic},
                off(u"Settings"),   off(u"About")};
    case ModeAction::InterruptDialing:
        return {on(u"Search"),
                on(u"Management"),
                on(u"Kestrova"),
                on(u"ManualCall"),
                on(u"Dial"),
                off(u"Interrupt"),
                on(u"TrackQuery"),
                off(u"RealTimePosition"),
                on(u"Settings"),
                on(u"About"),
                pressed(u"RealTimePosition", CallMode != kCallModeAutomatic)};
    }
    return {};
}

MapPanelsShown MapPanelVisibility(int16_t CallMode, bool RealTimePosition) {
    MapPanelsShown shown;
    for (int i = 0; i < 6; ++i)
        shown.fraMap[static_cast<std::size_t>(i)] = CallMode == kCallModeAutomatic && !RealTimePosition;
    shown.fraMap[6] = CallMode < kCallModeTrackQuery && RealTimePosition;
    shown.fraMap[kTrackPanel] = CallMode == kCallModeTrackQuery;
    shown.fraTrackQuery = shown.fraMap[kTrackPanel];
    return shown;
}

TabSettings ModeTabSettings(int16_t CallMode) {
    using Content = ConsoleTabs::Content;
    if (CallMode == kCallModeTrackQuery)
        return {{false, false, true}, 2, Content::dbgTrackQuery};
    return {{true, true, false}, 0, Content::lvwVehicle};
}

} // namespace kestrova
