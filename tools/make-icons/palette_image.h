#pragma once

#include <QImage>
#include <QRgb>

#include <cstdint>
#include <vector>

// An image reduced to one palette of at most 256 colours with one-bit transparency, the form in which
// a GIF frame holds its pixels.
namespace kestrova {

inline constexpr int kMaxPaletteSize = 256;

struct PaletteImage {
    int width = 0;
    int height = 0;
    std::vector<QRgb> palette;         // every entry opaque; the transparent entry is black
    std::vector<std::uint8_t> indices; // one per pixel, row by row
    int transparentIndex = -1;         // -1 when no pixel is transparent
};

// A pixel whose alpha is below half becomes transparent; any other pixel keeps its colour without the
// alpha. When those colours (and one transparent entry, if needed) fit into 256 entries they are kept
// exactly, in the order they first occur; otherwise they are reduced by median cut to the colours
// that fit, and each pixel takes the nearest of them. The transparent entry, when there is one, is 0.
PaletteImage reduceToPalette(const QImage& image);

} // namespace kestrova
