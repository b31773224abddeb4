#include "console/test_application.h"
#include "map/fake_map_engine.h"
#include "map/map_engine.h"
#include "startup/qstring_printer.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"
#include "track/map_report.h"
#include "track/map_report_page.h"
#include "track/report_map_file.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kestrova;

namespace {

const QDir kProgramFolder(QStringLiteral(KESTROVA_BINARY_DIR "/kestrova"));

VehicleRecord ReportedPoint() {
    VehicleRecord Rec;
    Rec.PlateNumber = "ABC-123";
    Rec.DialTime = "2024/03/05 14:03:22";
    Rec.CheckPoint = "最後位置";
    Rec.Speed = 35.5F;
    Rec.X = 121.556;
    Rec.Y = 25.03;
    return Rec;
}

// A picture in a colour of its own with a red 16 by 18 square where the icon stands.
QImage MarkedMap() {
    QImage map(kReportMapWidth, kReportMapHeight, QImage::Format_RGB32);
    map.fill(Qt::blue);
    QPainter(&map).fillRect(QRect(kReportIconCorner, QSize(16, 18)), Qt::red);
    return map;
}

bool IsDark(QRgb pixel) {
    return qGray(pixel) < 128;
}

// Whether any pixel of the rectangle (in twips on the page, painted at 96 dpi) is dark.
bool HasInk(const QImage& page, const QRectF& twips) {
    const QRect area = QRectF(twips.topLeft() / 15, twips.size() / 15).toAlignedRect() & page.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (IsDark(page.pixel(x, y)))
                return true;
    return false;
}

// The PDF's text as pdftotext reads it, in compatibility form (the CJK font names some characters by the
// Kangxi radicals of the same shape), blanks run together.
QString PdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC).simplified();
}

int PdfPages(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    process.waitForFinished(20000);
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                              .match(QString::fromUtf8(process.readAllStandardOutput()));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

QString Compatible(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).simplified();
}

// A word of a PDF page as pdftotext lays it out from the metrics of the fonts embedded, which are the fonts
// the page was drawn with; its box in twips from the paper's corner.
struct PdfWord {
    QString text;
    QRectF box;
};

