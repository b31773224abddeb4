#pragma once

#include "console/main_window_state.h"
#include "console/toolbar_buttons.h"
#include "console/vehicle_list_controls.h"
#include "console/vehicle_list_view.h"
#include "data/db_lib.h"
#include "startup/program_end.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QTableView;
class QTimer;

// The track query and its playback on map panel 7: the query button and the query itself, which binds a
// new result to the grid dbgTrackQuery, the reset, the grid's row moves, Timer3 that shows the grid's
// current row 50 ms after the last move, the playback on Timer4 with its two buttons, and the interval
// box and slider. The grid and the playback share the bound result and its current row.
namespace kestrova {

class TrackGridModel;
class TrackQueryFrame;

struct TrackQueryParts {
    MainWindowState& state;
    clsDBLib& gDBLib;
    TrackQueryFrame& fraTrackQuery;
    QTableView& dbgTrackQuery;
    // One shot: shows the current row on panel 7.
    QTimer& Timer3;
    // One playback step per tick.
    QTimer& Timer4;
    ToolBarButtonStates& tblToolbar;
    // cmbVehicle(7) names the vehicle queried and shown.
    PanelChoosers& cmbVehicle;
    // Its row keyed "#" and the plate gives the shown vehicle's car type.
    const VehicleListView& lvwVehicle;
    ProgramEnd& programEnd;
    std::function<void(int16_t Index)> RefreshMapPanels;
    std::function<void()> Beep;
};

class TrackQuery {
public:
    explicit TrackQuery(TrackQueryParts parts);
    ~TrackQuery();
    TrackQuery(const TrackQuery&) = delete;
    TrackQuery& operator=(const TrackQuery&) = delete;

    // The handlers: a run-time error shows its text and ends the program.
    void cmdQuery_Click();
    void Timer3_Timer();
    void Timer4_Timer();

    // Binds the result of the query to the grid. Failures go to the caller.
    void QueryTrack(const QString& Vehicle, const QString& FromTime, const QString& ToTime, float FromSpeed,
                    float ToSpeed, float FromOffset, float ToOffset);
    // Stops both timers, unbinds the grid, empties PlaybackSlot and panel 7 and disables export and playback;
    // the tool bar is left as it is. Failures go to the caller.
    void ResetTrackQuery();

    void cmdPlay_Click();
    void cmdStopPlay_Click();
    // Keep the interval box and the slider equal, 1 to 10 seconds, and Timer4 at that many seconds.
    void txtInterval_Change();
    void sldInterval_Change();
    // Each restarts Timer3's wait.
    void dbgTrackQuery_Click();
    void dbgTrackQuery_RowColChange();

    // The grid's data source: the bound result, null while the grid is unbound.
    TrackGridModel* dataSource() const { return m_dataSource.get(); }

private:
    void bind(std::unique_ptr<TrackGridModel> model);
    void copyCurrentRow();
    void setPlaybackButtons(bool playing);

    TrackQueryParts m_parts;
    std::unique_ptr<TrackGridModel> m_dataSource;
};

} // namespace kestrova
