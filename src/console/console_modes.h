#pragma once

#include "console/call_timer.h"
#include "console/console_mode_tables.h"
#include "console/main_window_state.h"
#include "console/toolbar_actions.h"
#include "console/toolbar_buttons.h"
#include "console/vehicle_list_controls.h"
#include "console/vehicle_list_view.h"

#include <QString>
#include <cstdint>
#include <functional>

// The tool bar's mode actions: automatic calling, manual calling and track query, the start and the end
// of calling, the switch between six maps and one, and the list toggle. Each action sets CallMode, the
// buttons, the map panels and the tabs, and calls on the call cycle, the track query and the layout.
namespace kestrova {

// The controls of the main window that the mode actions show, hide or switch besides the tool bar.
class ConsoleModeControls {
public:
    virtual ~ConsoleModeControls() = default;
    // fraMap(i), i = 0 to 7.
    virtual void setMapPanelVisible(int i, bool visible) = 0;
    virtual void setTrackQueryFrameVisible(bool visible) = 0; // fraTrackQuery
    virtual void setQueryButtonEnabled(bool enabled) = 0;     // cmdQuery
    // Tab 0 to 2 of sstSSTab; a tab that is off cannot be chosen by the operator.
    virtual void setTabEnabled(int tab, bool enabled) = 0;
    virtual void setCurrentTab(int tab) = 0;
    virtual void setFocusTo(ConsoleTabs::Content content) = 0;
};

using QueryTrackFunction = std::function<void(const QString& Vehicle, const QString& FromTime, const QString& ToTime,
                                              float FromSpeed, float ToSpeed, float FromOffset, float ToOffset)>;

// Everything the mode actions work with; the window owns them all.
struct ConsoleModesParts {
    MainWindowState& state;
    ToolBarButtonStates& tblToolbar;
    ConsoleModeControls& controls;
    // The selected row chooses the vehicle that calling starts with.
    VehicleListView& lvwVehicle;
    // cmbVehicle(7), the track vehicle chooser, enables the query button when it has entries.
    PanelChoosers& cmbVehicle;
    // The call cycle's countdown timer: its next tick with Tag "0" dials.
    CallTimer& Timer1;
    // frmKestrova.Form_Resize: lays the window out for the mode and the list.
    std::function<void()> Form_Resize;
    // Shows or hides the vehicle list (flips ListVisible) and lays the window out.
    std::function<void()> CarList_Click;
    // Redraws map panel Index, 0 for all of them.
    std::function<void(int16_t Index)> RefreshMapPanels;
    // Makes the next vehicle flagged for calling after From current; false when none is flagged.
    std::function<bool(int16_t From)> SelectNextDialVehicle;
    // Ends calling: timers off, the call hung up, CurrentVehicle -1.
    std::function<void()> StopCalling;
    // The track query's reset and query; while they are empty, nothing is done in their place.
    std::function<void()> ResetTrackQuery;
    QueryTrackFunction QueryTrack;
};

class ConsoleModes {
public:
    explicit ConsoleModes(ConsoleModesParts parts);

    // Failures of the parts called are passed to the caller; no action handles any.
    void SwitchToAutomaticMode();
    void SwitchToManualMode();
    void SwitchToTrackQueryMode();
    // Starts calling with the selected vehicle of the list (in automatic calling the next flagged one when
    // it is not flagged). Does nothing without a selected vehicle, and in track query, where no calls are
    // made.
    void StartDialing();
    // Ends calling and brings the buttons back to the idle states of the mode.
    void InterruptDialing();
    // Shows the six maps or the large one after the button has flipped its pressed state.
    void ToggleRealTimePosition();
    void ToggleVehicleList();

private:
    void setButtons(ModeAction action);
    void showPanelsByRule();
    void setTabs();

    ConsoleModesParts m_parts;
};

// Puts the actions of modes into actions: the mode switches, Dial, Interrupt, the real-time map and the
// list toggle. The dialog, print and exit actions are left as they are.
void SetModeActions(ToolbarActions& actions, ConsoleModes& modes);

} // namespace kestrova
