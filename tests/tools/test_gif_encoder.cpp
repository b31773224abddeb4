#include "make-icons/car_icons.h"
#include "make-icons/gif_encoder.h"
#include "make-icons/palette_image.h"
#include "startup/runtime_error.h"
#include "strict_gif_reader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>

#include <random>

using namespace kestrova;

namespace {

QImage readBack(const QByteArray& gif) {
    QBuffer buffer;
    buffer.setData(gif);
    QImageReader reader(&buffer, "gif");
    QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Encodes the image, reads the file strictly and with Qt, and compares every pixel: transparent where
// the source's alpha is below half, else the source's colour within maxChannelError.
StrictGif expectRoundTrip(const QImage& source, int maxChannelError = 0) {
    const QByteArray gif = encodeGif(source);
    const StrictGif strict = readGifStrictly(gif);
    EXPECT_EQ(strict.error, "");
    EXPECT_EQ(strict.width, source.width());
    EXPECT_EQ(strict.height, source.height());
    EXPECT_EQ(strict.pixels.indices.size(), std::size_t(source.width()) * std::size_t(source.height()));

    const QImage decoded = readBack(gif);
    const QImage expected = source.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(decoded.size(), expected.size());
    if (decoded.size() != expected.size() ||
        strict.pixels.indices.size() != std::size_t(decoded.width() * decoded.height()))
        return strict;
    int mismatches = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb want = expected.pixel(x, y);
            const QRgb got = decoded.pixel(x, y);
            const int index = strict.pixels.indices[std::size_t(y * expected.width() + x)];
            bool same;
            if (qAlpha(want) < 128) {
                same = qAlpha(got) == 0 && index == strict.transparentIndex;
            } else {
                const QRgb strictColour = strict.palette.at(std::size_t(index));
                same = qAlpha(got) == 255 && (got & 0xffffff) == (strictColour & 0xffffff) &&
                       std::abs(qRed(got) - qRed(want)) <= maxChannelError &&
                       std::abs(qGreen(got) - qGreen(want)) <= maxChannelError &&
                       std::abs(qBlue(got) - qBlue(want)) <= maxChannelError;
            }
            if (!same && ++mismatches <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y << ": want " << std::hex << want << " got " << got;
        }
    }
    EXPECT_EQ(mismatches, 0);
    return strict;
}

QImage randomImage(int width, int height, int colours, bool withTransparency, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<QRgb> palette;
    for (int i = 0; i < colours; ++i)
        palette.push_back(qRgb(int(random() % 256), int(random() % 256), int(random() % 256)));
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(
                x, y, withTransparency && random() % 5 == 0 ? qRgba(0, 0, 0, 0) : palette[random() % palette.size()]);
    return image;
}

QImage filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

} // namespace

TEST(GifEncoder, VehicleIcons_RoundTripExactlyWithTransparentBackground) {
    for (const QString& model : kCarModels) {
        const StrictGif gif = expectRoundTrip(drawCarIcon(model, 45));
        EXPECT_GE(gif.transparentIndex, 0) << model.toStdString();
        EXPECT_LE(gif.palette.size(), 256u);
    }
}

