#pragma once

#include "startup/twips.h"

#include <array>
#include <cstdint>
#include <optional>

// Where frmKestrova.Form_Resize puts every control of the main window, computed in twips from the
// window's sizes and modes alone, so the window only applies the result (in pixels) to its widgets.
namespace kestrova {

// What the layout reads, as it stands at the moment of the call. Lengths are in twips.
struct MainWindowLayoutInputs {
    bool Visible = false;         // the window is on screen
    int16_t WindowState = 0;      // 1 = minimised
    float SW = 0;                 // inner width (ScaleWidth)
    float SH = 0;                 // inner height (ScaleHeight), tool bar and status bar included
    float TBH = 0;                // height of tblToolbar
    float SBH = 0;                // height of stbStatusBar
    int16_t TrackQuery = 0;       // Value of the tool-bar button "TrackQuery"
    int16_t Kestrova = 0;         // Value of the tool-bar button "Kestrova"
    int16_t RealTimePosition = 0; // Value of the tool-bar button "RealTimePosition"
    bool ListVisible = false;
    int16_t CallMode = 0; // 0 automatic calling, 1 manual calling, 2 track query
};

// One map panel fraMap(i); the inner rectangles are relative to the panel.
struct MapPanelLayout {
    TwipsRect fraMap;
    bool Visible = false;
    TwipsPoint lblCaption;
    TwipsRect imgZoomIn;
    TwipsRect imgZoomOut;
    std::optional<TwipsSpan> cmbVehicle; // panels 0 to 6; cmbVehicle(7) lies in fraTrackQuery and stays put
    TwipsRect imgMap;
    std::array<TwipsRect, 5> shpLED; // element k is shpLED(5i + k), k = 0 the top lamp
    TwipsRect imgVehicle;
};

// The result of one layout run. The window applies it in this order: sstSSTab, the panels with their
// inner controls and fraTrackQuery, the Visible flags, then RefreshMapPanels(0) when redrawPanels is
// set, then the three tab contents, and last sstSSTab's Visible. Widths and heights are never negative.
struct MainWindowLayout {
    TwipsRect sstSSTab;
    std::array<MapPanelLayout, 8> panels;
    TwipsRect fraTrackQuery;
    bool fraTrackQueryVisible = false;
    bool redrawPanels = true;
    TwipsRect lvwVehicle;    // tab 0, relative to sstSSTab
    TwipsRect txtCommLog;    // tab 1
    TwipsRect dbgTrackQuery; // tab 2
    bool sstSSTabVisible = true;
};

// The layout of the whole window; empty when the window is hidden or minimised, in which case every
// control stays where it is and no redraw is asked for. The working values are 32-bit, so windows
// wider or higher than 32,767 twips are laid out by the same rules. Throws RuntimeError("溢位") only
// for lengths outside the 32-bit range, which no window reaches.
std::optional<MainWindowLayout> computeMainWindowLayout(const MainWindowLayoutInputs& in);

} // namespace kestrova
