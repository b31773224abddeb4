#include "make-icons/car_icons.h"
#include "make-icons/program_images.h"
#include "startup/runtime_error.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtMath>

#include <memory>

using namespace kestrova;

namespace {

const QStringList kModelFolders{"Ferrari", "S320", "Mini", "C-Rv"};
const QStringList kHeadingSteps{"000", "045", "090", "135", "180", "225", "270", "315"};

QImage readPicture(const QString& file, const QByteArray& format) {
    QImageReader reader(file);
    EXPECT_EQ(reader.format(), format) << file.toStdString();
    QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << file.toStdString() << ": " << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Where the icon's front points, in degrees clockwise from north: the direction from the icon's centre
// to the centroid of its pale yellow headlight pixels. -1 when it has none.
double frontDirection(const QImage& icon, int* lightPixels) {
    double sumX = 0;
    double sumY = 0;
    int count = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb c = icon.pixel(x, y);
            if (qAlpha(c) == 255 && qRed(c) >= 220 && qGreen(c) >= 200 && qBlue(c) <= 235 && qRed(c) - qBlue(c) >= 12) {
                sumX += x + 0.5 - kCarIconCentreX;
                sumY += y + 0.5 - kCarIconCentreY;
                ++count;
            }
        }
    }
    *lightPixels = count;
    if (count == 0)
        return -1;
    const double degrees = qRadiansToDegrees(qAtan2(sumX, -sumY));
    return degrees < 0 ? degrees + 360 : degrees;
}

class ProgramImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_tools";
        static char* argv[] = {name, nullptr};
        s_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    static void TearDownTestSuite() { s_app.reset(); }

    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        m_written = writeProgramImages(m_folder.path());
    }

    QString file(const QString& relative) const { return QDir(m_folder.path()).filePath(relative); }

    static inline std::unique_ptr<QGuiApplication> s_app;
    QTemporaryDir m_folder;
    QStringList m_written;
};

} // namespace

TEST_F(ProgramImages, VehicleIcons_AreTheThirtyTwoNamedGifFiles) {
    QStringList expected;
    for (const QString& model : kModelFolders)
        for (const QString& step : kHeadingSteps)
            expected << QStringLiteral("%1/car%2.gif").arg(model, step);
    expected.sort();
    EXPECT_EQ(filesUnder(file("carimage")), expected);

    for (const QString& name : expected) {
        const QImage icon = readPicture(file("carimage/" + name), "gif");
        EXPECT_EQ(icon.size(), QSize(32, 36)) << name.toStdString();
        // The vehicle sits on the centre that the panels put on its position; the corners stay clear.
        double sumX = 0;
        double sumY = 0;
        int opaque = 0;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                if (qAlpha(icon.pixel(x, y)) == 255) {
                    sumX += x + 0.5;
                    sumY += y + 0.5;
                    ++opaque;
                }
        ASSERT_GT(opaque, 150) << name.toStdString();
        EXPECT_NEAR(sumX / opaque, 16, 1.5) << name.toStdString();
        EXPECT_NEAR(sumY / opaque, 18, 1.5) << name.toStdString();
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << name.toStdString();
    }
}

TEST_F(ProgramImages, VehicleIcons_FaceTheirHeadingClockwiseFromNorth) {
    for (const QString& model : kModelFolders) {
        for (const QString& step : kHeadingSteps) {
            const QString name = QStringLiteral("carimage/%1/car%2.gif").arg(model, step);
            int lights = 0;
            const double front = frontDirection(readPicture(file(name), "gif"), &lights);
            ASSERT_GE(lights, 2) << name.toStdString();
            const double off = std::fmod(front - step.toDouble() + 540.0, 360.0) - 180.0;
            EXPECT_LT(std::abs(off), 10.0) << name.toStdString() << " faces " << front;
        }
    }
}

TEST_F(ProgramImages, OtherPictures_AreWrittenAsPngOfTheirControlsSizes) {
    const auto expectPng = [&](const QString& name, QSize size) {
        EXPECT_TRUE(m_written.contains(name)) << name.toStdString();
        EXPECT_EQ(readPicture(file(name), "png").size(), size) << name.toStdString();
    };
    for (int n = 1; n <= 13; ++n)
        expectPng(QStringLiteral("icons/ImageList1/%1.png").arg(n), QSize(32, 32));
    for (int n = 1; n <= 13; ++n)
        expectPng(QStringLiteral("icons/imlTool/%1.png").arg(n), QSize(16, 16));
    for (int kind = 1; kind <= 3; ++kind)
        expectPng(QStringLiteral("icons/ImageList3/%1.png").arg(kind), QSize(20, 20));
    expectPng("icons/imgZoomIn.png", QSize(26, 26));
    expectPng("icons/imgZoomOut.png", QSize(26, 26));
    expectPng("icons/frmLogo.png", QSize(480, 300));

    QStringList all = filesUnder(m_folder.path());
    QStringList written = m_written;
    written.sort();
    EXPECT_EQ(all, written);
    EXPECT_TRUE(QDir(file("image")).exists());
}

TEST_F(ProgramImages, PicturesDifferFromEachOther) {
    // A picture drawn twice or left blank by a wrong table entry shows up as a duplicate file.
    QHash<QByteArray, QString> seen;
    for (const QString& name : m_written) {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_FALSE(seen.contains(bytes)) << name.toStdString() << " equals " << seen.value(bytes).toStdString();
        seen.insert(bytes, name);
    }
}

TEST_F(ProgramImages, UnwritableFolder_ThrowsNamingTheFile) {
    // A file where the icon folder should be.
    QTemporaryDir other;
    QFile blocker(QDir(other.path()).filePath("carimage"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        writeProgramImages(other.path());
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(error.text().contains("carimage")) << error.text().toStdString();
    }
}