std::vector<PdfWord> PdfWords(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return {};
    static const QRegularExpression kWord(QString::fromLatin1(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    constexpr double kTwipsPerPoint = 20;
    std::vector<PdfWord> words;
    for (const QRegularExpressionMatch& word : kWord.globalMatch(QString::fromUtf8(process.readAllStandardOutput()))) {
        const auto at = [&word](int i) { return word.captured(i).toDouble() * kTwipsPerPoint; };
        words.push_back({Compatible(word.captured(5)), QRectF(QPointF(at(1), at(2)), QPointF(at(3), at(4)))});
    }
    return words;
}

} // namespace

TEST(MapReportPage, Texts_DetailLineAndPrintDate) {
    const QLocale locale(QLocale::Chinese, QLocale::Taiwan);
    EXPECT_EQ(MapReportDetail(ReportedPoint(), locale), "車輛編號：ABC-123  撥號時間：" +
                                                            ConvertDbTime("2024/03/05 14:03:22", 0, locale) +
                                                            "  撥號情形：最後位置  速度：35.5 km");
    VehicleRecord stopped = ReportedPoint();
    stopped.Speed = 0;
    EXPECT_TRUE(MapReportDetail(stopped, locale).endsWith("  速度：0 km"));
    EXPECT_EQ(MapReportPrintDate(QDate(2024, 3, 5), locale),
              "列印日期：" + locale.toString(QDate(2024, 3, 5), QLocale::ShortFormat));
}

TEST(MapReportPage, Layout_SectionsInsideTheMargins) {
    const MapReportLayout layout = ComputeMapReportLayout();
    EXPECT_EQ(layout.MAPDetail, QRectF(680, 590, 7515, 225));
    EXPECT_EQ(layout.PrintDate, QRectF(9095, 590, 2205, 210));
    EXPECT_EQ(layout.MapImage, QRectF(567, 875, 10770, 6810));
    EXPECT_EQ(layout.MapImage.right(), kReportMargin + kReportWidth);
    // The texts keep their controls' corners; the detail line runs on to a character before the print date, and
    // both may reach down to the end of the header.
    EXPECT_EQ(layout.MAPDetailSpace, QRectF(680, 590, 8235, 285));
    EXPECT_EQ(layout.PrintDateSpace, QRectF(9095, 590, 2205, 285));
    EXPECT_EQ(layout.PrintDateSpace.bottom(), layout.MapImage.top());
}

TEST(MapReportPage, PaintedPage_TextsInTheHeader_MapWithTheIconBelow) {
    test::TestApplication();
    const MapReportPage page{"車輛編號：ABC-123", "列印日期：2024/3/5", MarkedMap()};
    QImage paper(800, 1100, QImage::Format_RGB32); // 96 dpi: 15 twips to a pixel
    paper.setDotsPerMeterX(3780);
    paper.setDotsPerMeterY(3780);
    paper.fill(Qt::white);
    {
        QPainter painter(&paper);
        PaintMapReport(painter, page);
    }
    const MapReportLayout layout = ComputeMapReportLayout();
    EXPECT_TRUE(HasInk(paper, layout.MAPDetail));
    EXPECT_TRUE(HasInk(paper, layout.PrintDate));
    EXPECT_FALSE(HasInk(paper, QRectF(0, 0, 11837, 500))) << "the top margin stays empty";

    // The picture keeps its pixels: the icon's square lies 339, 215 pixels into the image control.
    const QPoint image = (layout.MapImage.topLeft() / 15).toPoint();
    EXPECT_EQ(paper.pixel(image + kReportIconCorner + QPoint(8, 9)), qRgb(255, 0, 0));
    EXPECT_EQ(paper.pixel(image + QPoint(100, 100)), qRgb(0, 0, 255));
    // Clipped at the control's bottom edge (6810 twips, 454 pixels), not at the picture's.
    EXPECT_EQ(paper.pixel(image + QPoint(100, 450)), qRgb(0, 0, 255));
    EXPECT_EQ(paper.pixel(image + QPoint(100, 458)), qRgb(255, 255, 255));
}

TEST(MapReport, PdfOfTheWindowsPage_CarriesTheTextsAndTheMap) {
    test::TestApplication();
    QTemporaryDir folder;
    const QString bmp = QDir(folder.path()).filePath("MAP8.BMP");
    ASSERT_TRUE(MarkedMap().save(bmp, "BMP"));
    MapReport report;
    EXPECT_EQ(report.windowTitle(), "列印地圖");
    report.loadMapImage(bmp);
    report.setHeaderTexts("車輛編號：ABC-123  速度：35.5 km", "列印日期：2024/3/5");

    const QString pdf = QDir(folder.path()).filePath("report.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setFullPage(true);
    emit report.paintRequested(&printer);

    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(Compatible("車輛編號：ABC-123  速度：35.5 km"))) << text.toStdString();
    EXPECT_TRUE(text.contains(Compatible("列印日期：2024/3/5"))) << text.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("/Subtype /Image"));
    EXPECT_TRUE(bytes.contains("/Width 710")) << "the map at its own resolution";
    EXPECT_EQ(PdfPages(pdf), 1);

    EXPECT_THROW(report.loadMapImage(QDir(folder.path()).filePath("missing.bmp")), RuntimeError);
}

