#include "track/map_report_page.h"

#include "startup/numeric.h"
#include "startup/text_helpers.h"
#include "startup/twips.h"

#include <QDateTime>
#include <QPaintDevice>
#include <QPainter>
#include <QTime>

#include <algorithm>

namespace kestrova {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kFontPoints = 9;
// Below this a text no longer shrinks: a database value far beyond any real one is cut at its space instead.
constexpr double kSmallestFontPoints = 4;
// Each try shrinks by at least this factor, so that rounding of the measured width cannot stall the fitting.
constexpr double kLeastShrink = 0.98;
// A full-width character at 9 points.
constexpr double kDetailToDateGap = 180;
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;

// The design's rectangles inside their sections.
constexpr QRectF kDetailInHeader(180, 90, 7515, 225);
constexpr QRectF kDateInHeader(8595, 90, 2205, 210);
constexpr QRectF kImageInPageHeader(67, 0, 10770, 6810);

QRectF onDevice(const QRectF& twips, double dpiX, double dpiY) {
    const double x = dpiX / kTwipsPerInch;
    const double y = dpiY / kTwipsPerInch;
    return {twips.left() * x, twips.top() * y, twips.width() * x, twips.height() * y};
}

// Sets the report's font on the painter at 9 points or, where the text would not fit its space at 9 points,
// just as much smaller as it needs. Measured as drawText lays the text out on the painter's device, so the
// taller lines and other widths of the fonts that the text falls back on count.
void setFontToFit(QPainter& painter, const QString& text, const QRectF& space) {
    QFont font = MapReportFont();
    painter.setFont(font);
    QSizeF size = painter.boundingRect(space, kTextFlags, text).size();
    while ((size.width() > space.width() || size.height() > space.height()) &&
           font.pointSizeF() > kSmallestFontPoints) {
        const double scale = std::min({space.width() / size.width(), space.height() / size.height(), kLeastShrink});
        font.setPointSizeF(std::max(kSmallestFontPoints, font.pointSizeF() * scale));
        painter.setFont(font);
        size = painter.boundingRect(space, kTextFlags, text).size();
    }
}

} // namespace

MapReportLayout ComputeMapReportLayout() {
    const QPointF header(kReportMargin, kReportMargin);
    const QPointF pageHeader(kReportMargin, kReportMargin + kReportHeaderHeight);
    const QRectF detail = kDetailInHeader.translated(header);
    const QRectF date = kDateInHeader.translated(header);
    const double headerBottom = kReportMargin + kReportHeaderHeight;
    return {detail, date, kImageInPageHeader.translated(pageHeader),
            QRectF(detail.topLeft(), QPointF(date.left() - kDetailToDateGap, headerBottom)),
            QRectF(date.topLeft(), QPointF(date.right(), headerBottom))};
}

QString MapReportDetail(const VehicleRecord& Rec, const QLocale& locale) {
    return QStringLiteral("車輛編號：") + Rec.PlateNumber + QStringLiteral("  撥號時間：") +
           ConvertDbTime(Rec.DialTime, 0, locale) + QStringLiteral("  撥號情形：") + Rec.CheckPoint +
           QStringLiteral("  速度：") + NumberText(Rec.Speed) + QStringLiteral(" km");
}

QString MapReportPrintDate(const QDate& today, const QLocale& locale) {
    // At midnight the general date-time text is the short date alone.
    return QStringLiteral("列印日期：") + GeneralDateText(QDateTime(today, QTime(0, 0), Qt::UTC), locale);
}

QFont MapReportFont() {
    QFont font;
    // Where 新細明體 is missing, Latin letters and digits come from a Latin serif font: drawn with the Noto CJK
    // fonts, they would look the same but be missing from the text of a PDF (Qt names no character for them).
    font.setFamilies({QStringLiteral("新細明體"), QStringLiteral("DejaVu Serif"), QStringLiteral("Noto Serif CJK TC"),
                      QStringLiteral("Noto Sans CJK TC")});
    font.setPointSizeF(kFontPoints);
    return font;
}

void PaintMapReport(QPainter& painter, const MapReportPage& page) {
    const QPaintDevice* device = painter.device();
    const double dpiX = device->logicalDpiX();
    const double dpiY = device->logicalDpiY();
    const MapReportLayout layout = ComputeMapReportLayout();

    painter.save();
    painter.setPen(Qt::black);
    for (const auto& [space, text] :
         {std::pair{layout.MAPDetailSpace, page.MAPDetail}, {layout.PrintDateSpace, page.PrintDate}}) {
        const QRectF onPaper = onDevice(space, dpiX, dpiY);
        setFontToFit(painter, text, onPaper);
        painter.drawText(onPaper, kTextFlags, text);
    }

    const QRectF imageControl = onDevice(layout.MapImage, dpiX, dpiY);
    const QRectF picture =
        onDevice(QRectF(layout.MapImage.topLeft(), QSizeF(page.MapImage.width() * kTwipsPerPixel,
                                                          page.MapImage.height() * kTwipsPerPixel)),
                 dpiX, dpiY);
    painter.setClipRect(imageControl);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(picture, page.MapImage);
    painter.restore();
}

} // namespace kestrova
