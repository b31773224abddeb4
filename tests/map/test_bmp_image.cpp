#include "map/bmp_image.h"

#include <QBuffer>
#include <QtEndian>

#include <gtest/gtest.h>

namespace kestrova {
namespace {

quint32 field32(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
quint16 field16(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

TEST(BmpImage, Header_24BitBottomUpPaddedRows) {
    QImage image(5, 3, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(10, 20, 30));    // top-left
    image.setPixel(4, 2, qRgb(200, 150, 100)); // bottom-right
    const QByteArray bmp = encodeBmp24(image);
    const int rowBytes = 16; // 5 × 3 = 15 bytes padded to 16
    ASSERT_EQ(bmp.size(), 54 + rowBytes * 3);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(field32(bmp, 2), quint32(bmp.size()));
    EXPECT_EQ(field32(bmp, 10), 54u);
    EXPECT_EQ(field32(bmp, 14), 40u);
    EXPECT_EQ(field32(bmp, 18), 5u);
    EXPECT_EQ(field32(bmp, 22), 3u);
    EXPECT_EQ(field16(bmp, 26), 1u);
    EXPECT_EQ(field16(bmp, 28), 24u);
    EXPECT_EQ(field32(bmp, 30), 0u);
    // The first stored row is the bottom one: its last pixel is (200, 150, 100) as blue, green, red.
    EXPECT_EQ(quint8(bmp[54 + 12]), 100);
    EXPECT_EQ(quint8(bmp[54 + 13]), 150);
    EXPECT_EQ(quint8(bmp[54 + 14]), 200);
    // The last stored row is the top one.
    EXPECT_EQ(quint8(bmp[54 + 2 * rowBytes + 0]), 30);
    EXPECT_EQ(quint8(bmp[54 + 2 * rowBytes + 2]), 10);
}

TEST(BmpImage, RoundTrip_QtReadsSamePixels) {
    QImage image(7, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 7; ++x)
            image.setPixel(x, y, qRgb(x * 30, y * 60, (x + y) * 10));
    }
    const QImage back = QImage::fromData(encodeBmp24(image), "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), image.size());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);
}

} // namespace
} // namespace kestrova
