#include "make-icons/gif_encoder.h"

#include "make-icons/palette_image.h"
#include "startup/runtime_error.h"

#include <algorithm>
#include <unordered_map>

namespace kestrova {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kCodeTableSize = 1 << kMaxCodeBits;
constexpr int kMaxSubBlock = 255;

class CodeWriter {
public:
    void write(int code, int bits) {
        m_pending |= std::uint32_t(code) << m_pendingBits;
        m_pendingBits += bits;
        while (m_pendingBits >= 8) {
            m_bytes.append(char(m_pending & 0xff));
            m_pending >>= 8;
            m_pendingBits -= 8;
        }
    }
    QByteArray finish() {
        if (m_pendingBits > 0)
            m_bytes.append(char(m_pending & 0xff));
        m_pending = 0;
        m_pendingBits = 0;
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    std::uint32_t m_pending = 0;
    int m_pendingBits = 0;
};

void appendWord(QByteArray& out, int value) {
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

} // namespace

QByteArray compressGifLzw(std::span<const std::uint8_t> indices, int minCodeSize) {
    if (minCodeSize < 2 || minCodeSize > 8)
        throw RuntimeError(QStringLiteral("GIF: LZW code size %1 is outside 2 to 8").arg(minCodeSize));
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    if (std::any_of(indices.begin(), indices.end(), [&](std::uint8_t i) { return i >= clearCode; }))
        throw RuntimeError(QStringLiteral("GIF: a palette index does not fit code size %1").arg(minCodeSize));

    // Strings are known by (code of the string without its last index) << 8 | last index.
    std::unordered_map<std::uint32_t, int> table;
    table.reserve(kCodeTableSize);
    int nextCode = endCode + 1;
    int codeBits = minCodeSize + 1;
    CodeWriter writer;
    writer.write(clearCode, codeBits);
    if (indices.empty()) {
        writer.write(endCode, codeBits);
        return writer.finish();
    }

    int prefix = indices.front();
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint32_t key = (std::uint32_t(prefix) << 8) | indices[i];
        if (const auto found = table.find(key); found != table.end()) {
            prefix = found->second;
            continue;
        }
        writer.write(prefix, codeBits);
        table.emplace(key, nextCode++);
        // The decoder adds each entry one code later than we do, so a code needs the wider width only
        // once the entry after the widest one is defined.
        if (nextCode > (1 << codeBits) && codeBits < kMaxCodeBits)
            ++codeBits;
        if (nextCode == kCodeTableSize) {
            // Table full: start over rather than keep coding against a frozen table. No code past 4094
            // is ever written, which decoders with an off-by-one at the table's end read alike.
            writer.write(clearCode, codeBits);
            table.clear();
            nextCode = endCode + 1;
            codeBits = minCodeSize + 1;
        }
        prefix = indices[i];
    }
    writer.write(prefix, codeBits);
    // The decoder defines one more entry on reading the last code and may widen before the end code.
    if (nextCode == (1 << codeBits) && codeBits < kMaxCodeBits)
        ++codeBits;
    writer.write(endCode, codeBits);
    return writer.finish();
}

QByteArray encodeGif(const QImage& image) {
    if (image.isNull())
        throw RuntimeError(QStringLiteral("GIF: the image is empty"));
    if (image.width() > 0xffff || image.height() > 0xffff)
        throw RuntimeError(
            QStringLiteral("GIF: an image of %1 x %2 pixels is too large").arg(image.width()).arg(image.height()));

    const PaletteImage pixels = reduceToPalette(image);
    int tableBits = 1;
    while ((std::size_t(1) << tableBits) < pixels.palette.size())
        ++tableBits;

    QByteArray out("GIF89a");
    // Logical screen: the image's size, a global colour table of 2^tableBits entries.
    appendWord(out, pixels.width);
    appendWord(out, pixels.height);
    out.append(char(0x80 | ((tableBits - 1) << 4) | (tableBits - 1)));
    out.append(char(std::max(pixels.transparentIndex, 0)));
    out.append(char(0));
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb rgb = std::size_t(i) < pixels.palette.size() ? pixels.palette[std::size_t(i)] : 0;
        out.append(char(qRed(rgb)));
        out.append(char(qGreen(rgb)));
        out.append(char(qBlue(rgb)));
    }

    // Graphic control extension: the transparent entry.
    out.append("\x21\xf9\x04", 3);
    out.append(char(pixels.transparentIndex >= 0 ? 0x01 : 0x00));
    appendWord(out, 0);
    out.append(char(std::max(pixels.transparentIndex, 0)));
    out.append(char(0));

    // Image descriptor: the whole screen, no local table, not interlaced.
    out.append(char(0x2c));
    appendWord(out, 0);
    appendWord(out, 0);
    appendWord(out, pixels.width);
    appendWord(out, pixels.height);
    out.append(char(0));

    const int minCodeSize = std::max(2, tableBits);
    out.append(char(minCodeSize));
    const QByteArray codes = compressGifLzw(pixels.indices, minCodeSize);
    for (qsizetype at = 0; at < codes.size(); at += kMaxSubBlock) {
        const qsizetype length = std::min<qsizetype>(kMaxSubBlock, codes.size() - at);
        out.append(char(length));
        out.append(codes.constData() + at, length);
    }
    out.append(char(0));
    out.append(char(0x3b));
    return out;
}

} // namespace kestrova
