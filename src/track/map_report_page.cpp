#include "track/map_report_page.h"

#include "startup/numeric.h"
#include "startup/text_helpers.h"

#include <QDateTime>
#include <QPaintDevice>
#include <QPainter>
#include <QTime>

namespace kestrova {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kFontPoints = 9;

// The design's rectangles inside their sections.
constexpr QRectF kDetailInHeader(180, 90, 7515, 225);
constexpr QRectF kDateInHeader(8595, 90, 2205, 210);
constexpr QRectF kImageInPageHeader(67, 0, 10770, 6810);

QRectF onDevice(const QRectF& twips, double dpiX, double dpiY) {
    const double x = dpiX / kTwipsPerInch;
    const double y = dpiY / kTwipsPerInch;
    return {twips.left() * x, twips.top() * y, twips.width() * x, twips.height() * y};
}

} // namespace

MapReportLayout ComputeMapReportLayout() {
    const QPointF header(kReportMargin, kReportMargin);
    const QPointF pageHeader(kReportMargin, kReportMargin + kReportHeaderHeight);
    return {kDetailInHeader.translated(header), kDateInHeader.translated(header),
            kImageInPageHeader.translated(pageHeader)};
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
    painter.setFont(MapReportFont());
    painter.setPen(Qt::black);
    for (const auto& [rect, text] : {std::pair{layout.MAPDetail, page.MAPDetail}, {layout.PrintDate, page.PrintDate}})
        painter.drawText(onDevice(rect, dpiX, dpiY), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);

    const QRectF imageControl = onDevice(layout.MapImage, dpiX, dpiY);
    const QRectF picture =
        onDevice(QRectF(layout.MapImage.topLeft(), QSizeF(page.MapImage.width() * kReportTwipsPerPixel,
                                                          page.MapImage.height() * kReportTwipsPerPixel)),
                 dpiX, dpiY);
    painter.setClipRect(imageControl);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(picture, page.MapImage);
    painter.restore();
}

} // namespace kestrova
