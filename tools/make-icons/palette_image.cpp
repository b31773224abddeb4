#include "make-icons/palette_image.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>

namespace kestrova {

namespace {

struct ColourCount {
    QRgb rgb = 0;
    std::uint64_t count = 0;
};

int channel(QRgb rgb, int c) {
    switch (c) {
    case 0:
        return qRed(rgb);
    case 1:
        return qGreen(rgb);
    default:
        return qBlue(rgb);
    }
}

// A run of the colour list that median cut treats as one palette entry.
struct Box {
    std::size_t begin = 0;
    std::size_t end = 0;
    int widestChannel = 0;
    int widestRange = 0;
};

Box makeBox(const std::vector<ColourCount>& colours, std::size_t begin, std::size_t end) {
    Box box{begin, end, 0, 0};
    for (int c = 0; c < 3; ++c) {
        int lo = 255;
        int hi = 0;
        for (std::size_t i = begin; i < end; ++i) {
            lo = std::min(lo, channel(colours[i].rgb, c));
            hi = std::max(hi, channel(colours[i].rgb, c));
        }
        if (hi - lo > box.widestRange) {
            box.widestRange = hi - lo;
            box.widestChannel = c;
        }
    }
    return box;
}

// Splits the box with the widest colour range at its count-weighted median until maxColours boxes exist
// or no box holds two different colours; each box gives its count-weighted mean colour.
std::vector<QRgb> medianCut(std::vector<ColourCount> colours, std::size_t maxColours) {
    std::vector<Box> boxes{makeBox(colours, 0, colours.size())};
    while (boxes.size() < maxColours) {
        auto widest = std::max_element(boxes.begin(), boxes.end(),
                                       [](const Box& a, const Box& b) { return a.widestRange < b.widestRange; });
        if (widest->widestRange == 0)
            break;
        const Box box = *widest;
        const auto first = colours.begin() + std::ptrdiff_t(box.begin);
        const auto last = colours.begin() + std::ptrdiff_t(box.end);
        std::sort(first, last, [c = box.widestChannel](const ColourCount& a, const ColourCount& b) {
            return channel(a.rgb, c) < channel(b.rgb, c);
        });
        std::uint64_t total = 0;
        for (auto it = first; it != last; ++it)
            total += it->count;
        std::uint64_t running = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            running += colours[i].count;
            split = i + 1;
            if (running * 2 >= total)
                break;
        }
        *widest = makeBox(colours, box.begin, split);
        boxes.push_back(makeBox(colours, split, box.end));
    }

    std::vector<QRgb> palette;
    palette.reserve(boxes.size());
    for (const Box& box : boxes) {
        std::array<std::uint64_t, 3> sum{};
        std::uint64_t total = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[std::size_t(c)] += std::uint64_t(channel(colours[i].rgb, c)) * colours[i].count;
            total += colours[i].count;
        }
        const auto mean = [&](int c) { return int((sum[std::size_t(c)] + total / 2) / total); };
        palette.push_back(qRgb(mean(0), mean(1), mean(2)));
    }
    return palette;
}

int nearestEntry(const std::vector<QRgb>& palette, std::size_t first, QRgb rgb) {
    int best = int(first);
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = first; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(rgb);
        const int dg = qGreen(palette[i]) - qGreen(rgb);
        const int db = qBlue(palette[i]) - qBlue(rgb);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    }
    return best;
}

} // namespace

PaletteImage reduceToPalette(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    PaletteImage result;
    result.width = argb.width();
    result.height = argb.height();

    // Pixels as opaque colours, with 0 standing for a transparent pixel (no opaque colour is 0).
    std::vector<QRgb> pixels;
    pixels.reserve(std::size_t(result.width) * std::size_t(result.height));
    std::vector<ColourCount> colours;
    std::unordered_map<QRgb, std::size_t> colourIndex;
    bool anyTransparent = false;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) < 128) {
                anyTransparent = true;
                pixels.push_back(0);
                continue;
            }
            const QRgb rgb = line[x] | 0xff000000u;
            pixels.push_back(rgb);
            const auto [it, added] = colourIndex.try_emplace(rgb, colours.size());
            if (added)
                colours.push_back({rgb, 0});
            ++colours[it->second].count;
        }
    }

    const std::size_t first = anyTransparent ? 1 : 0;
    if (anyTransparent) {
        result.transparentIndex = 0;
        result.palette.push_back(qRgb(0, 0, 0));
    }
    const std::size_t room = kMaxPaletteSize - first;
    std::unordered_map<QRgb, std::uint8_t> entryOf;
    if (colours.size() <= room) {
        for (const ColourCount& colour : colours) {
            entryOf[colour.rgb] = std::uint8_t(result.palette.size());
            result.palette.push_back(colour.rgb);
        }
    } else {
        for (QRgb rgb : medianCut(colours, room))
            result.palette.push_back(rgb);
        for (const ColourCount& colour : colours)
            entryOf[colour.rgb] = std::uint8_t(nearestEntry(result.palette, first, colour.rgb));
    }

    result.indices.reserve(pixels.size());
    for (QRgb rgb : pixels)
        result.indices.push_back(rgb == 0 ? std::uint8_t(0) : entryOf.at(rgb));
    return result;
}

} // namespace kestrova
