#pragma once

#include "console/track_desktop.h"
#include "startup/code_page.h"
#include "startup/message_box.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

// The track export: the export button asks for a file and a format in a save dialog, writes the bound
// track result from its first row as that track file, opens it in the desktop's viewer and remembers
// the name under [Export] FileName.
namespace kestrova {

class TrackGridModel;

struct TrackExportParts {
    const SettingsFile& settings;
    const CodePage& codePage;
    MessageBox& box;
    ProgramEnd& programEnd;
    TrackDesktop& desktop;
    // The save dialog's owner.
    QWidget& window;
    // The grid's data source; null while the grid is unbound.
    std::function<TrackGridModel*()> dataSource;
};

class TrackExport {
public:
    explicit TrackExport(TrackExportParts parts);

    void cmdExport_Click();
    // The chosen file, "" when the dialog was cancelled or could not be set up (its error then shown). On a
    // choice FilterIndex is the chosen filter, from 1. In this run the dialog opens on the filter chosen last.
    QString ShowSaveDialog(const QString& Filter, int16_t& FilterIndex, const QString& Title, const QString& FileName);
    // Writes the file and opens it in the viewer. A file that cannot be written, or a row holding no position
    // or stored time, is shown in a critical box and nothing is written; false then. A row that cannot be
    // read ends the program.
    bool ExportTrack(const QString& FileName, int16_t FilterIndex);

private:
    TrackExportParts m_parts;
    QString m_chosenFilter;
};

} // namespace kestrova