TEST(GifEncoder, SmallPalettes_UseTheSmallestTableAndCodeSize) {
    QImage checker(7, 5, QImage::Format_ARGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    StrictGif gif = expectRoundTrip(checker);
    EXPECT_EQ(gif.palette.size(), 2u);
    EXPECT_EQ(gif.minCodeSize, 2);
    EXPECT_EQ(gif.transparentIndex, -1);

    gif = expectRoundTrip(filled(1, 1, qRgb(10, 20, 30)));
    EXPECT_EQ(gif.palette.size(), 2u);
    gif = expectRoundTrip(filled(1, 1, qRgba(0, 0, 0, 0)));
    EXPECT_EQ(gif.transparentIndex, 0);
    expectRoundTrip(filled(40, 30, qRgba(255, 255, 255, 0)));
}

TEST(GifEncoder, AlphaBelowHalf_IsTransparentAndTheRestOpaque) {
    QImage image(4, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(200, 10, 10, 127));
    image.setPixel(1, 0, qRgba(200, 10, 10, 128));
    image.setPixel(2, 0, qRgba(10, 200, 10, 255));
    image.setPixel(3, 0, qRgba(10, 10, 200, 0));
    const QImage decoded = readBack(encodeGif(image));
    EXPECT_EQ(qAlpha(decoded.pixel(0, 0)), 0);
    EXPECT_EQ(decoded.pixel(1, 0), qRgb(200, 10, 10));
    EXPECT_EQ(decoded.pixel(2, 0), qRgb(10, 200, 10));
    EXPECT_EQ(qAlpha(decoded.pixel(3, 0)), 0);
}

TEST(GifEncoder, FullPalettes_KeepEveryColourExactly) {
    // 255 colours and a transparent entry, then 256 colours without one: both fill the table exactly.
    StrictGif gif = expectRoundTrip(randomImage(64, 64, 255, true, 1));
    EXPECT_EQ(gif.palette.size(), 256u);
    EXPECT_EQ(gif.minCodeSize, 8);
    QImage all(16, 16, QImage::Format_ARGB32);
    for (int i = 0; i < 256; ++i)
        all.setPixel(i % 16, i / 16, qRgb(i, 255 - i, (i * 7) % 256));
    gif = expectRoundTrip(all);
    EXPECT_EQ(gif.transparentIndex, -1);
}

TEST(GifEncoder, NoisyImage_FillsTheCodeTableAndStartsItOver) {
    // Random pixels give a new string at nearly every code, so the 4096 codes run out again and again.
    const StrictGif gif = expectRoundTrip(randomImage(200, 150, 200, true, 2));
    EXPECT_GE(gif.pixels.clearCodes, 4);
    // Few colours: long strings, the table still fills, with codes reaching the full 12 bits.
    expectRoundTrip(randomImage(300, 300, 3, false, 3));
}

TEST(GifEncoder, LongRunsOfOneColour_RoundTrip) {
    expectRoundTrip(filled(1000, 1, qRgb(1, 2, 3)));
    expectRoundTrip(filled(257, 300, qRgb(250, 250, 250)));
}

TEST(GifEncoder, ManyColours_AreReducedToNearbyPaletteColours) {
    QImage gradient(64, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            gradient.setPixel(x, y, (x + y) % 9 == 0 ? qRgba(0, 0, 0, 0) : qRgb(x * 4, y * 4, 128));
    const StrictGif gif = expectRoundTrip(gradient, 12);
    EXPECT_EQ(gif.palette.size(), 256u);
    EXPECT_EQ(gif.transparentIndex, 0);
}

TEST(GifEncoder, BadInput_Throws) {
    EXPECT_THROW(encodeGif(QImage()), RuntimeError);
    const std::vector<std::uint8_t> indices{0, 1, 4};
    EXPECT_THROW(compressGifLzw(indices, 1), RuntimeError);
    EXPECT_THROW(compressGifLzw(indices, 9), RuntimeError);
    EXPECT_THROW(compressGifLzw(indices, 2), RuntimeError);
    EXPECT_NO_THROW(compressGifLzw(indices, 3));
}

TEST(GifLzw, EveryLengthAndCodeSize_DecodesStrictly) {
    // Each length moves the point where the code width grows relative to the end code.
    std::mt19937 random(4);
    for (int minCodeSize : {2, 3, 5, 8}) {
        for (int length = 0; length <= 700; ++length) {
            std::vector<std::uint8_t> indices(std::size_t(length), 0);
            for (auto& index : indices)
                index = std::uint8_t(random() % (1u << minCodeSize));
            const StrictLzw decoded = decodeLzwStrictly(compressGifLzw(indices, minCodeSize), minCodeSize);
            ASSERT_EQ(decoded.error, "") << "code size " << minCodeSize << ", length " << length;
            ASSERT_EQ(decoded.indices, indices) << "code size " << minCodeSize << ", length " << length;
        }
    }
}

TEST(PaletteImage, FewColours_KeepTheirOrderOfFirstOccurrence) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgb(9, 9, 9));
    image.setPixel(1, 0, qRgba(0, 0, 0, 0));
    image.setPixel(2, 0, qRgb(1, 1, 1));
    const PaletteImage reduced = reduceToPalette(image);
    EXPECT_EQ(reduced.palette, (std::vector<QRgb>{qRgb(0, 0, 0), qRgb(9, 9, 9), qRgb(1, 1, 1)}));
    EXPECT_EQ(reduced.indices, (std::vector<std::uint8_t>{1, 0, 2}));
    EXPECT_EQ(reduced.transparentIndex, 0);
}
