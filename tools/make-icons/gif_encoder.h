#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <span>

// A GIF89a writer for the vehicle icon files: Qt reads GIF but cannot write it.
namespace kestrova {

// The image as a complete GIF89a file of one frame: a global palette made from the image's colours
// (reduceToPalette), a transparent entry where the image is transparent, LZW-compressed pixels.
// Throws RuntimeError for a null image or one wider or higher than 65535 pixels.
QByteArray encodeGif(const QImage& image);

// The GIF variant of LZW over palette indices, each below 2^minCodeSize (2 to 8): variable-width codes
// packed from the least significant bit, a clear code first and whenever the 4096-entry code table is
// full, the end code last. The result is the bare code stream, not yet cut into sub-blocks.
// Throws RuntimeError for a minCodeSize outside 2 to 8 or an index that does not fit it.
QByteArray compressGifLzw(std::span<const std::uint8_t> indices, int minCodeSize);

} // namespace kestrova
