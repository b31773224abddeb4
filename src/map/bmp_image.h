#pragma once

#include <QByteArray>
#include <QImage>

// The Windows bitmap form of an image that the map panels load: 24 bits per pixel, rows bottom-up,
// each row padded to four bytes.
namespace kestrova {

// The bitmap file's bytes written into out, whose storage is reused from call to call. An image with
// transparent parts is taken as standing on black.
void encodeBmp24(const QImage& image, QByteArray& out);
QByteArray encodeBmp24(const QImage& image);

} // namespace kestrova
