#include "make-icons/program_images.h"

#include "make-icons/car_icons.h"
#include "make-icons/gif_encoder.h"
#include "make-icons/panel_pictures.h"
#include "make-icons/record_toolbar_pictures.h"
#include "make-icons/splash_picture.h"
#include "make-icons/toolbar_pictures.h"
#include "startup/runtime_error.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace kestrova {

namespace {

void makeFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw RuntimeError(QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
}

void writeGif(const QString& file, const QImage& image) {
    QSaveFile out(file);
    const QByteArray bytes = encodeGif(image);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw RuntimeError(
            QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(file), out.errorString()));
}

void writePng(const QString& file, const QImage& image) {
    QImageWriter writer(file, "png");
    if (!writer.write(image))
        throw RuntimeError(
            QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(file), writer.errorString()));
}

} // namespace

std::vector<ProgramPicture> programPictures() {
    std::vector<ProgramPicture> pictures;
    for (const QString& model : kCarModels)
        for (int heading : kCarHeadings)
            pictures.push_back({carIconPath(model, heading), [=] { return drawCarIcon(model, heading); }});
    for (int n = 1; n <= kToolbarPictureCount; ++n)
        pictures.push_back({QStringLiteral("icons/ImageList1/%1.png").arg(n), [=] { return drawToolbarPicture(n); }});
    for (int n = 1; n <= kRecordToolbarPictureCount; ++n)
        pictures.push_back(
            {QStringLiteral("icons/imlTool/%1.png").arg(n), [=] { return drawRecordToolbarPicture(n); }});
    for (int kind = 1; kind <= 3; ++kind)
        pictures.push_back(
            {QStringLiteral("icons/ImageList3/%1.png").arg(kind), [=] { return drawLandmarkPicture(kind); }});
    pictures.push_back({QStringLiteral("icons/imgZoomIn.png"), [] { return drawZoomPicture(true); }});
    pictures.push_back({QStringLiteral("icons/imgZoomOut.png"), [] { return drawZoomPicture(false); }});
    pictures.push_back({QStringLiteral("icons/frmLogo.png"), [] { return drawSplashPicture(); }});
    return pictures;
}

QStringList writeProgramImages(const QString& programFolder) {
    const QDir root(programFolder);
    makeFolder(root.filePath(kPanelBitmapFolder));
    QStringList written;
    for (const ProgramPicture& picture : programPictures()) {
        const QString file = root.filePath(picture.path);
        makeFolder(QFileInfo(file).path());
        const QImage image = picture.draw();
        if (picture.path.endsWith(QLatin1String(".gif")))
            writeGif(file, image);
        else
            writePng(file, image);
        written << picture.path;
    }
    return written;
}

} // namespace kestrova
