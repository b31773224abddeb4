#pragma once

#include <QByteArray>
#include <QRgb>

#include <cstdint>
#include <string>
#include <vector>

// An independent, strict reader of the GIF files the encoder writes (one frame, global palette): any
// deviation from the format is reported instead of being tolerated as lenient decoders do.
struct StrictLzw {
    std::vector<std::uint8_t> indices;
    int clearCodes = 0; // the one at the start included
    std::string error;  // empty when the stream was well-formed
};

// Codes must start with a clear code, never exceed the next free code, end with the end code at the
// width a decoder expects, and be followed only by zero padding bits.
StrictLzw decodeLzwStrictly(const QByteArray& codes, int minCodeSize);

struct StrictGif {
    int width = 0;
    int height = 0;
    std::vector<QRgb> palette;
    int transparentIndex = -1;
    int minCodeSize = 0;
    StrictLzw pixels;
    std::string error;
};

StrictGif readGifStrictly(const QByteArray& file);
