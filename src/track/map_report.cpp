#include "track/map_report.h"

#include "startup/twips.h"
#include "track/report_map_file.h"

#include <QPainter>
#include <QPrinter>

namespace kestrova {

namespace {

// The window's client area as designed, in twips.
constexpr double kDesignWidth = 11010;
constexpr double kDesignHeight = 15240;
// The page is laid out at the printer's resolution. At the screen's 96 dots per inch the glyphs would sit on a
// coarse grid, and a text fitted to its space could only shrink by whole pixels.
constexpr int kPrintResolution = 1200;

} // namespace

MapReport::MapReport(QWidget* parent) : QPrintPreviewDialog(parent) {
    setObjectName(QStringLiteral("MapReport"));
    setWindowTitle(QStringLiteral("列印地圖"));
    resize(twipsToPixels(kDesignWidth), twipsToPixels(kDesignHeight));
    // The layout counts from the paper's corner, its margins included.
    printer()->setFullPage(true);
    printer()->setResolution(kPrintResolution);
    connect(this, &QPrintPreviewDialog::paintRequested, this, &MapReport::paintPage);
}

void MapReport::loadMapImage(const QString& path) {
    m_page.MapImage = LoadReportPicture(path);
}

void MapReport::setHeaderTexts(const QString& MAPDetail, const QString& PrintDate) {
    m_page.MAPDetail = MAPDetail;
    m_page.PrintDate = PrintDate;
}

void MapReport::paintPage(QPrinter* printer) {
    QPainter painter(printer);
    PaintMapReport(painter, m_page);
}

} // namespace kestrova
