#include "map/bmp_image.h"

#include <QtEndian>

namespace kestrova {

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kPixelsPerMetre = 2835; // 72 dots per inch

void put16(char*& out, quint16 value) {
    qToLittleEndian(value, out);
    out += 2;
}

void put32(char*& out, quint32 value) {
    qToLittleEndian(value, out);
    out += 4;
}

} // namespace

void encodeBmp24(const QImage& image, QByteArray& bytes) {
    // Premultiplied pixels are read as they are: on black, that is what the picture shows.
    const bool direct = image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_RGB32;
    const QImage pixels = direct ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = pixels.width();
    const int height = pixels.height();
    const qsizetype rowBytes = (qsizetype(width) * 3 + 3) & ~qsizetype(3);
    const qsizetype pixelBytes = rowBytes * height;
    const qsizetype offset = kFileHeaderBytes + kInfoHeaderBytes;
    bytes.resize(offset + pixelBytes);
    char* out = bytes.data();
    *out++ = 'B';
    *out++ = 'M';
    put32(out, quint32(offset + pixelBytes));
    put32(out, 0);
    put32(out, quint32(offset));
    put32(out, kInfoHeaderBytes);
    put32(out, quint32(width));
    put32(out, quint32(height)); // positive: the last row comes first
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // no compression
    put32(out, quint32(pixelBytes));
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, 0);
    put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        char* row = out;
        for (int x = 0; x < width; ++x) {
            *row++ = char(qBlue(line[x]));
            *row++ = char(qGreen(line[x]));
            *row++ = char(qRed(line[x]));
        }
        for (qsizetype pad = qsizetype(width) * 3; pad < rowBytes; ++pad)
            *row++ = 0;
        out += rowBytes;
    }
}

QByteArray encodeBmp24(const QImage& image) {
    QByteArray bytes;
    encodeBmp24(image, bytes);
    return bytes;
}

} // namespace kestrova
