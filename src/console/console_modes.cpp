#include "console/console_modes.h"

#include <utility>

namespace kestrova {

namespace {

const QString kRealTimePositionKey = QStringLiteral("RealTimePosition");

} // namespace

ConsoleModes::ConsoleModes(ConsoleModesParts parts) : m_parts(std::move(parts)) {}

void ConsoleModes::SwitchToAutomaticMode() {
    m_parts.state.CallMode = kCallModeAutomatic;
    if (m_parts.ResetTrackQuery)
        m_parts.ResetTrackQuery();
    setButtons(ModeAction::SwitchToAutomaticMode);
    showPanelsByRule();
    setTabs();
    m_parts.Form_Resize();
}

void ConsoleModes::SwitchToManualMode() {
    m_parts.state.CallMode = kCallModeManual;
    if (m_parts.ResetTrackQuery)
        m_parts.ResetTrackQuery();
    setButtons(ModeAction::SwitchToManualMode);
    showPanelsByRule();
    m_parts.RefreshMapPanels(0);
    setTabs();
}

void ConsoleModes::SwitchToTrackQueryMode() {
    m_parts.state.CallMode = kCallModeTrackQuery;
    if (m_parts.ResetTrackQuery)
        m_parts.ResetTrackQuery();
    setButtons(ModeAction::SwitchToTrackQueryMode);
    showPanelsByRule();
    m_parts.RefreshMapPanels(kTrackPanel);
    // An empty result gives the grid its columns.
    if (m_parts.QueryTrack)
        m_parts.QueryTrack(QString(), QString(), QString(), 0, 0, 0, 0);
    m_parts.controls.setQueryButtonEnabled(m_parts.cmbVehicle.listCount(kTrackPanel) > 0);
    setTabs();
    // The toggle hides the list whatever its state was, and lays the window out for track query.
    m_parts.state.ListVisible = true;
    m_parts.CarList_Click();
}

void ConsoleModes::StartDialing() {
    MainWindowState& state = m_parts.state;
    // Calling is not defined in track query; "Dial" is held off there, and a call that still arrives is
    // refused.
    if (state.CallMode == kCallModeTrackQuery)
        return;
    const int row = m_parts.lvwVehicle.selectedRow();
    // Vehicles ends with the spare playback slot, which no list row stands for.
    const int vehicleCount = static_cast<int>(state.Vehicles.size()) - 1;
    if (row < 0 || row >= vehicleCount)
        return;

    state.CurrentVehicle = static_cast<int16_t>(row);
    if (state.CallMode == kCallModeAutomatic && !state.Vehicles[static_cast<std::size_t>(row)].Dial) {
        // When none is flagged the selected vehicle is called all the same, once.
        m_parts.SelectNextDialVehicle(state.CurrentVehicle);
    }
    state.CycleFirstVehicle = state.CurrentVehicle;
    setButtons(ModeAction::StartDialing);
    m_parts.Timer1.setTag(QStringLiteral("0"));
    m_parts.Timer1.setEnabled(true);
}

void ConsoleModes::InterruptDialing() {
    m_parts.StopCalling();
    setButtons(ModeAction::InterruptDialing);
}

void ConsoleModes::ToggleRealTimePosition() {
    showPanelsByRule();
    m_parts.RefreshMapPanels(0);
}

void ConsoleModes::ToggleVehicleList() {
    m_parts.CarList_Click();
}

void ConsoleModes::setButtons(ModeAction action) {
    ToolBarButtonStates& toolBar = m_parts.tblToolbar;
    for (const ButtonSetting& setting : ModeButtonSettings(action, m_parts.state.CallMode)) {
        const QString key = setting.Key.toString();
        if (setting.property == ButtonSetting::Property::Enabled)
            toolBar.setButtonEnabled(key, setting.value);
        else
            toolBar.setButtonPressed(key, setting.value);
    }
}

// The mode switches set the panels the rule gives for the button states they have just set, so one
// rule serves them and the real-time toggle.
void ConsoleModes::showPanelsByRule() {
    const MapPanelsShown shown =
        MapPanelVisibility(m_parts.state.CallMode, m_parts.tblToolbar.isButtonPressed(kRealTimePositionKey));
    for (int i = 0; i < kMapPanelCount; ++i)
        m_parts.controls.setMapPanelVisible(i, shown.fraMap[static_cast<std::size_t>(i)]);
    m_parts.controls.setTrackQueryFrameVisible(shown.fraTrackQuery);
}

void ConsoleModes::setTabs() {
    const TabSettings tabs = ModeTabSettings(m_parts.state.CallMode);
    for (int tab = 0; tab < kConsoleTabCount; ++tab)
        m_parts.controls.setTabEnabled(tab, tabs.Enabled[static_cast<std::size_t>(tab)]);
    m_parts.controls.setCurrentTab(tabs.CurrentTab);
    m_parts.controls.setFocusTo(tabs.Focus);
}

void SetModeActions(ToolbarActions& actions, ConsoleModes& modes) {
    actions.SwitchToAutomaticMode = [&modes] { modes.SwitchToAutomaticMode(); };
    actions.SwitchToManualMode = [&modes] { modes.SwitchToManualMode(); };
    actions.StartDialing = [&modes] { modes.StartDialing(); };
    actions.InterruptDialing = [&modes] { modes.InterruptDialing(); };
    actions.SwitchToTrackQueryMode = [&modes] { modes.SwitchToTrackQueryMode(); };
    actions.ToggleRealTimePosition = [&modes] { modes.ToggleRealTimePosition(); };
    actions.ToggleVehicleList = [&modes] { modes.ToggleVehicleList(); };
}

} // namespace kestrova
