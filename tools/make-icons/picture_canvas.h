#pragma once

#include <QImage>
#include <QPainter>

// The blank picture every drawing starts from.
namespace kestrova {

inline QImage transparentCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace kestrova
