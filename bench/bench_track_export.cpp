// The track files and the printed report: each export format written for 100,000 rows (the file's text
// from an independent cursor, its rows checked, encoded and written whole), and the report's map picture and page (the
// engine's 710 x 466 render, the icon drawn on and the bitmap saved, then the page laid out and painted
// as the preview shows it, at 96 dpi). The demo map is the build's kestrova/ folder's, or the one
// KESTROVA_BENCH_FOLDER names.

#include "bench_support.h"
#include "map/map_engine.h"
#include "startup/code_page.h"
#include "track/map_report_page.h"
#include "track/report_map_file.h"
#include "track/track_files.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace kestrova;
using kestrova::bench::application;

constexpr int kExportRows = 100000;

// A fix a minute for about 70 days, moving about the demo town.
ResultSet ManyRows() {
    std::vector<ResultSet::Row> rows;
    rows.reserve(kExportRows);
    const QDateTime first(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    for (int i = 0; i < kExportRows; ++i) {
        rows.push_back({FieldValue(first.addSecs(60 * i).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))),
                        FieldValue(121.5 + 0.00001 * (i % 9000)), FieldValue(25.0 + 0.00001 * (i % 7000))});
    }
    return ResultSet({{QStringLiteral("DialTime"), FieldType::Text},
                      {QStringLiteral("X"), FieldType::Double},
                      {QStringLiteral("Y"), FieldType::Double}},
                     std::move(rows));
}

void BM_ExportTrackFile(benchmark::State& state) {
    const auto FilterIndex = static_cast<int16_t>(state.range(0));
    const ResultSet rows = ManyRows();
    const CodePage codePage("UTF-8");
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("track"));
    for (auto _ : state) {
        ResultSet clone = rows.clone();
        if (WriteTrackFile(path, clone, FilterIndex, codePage))
            state.SkipWithError("the file could not be written");
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
}
BENCHMARK(BM_ExportTrackFile)->Arg(kTrackTextFilter)->Arg(kTrackTrkFilter)->Unit(benchmark::kMillisecond);

void BM_ReportMapFileAndPage(benchmark::State& state) {
    application();
    const QDir build(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    const QString chosen = qEnvironmentVariable("KESTROVA_BENCH_FOLDER");
    const QDir source(chosen.isEmpty() ? build.filePath(QStringLiteral("kestrova")) : chosen);
    MapEngine engine;
    const QImage icon =
        QImage(source.filePath(QStringLiteral("carimage/Ferrari/car045.gif"))).convertToFormat(QImage::Format_ARGB32);
    if (engine.LoadProfile(source.filePath(QStringLiteral("nv5/demo-style.json"))) == 0 ||
        engine.OpenMap(source.filePath(QStringLiteral("nv5/demo.mbtiles"))) == 0 || icon.isNull()) {
        state.SkipWithError("the demo map or the icons are missing: build demo_map and program_images");
        return;
    }
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("image"));
    const QString path = ReportMapFile(folder.path());
    VehicleRecord Rec;
    Rec.PlateNumber = QStringLiteral("KS-201");
    Rec.DialTime = QStringLiteral("2024/03/05 14:03:22");
    Rec.CheckPoint = kCheckRealTime;
    Rec.Speed = 35.5F;
    QImage paper(794, 1123, QImage::Format_RGB32); // A4 at 96 dpi
    int i = 0;
    for (auto _ : state) {
        Rec.X = 121.556 + 0.0001 * (i % 20);
        Rec.Y = 25.03 + 0.0001 * (i++ % 10);
        BuildReportMapFile(engine, Rec, 14, icon, path);
        const MapReportPage page{MapReportDetail(Rec), MapReportPrintDate(QDate(2024, 3, 5)), LoadReportPicture(path)};
        paper.fill(Qt::white);
        QPainter painter(&paper);
        PaintMapReport(painter, page);
    }
}
BENCHMARK(BM_ReportMapFileAndPage)->Unit(benchmark::kMillisecond);

} // namespace
