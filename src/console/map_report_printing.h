#pragma once

#include "console/main_window_state.h"
#include "console/track_desktop.h"
#include "data/db_lib.h"
#include "startup/clock.h"
#include "startup/message_box.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <QString>
#include <functional>

class QWidget;

// The printed map report of the track point that panel 7 shows: its map picture image/MAP8.BMP is
// rendered at panel 7's zoom with panel 7's icon on the point, and the report window previews the page,
// from where it is printed or saved as a PDF. The window's placement is kept under [Position] MapReport.
namespace kestrova {

class MapPanelWidget;
class TrackGridModel;

struct MapReportPrintingParts {
    MainWindowState& state;
    const QString& programFolder;
    const SettingsFile& settings;
    clsDBLib& gDBLib;
    MessageBox& box;
    ProgramEnd& programEnd;
    // The print date is its day.
    Clock& clock;
    TrackDesktop& desktop;
    // The report window's owner.
    QWidget& window;
    // fraMap(7): its zoom and its vehicle icon.
    const MapPanelWidget& trackPanel;
    // The grid's data source; null while the grid is unbound.
    std::function<TrackGridModel*()> dataSource;
};

class MapReportPrinting {
public:
    explicit MapReportPrinting(MapReportPrintingParts parts);

    // Does nothing unless the grid holds rows. A run-time error shows its text and ends the program.
    void PrintMapReport();

private:
    MapReportPrintingParts m_parts;
};

} // namespace kestrova
