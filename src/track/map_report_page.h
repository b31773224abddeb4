#pragma once

#include "data/records.h"

#include <QDate>
#include <QFont>
#include <QImage>
#include <QLocale>
#include <QRectF>
#include <QString>

class QPainter;

// The one page of the printed map report, laid out as its design has it in twips (1/1440 inch) from the
// paper's corner: margins of 500 on every side, the report header with the detail line and the print
// date, then the page header with the map picture. The detail and footer sections hold nothing.
namespace kestrova {

inline constexpr float kReportMargin = 500;
inline constexpr float kReportWidth = 10837;
inline constexpr float kReportHeaderHeight = 375;
inline constexpr float kPageHeaderHeight = 7530;
// The controls' rectangles on the paper, in twips, and the room their texts are given. A text keeps its
// control's left and top edge and may reach down to the end of the report header, where the taller line of a
// Chinese font still ends; the detail line also runs on to a full-width character's space before the print
// date, since its control is too narrow for a long plate or a date with 上午 or 下午.
struct MapReportLayout {
    QRectF MAPDetail;
    QRectF PrintDate;
    QRectF MapImage;
    QRectF MAPDetailSpace;
    QRectF PrintDateSpace;
};

MapReportLayout ComputeMapReportLayout();

// What the page shows.
struct MapReportPage {
    QString MAPDetail;
    QString PrintDate;
    QImage MapImage;
};

// "車輛編號：" plate, "  撥號時間：" the call time as the general date-time text, "  撥號情形：" the
// state and "  速度：" the speed in plain form with " km".
QString MapReportDetail(const VehicleRecord& Rec, const QLocale& locale = QLocale::system());

// "列印日期：" and the day in the short date form.
QString MapReportPrintDate(const QDate& today, const QLocale& locale = QLocale::system());

// The report's font: 新細明體 at 9 points; where it is missing, DejaVu Serif for Latin text and the Traditional
// Chinese Noto fonts for the rest.
QFont MapReportFont();

// Paints the page onto the painter's device, whose corner is the paper's, at the device's resolution.
// The map picture keeps its size (15 twips to a pixel) and is clipped to its control; each text is fitted to
// its space and clipped to it.
void PaintMapReport(QPainter& painter, const MapReportPage& page);

} // namespace kestrova
