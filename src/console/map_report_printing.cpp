#include "console/map_report_printing.h"

#include "startup/event_handler.h"
#include "console/map_panel_widget.h"
#include "console/map_panels.h"
#include "console/window_placement.h"
#include "startup/form_placement.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"
#include "track/map_report.h"
#include "track/map_report_page.h"
#include "track/report_map_file.h"
#include "track/track_grid_model.h"

#include <QFileInfo>

#include <utility>

namespace kestrova {

namespace {

const QString kPositionSection = QStringLiteral("Position");
const QString kMapReportKey = QStringLiteral("MapReport");

} // namespace

MapReportPrinting::MapReportPrinting(MapReportPrintingParts parts) : m_parts(std::move(parts)) {}

void MapReportPrinting::PrintMapReport() {
    RunEventHandler(m_parts.programEnd, [this] {
        const TrackGridModel* rows = m_parts.dataSource();
        if (rows == nullptr || rows->rows().bof() || rows->rows().eof())
            return;
        const VehicleRecord Rec = m_parts.state.PlaybackSlot();
        const QString Path = ReportMapFile(m_parts.programFolder);
        // Gone before the render, so that a failed render never prints an old map.
        DeleteFile(Path, false, m_parts.box);
        if (m_parts.state.MapEngine == nullptr)
            throw RuntimeError(kNoMapEngine);
        BuildReportMapFile(*m_parts.state.MapEngine, Rec, CLng(Val(m_parts.trackPanel.zoomCaption())),
                           m_parts.trackPanel.vehiclePicture().toImage(), Path);
        if (!QFileInfo::exists(Path)) {
            m_parts.box.exclamation(QStringLiteral("無法列印'。"), m_parts.box.defaultTitle());
            return;
        }

        MapReport report(&m_parts.window);
        WindowPlacement placement(report);
        RestoreFormPlacement(placement, m_parts.settings, kPositionSection, kMapReportKey, 0, 0);
        report.loadMapImage(Path);
        // The report's row source; none of its fields is shown.
        m_parts.gDBLib.GetMapReportRecordset();
        report.setHeaderTexts(MapReportDetail(Rec), MapReportPrintDate(m_parts.clock.now().date()));
        m_parts.desktop.exec(report);
        SaveFormPlacement(placement, m_parts.settings, kPositionSection, kMapReportKey);
    });
}

} // namespace kestrova
