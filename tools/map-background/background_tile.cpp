#include "background_tile.h"

#include "startup/runtime_error.h"

#include <QBuffer>
#include <QImage>

namespace kestrova {

namespace {

constexpr int kDotSpacing = 16;

} // namespace

QByteArray backgroundTilePng(const QColor& land, const QColor& dots, int size) {
    // Two palette entries keep the PNG to a few hundred bytes; every tile is this same image.
    QImage image(size, size, QImage::Format_Indexed8);
    image.setColorTable({land.rgb(), dots.rgb()});
    image.fill(0);
    for (int y = kDotSpacing / 2; y < size; y += kDotSpacing) {
        const int shift = (y / kDotSpacing) % 2 == 0 ? 0 : kDotSpacing / 2;
        for (int x = kDotSpacing / 2 + shift; x < size; x += kDotSpacing) {
            image.setPixel(x, y, 1);
        }
    }

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        throw RuntimeError(QStringLiteral("cannot encode the background tile as PNG"));
    }
    return png;
}

} // namespace kestrova
