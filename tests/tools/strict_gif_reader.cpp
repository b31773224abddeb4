#include "strict_gif_reader.h"

namespace {

class BitReader {
public:
    explicit BitReader(const QByteArray& bytes) : m_bytes(bytes) {}
    // -1 when the data ends before the code does.
    int read(int bits) {
        if (m_position + bits > qsizetype(m_bytes.size()) * 8)
            return -1;
        int value = 0;
        for (int i = 0; i < bits; ++i, ++m_position) {
            const int bit = (std::uint8_t(m_bytes[m_position / 8]) >> (m_position % 8)) & 1;
            value |= bit << i;
        }
        return value;
    }
    bool restIsZeroPadding() const {
        if (m_position / 8 + (m_position % 8 ? 1 : 0) != m_bytes.size())
            return false;
        if (m_position % 8 == 0)
            return true;
        return (std::uint8_t(m_bytes[m_position / 8]) >> (m_position % 8)) == 0;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_position = 0;
};

int word(const QByteArray& b, qsizetype at) {
    return std::uint8_t(b[at]) | (std::uint8_t(b[at + 1]) << 8);
}

} // namespace

StrictLzw decodeLzwStrictly(const QByteArray& codes, int minCodeSize) {
    StrictLzw out;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    // Each entry is its prefix's code and its last index; a string is read back through the prefixes.
    std::vector<int> prefixOf(4096, -1);
    std::vector<std::uint8_t> lastOf(4096, 0);
    for (int i = 0; i < clear; ++i)
        lastOf[std::size_t(i)] = std::uint8_t(i);
    const auto stringOf = [&](int code) {
        std::vector<std::uint8_t> string;
        for (; code >= 0; code = prefixOf[std::size_t(code)])
            string.push_back(lastOf[std::size_t(code)]);
        return std::vector<std::uint8_t>(string.rbegin(), string.rend());
    };
    int width = minCodeSize + 1;
    int next = end + 1;
    int previous = -1;
    BitReader reader(codes);
    for (bool first = true;; first = false) {
        const int code = reader.read(width);
        if (code < 0) {
            out.error = "the data ends without an end code";
            return out;
        }
        if (first && code != clear) {
            out.error = "the data does not start with a clear code";
            return out;
        }
        if (code == clear) {
            ++out.clearCodes;
            width = minCodeSize + 1;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (code == end)
            break;
        std::vector<std::uint8_t> string;
        if (code < clear || (code > end && code < next)) {
            string = stringOf(code);
        } else if (code == next && previous >= 0) {
            string = stringOf(previous);
            string.push_back(string.front());
        } else {
            out.error = "code " + std::to_string(code) + " is beyond the table (next " + std::to_string(next) + ")";
            return out;
        }
        if (previous >= 0 && next < 4096) {
            prefixOf[std::size_t(next)] = previous;
            lastOf[std::size_t(next)] = string.front();
            ++next;
            if (next == (1 << width) && width < 12)
                ++width;
        }
        out.indices.insert(out.indices.end(), string.begin(), string.end());
        previous = code;
    }
    if (!reader.restIsZeroPadding())
        out.error = "data or non-zero bits follow the end code";
    return out;
}

StrictGif readGifStrictly(const QByteArray& file) {
    StrictGif gif;
    const auto fail = [&](const std::string& why) {
        gif.error = why;
        return gif;
    };
    if (file.size() < 13 || !file.startsWith("GIF89a"))
        return fail("no GIF89a header");
    gif.width = word(file, 6);
    gif.height = word(file, 8);
    const int packed = std::uint8_t(file[10]);
    if (!(packed & 0x80))
        return fail("no global colour table");
    const int entries = 2 << (packed & 7);
    qsizetype at = 13;
    if (file.size() < at + 3 * entries)
        return fail("palette cut short");
    for (int i = 0; i < entries; ++i, at += 3)
        gif.palette.push_back(qRgb(std::uint8_t(file[at]), std::uint8_t(file[at + 1]), std::uint8_t(file[at + 2])));

    bool haveImage = false;
    while (at < file.size()) {
        const int introducer = std::uint8_t(file[at++]);
        if (introducer == 0x3b) {
            if (at != file.size())
                return fail("bytes after the trailer");
            if (!haveImage)
                return fail("no image");
            return gif;
        }
        if (introducer == 0x21 && at + 7 <= file.size() && std::uint8_t(file[at]) == 0xf9) {
            if (file[at + 1] != 4 || file[at + 6] != 0)
                return fail("malformed graphic control extension");
            if (std::uint8_t(file[at + 2]) & 1)
                gif.transparentIndex = std::uint8_t(file[at + 5]);
            at += 7;
            continue;
        }
        if (introducer != 0x2c || at + 10 > file.size())
            return fail("unexpected block " + std::to_string(introducer));
        if (word(file, at) != 0 || word(file, at + 2) != 0 || word(file, at + 4) != gif.width ||
            word(file, at + 6) != gif.height || file[at + 8] != 0)
            return fail("image descriptor does not cover the screen plainly");
        gif.minCodeSize = std::uint8_t(file[at + 9]);
        at += 10;
        QByteArray codes;
        for (;;) {
            if (at >= file.size())
                return fail("sub-blocks cut short");
            const int length = std::uint8_t(file[at++]);
            if (length == 0)
                break;
            if (at + length > file.size())
                return fail("sub-block cut short");
            codes.append(file.constData() + at, length);
            at += length;
        }
        if (gif.minCodeSize < 2 || gif.minCodeSize > 8)
            return fail("bad minimum code size");
        gif.pixels = decodeLzwStrictly(codes, gif.minCodeSize);
        if (!gif.pixels.error.empty())
            return fail("LZW: " + gif.pixels.error);
        haveImage = true;
    }
    return fail("no trailer");
}
