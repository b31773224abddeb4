#pragma once

#include "console/main_window_controls.h"
#include "console/main_window_state.h"
#include "data/db_lib.h"
#include "map/map_engine_interface.h"
#include "startup/clock.h"
#include "startup/code_page.h"
#include "startup/message_box.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <memory>

// How the main window comes up from the state saved by its last run (database, map files, placement,
// title, zooms, list columns and visibility, communication log, filters, vehicles) and how it saves that
// state back and lets go of the database and the map engine when it closes.
namespace kestrova {

// The application title with " V" and the major, minor and revision numbers ("Kestrova V2.10.22").
QString VersionedTitle(const QString& title, int major, int minor, int revision);

// A map panel's zoom from its [Zoom] value: the leading number rounded half to even; anything outside 6
// to 14, however large, gives 12.
int16_t ZoomFromSetting(QStringView text);

// The leading number of a text in its shortest decimal form ("12km" gives "12", "12.50" "12.5", "abc" "0").
// Throws RuntimeError("溢位") for a number beyond the Double range.
QString LeadingNumberText(QStringView text);

// ListVisible before the list is toggled into its saved state: [ColumnWidths] SStab "True" gives false,
// "False" true. Any other value gives false, so the list starts shown.
bool ListVisibleBeforeToggle(QStringView sstab);

// What start-up and shut-down work with; the window owns them all.
struct MainWindowLifecycleParts {
    MainWindowState& state;
    MainWindowControls& controls;
    QString programFolder;
    const SettingsFile& settings;
    // The code page of the log file.
    const CodePage& codePage;
    clsDBLib& gDBLib;
    // Its default title is the application title, which start-up extends with the version.
    MessageBox& box;
    ProgramEnd& programEnd;
    const Clock& clock;
    // Makes the map engine; a failure is thrown as a RuntimeError.
    std::function<std::unique_ptr<MapEngineInterface>()> createMapEngine;
    // The procedures of the other pieces of the window.
    std::function<void()> LoadVehicleList;
    std::function<void()> CarList_Click;
    std::function<void()> LoadCallSettings;
    std::function<void()> LoadCoordinates;
    std::function<void()> StopCalling;
    std::function<void()> ResetTrackQuery;
};

// The main window's four life-cycle handlers. Any run-time error in them shows its text and ends the
// program through the program end, before anything more is loaded or saved.
class MainWindowLifecycle {
public:
    explicit MainWindowLifecycle(MainWindowLifecycleParts parts);

    void Form_Load();
    // Ends a call in progress; a countdown between calls is left alone. The close always goes on.
    void Form_QueryUnload();
    void Form_Unload();
    // Lets go of the map engine.
    void Form_Terminate();

private:
    void loadMapFiles();
    void restoreZooms();
    void createListColumns();
    void restoreListState();
    void restoreFilters();
    void saveVehicles();
    void saveSettings();
    void endProgram(const QString& errorText);

    MainWindowLifecycleParts m_parts;
    std::unique_ptr<MapEngineInterface> m_mapEngine;
};

} // namespace kestrova
