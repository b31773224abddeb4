#include "track/report_map_file.h"

#include "map/bmp_image.h"
#include "startup/runtime_error.h"
#include "track/track_files.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>

namespace kestrova {

QImage LoadReportPicture(const QString& path) {
    QImageReader reader(path);
    QImage picture = reader.read();
    if (picture.isNull())
        throw RuntimeError(FileErrorText(path, reader.errorString()));
    return picture;
}

QString ReportMapFile(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("image/MAP8.BMP"));
}

void BuildReportMapFile(MapEngineInterface& MapEngine, const VehicleRecord& Rec, int32_t zoom, const QImage& icon,
                        const QString& path) {
    MapEngine.SetViewSize(kReportMapWidth, kReportMapHeight);
    MapEngine.SetCenter(MicroDegrees(Rec.X), MicroDegrees(Rec.Y));
    MapEngine.SetZoom(zoom);
    int32_t rendered = 0;
    MapEngine.SaveBitmap(path, rendered);

    QImage canvas = LoadReportPicture(path).convertToFormat(QImage::Format_RGB32);
    if (!icon.isNull()) {
        QPainter painter(&canvas);
        painter.drawImage(kReportIconCorner, icon);
    }
    if (const std::optional<QString> failure = WriteCompleteFile(path, encodeBmp24(canvas)))
        throw RuntimeError(*failure);
}

} // namespace kestrova