// The longest detail line real values make: a 20-character plate of wide letters, a date with two-digit month and
// day and an afternoon hour, the longest call state and a five-digit speed. On the report's own printer (the
// preview's, which also prints), the whole line and the print date lie in their spaces.
TEST(MapReport, LongestDetailLine_LiesWholeInItsSpace_InBothLocales) {
    test::TestApplication();
    VehicleRecord Rec = ReportedPoint();
    Rec.PlateNumber = "WWM-8888-MWMW-8888-M";
    Rec.DialTime = "2026/12/26 12:00:00";
    Rec.CheckPoint = "正在撥號";
    Rec.Speed = 123.45F;
    const MapReportLayout layout = ComputeMapReportLayout();
    QTemporaryDir folder;
    const QString pdf = QDir(folder.path()).filePath("report.pdf");
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Chinese, QLocale::Taiwan)}) {
        const QString detail = MapReportDetail(Rec, locale);
        const QString date = MapReportPrintDate(QDate(2026, 12, 26), locale);
        ASSERT_TRUE(detail.endsWith("速度：123.45 km")) << detail.toStdString();
        MapReport report;
        report.setHeaderTexts(detail, date);
        SCOPED_TRACE(detail.toStdString());
        report.printer()->setOutputFormat(QPrinter::PdfFormat);
        report.printer()->setOutputFileName(pdf);
        emit report.paintRequested(report.printer());

        std::vector<PdfWord> header = PdfWords(pdf);
        std::erase_if(header, [&](const PdfWord& word) { return word.box.top() >= layout.MapImage.top(); });
        // Words that start inside the detail line's space are its words, the others the print date's.
        const double detailEnd = layout.MAPDetailSpace.right();
        QString detailWords;
        QString dateWords;
        double detailRight = 0;
        for (const PdfWord& word : header) {
            const bool inDetail = word.box.left() < detailEnd;
            (inDetail ? detailWords : dateWords) += word.text;
            if (inDetail)
                detailRight = std::max(detailRight, word.box.right());
            // A twip's slack for the PDF's rounding of positions.
            const QRectF space = (inDetail ? layout.MAPDetailSpace : layout.PrintDateSpace).adjusted(-1, -1, 1, 1);
            EXPECT_TRUE(space.contains(word.box)) << word.text.toStdString();
        }
        EXPECT_EQ(detailWords, Compatible(detail).remove(' '));
        EXPECT_EQ(dateWords, Compatible(date).remove(' '));
        EXPECT_GT(detailRight, layout.MAPDetailSpace.left() + 0.95 * layout.MAPDetailSpace.width())
            << "shrunk no further than it needs";
    }
}

TEST(ReportMapFile, RenderedAtThePoint_IconDrawnOnIt) {
    test::TestApplication();
    MapEngine engine;
    if (engine.LoadProfile(kProgramFolder.filePath("nv5/demo-style.json")) == 0 ||
        engine.OpenMap(kProgramFolder.filePath("nv5/demo.mbtiles")) == 0)
        GTEST_SKIP() << "the demo map has not been built (target demo_map)";
    QImage icon(kProgramFolder.filePath("carimage/Ferrari/car090.gif"));
    ASSERT_FALSE(icon.isNull());
    icon = icon.convertToFormat(QImage::Format_ARGB32);
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("image"));
    const QString path = ReportMapFile(folder.path());
    EXPECT_TRUE(path.endsWith("/image/MAP8.BMP"));

    BuildReportMapFile(engine, ReportedPoint(), 14, icon, path);
    QImage saved(path);
    ASSERT_EQ(saved.size(), QSize(kReportMapWidth, kReportMapHeight));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), "BM");
    int opaque = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            if (qAlpha(icon.pixel(x, y)) == 255) {
                ++opaque;
                ASSERT_EQ(saved.pixel(kReportIconCorner + QPoint(x, y)), icon.pixel(x, y)) << x << ',' << y;
            }
        }
    }
    EXPECT_GT(opaque, 50);
}

TEST(ReportMapFile, EngineAskedForThePointAtTheZoom_NoPictureIsAnError) {
    test::FakeMapEngine engine; // writes no picture
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath("MAP8.BMP");
    try {
        BuildReportMapFile(engine, ReportedPoint(), 9, QImage(), path);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(error.text().startsWith(QDir::toNativeSeparators(path))) << error.text().toStdString();
    }
    EXPECT_EQ(engine.calls, QStringList({"SetViewSize(710,466)", "SetCenter(121556000,25030000)", "SetZoom(9)",
                                         "SaveBitmap(" + path + ")"}));
}
