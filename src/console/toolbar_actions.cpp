#include "console/toolbar_actions.h"

#include <QStringView>
#include <array>
#include <utility>

namespace kestrova {

namespace {

using ActionMember = std::function<void()> ToolbarActions::*;

const std::array<std::pair<QStringView, ActionMember>, 13> kDispatchTable{{
    {u"Search", &ToolbarActions::ShowSearchDialog},
    {u"Management", &ToolbarActions::ShowManagementDialog},
    {u"Print", &ToolbarActions::PrintReport},
    {u"Kestrova", &ToolbarActions::SwitchToAutomaticMode},
    {u"ManualCall", &ToolbarActions::SwitchToManualMode},
    {u"Dial", &ToolbarActions::StartDialing},
    {u"Interrupt", &ToolbarActions::InterruptDialing},
    {u"TrackQuery", &ToolbarActions::SwitchToTrackQueryMode},
    {u"RealTimePosition", &ToolbarActions::ToggleRealTimePosition},
    {u"Showlist", &ToolbarActions::ToggleVehicleList},
    {u"Settings", &ToolbarActions::ShowSettingsDialog},
    {u"About", &ToolbarActions::ShowAbout},
    {u"Exit", &ToolbarActions::Exit},
}};

} // namespace

void tblToolbar_ButtonClick(const ToolbarActions& actions, const QString& Key) {
    for (const auto& [key, member] : kDispatchTable) {
        if (Key == key) {
            // A copy, so that an action which registers other actions does not replace itself while it runs.
            const std::function<void()> action = actions.*member;
            if (action)
                action();
            return;
        }
    }
}

} // namespace kestrova
