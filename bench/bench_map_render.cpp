// Rendering and place look-ups of the map engine, as the map panels and the place descriptions use
// them: every panel zoom level 6 to 14 on a 704 × 448 view (a small panel) and a 1920 × 1080 one (a
// full screen). The map is the dense synthetic city (target bench_map_data, which scripts/bench builds)
// when it has been built, else the demo town; KESTROVA_BENCH_MAP names another vector MBTiles. Each
// result's label names the map it drew.

#include "bench_application.h"
#include "map/map_engine.h"
#include "map/mbtiles_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <utility>

namespace {

using kestrova::MapEngine;

struct BenchMap {
    QString map;
    QString style;
    int32_t x = 0;
    int32_t y = 0;
};

// The map's centre from its metadata ("lon,lat,zoom"), else the middle of its bounds.
void readCentre(BenchMap& bench) {
    QString error;
    const std::unique_ptr<kestrova::MbtilesFile> file = kestrova::MbtilesFile::open(bench.map, error);
    if (!file)
        return;
    const QStringList centre = file->metadata(QStringLiteral("center")).split(u',');
    const QStringList bounds = file->metadata(QStringLiteral("bounds")).split(u',');
    double lon = 0;
    double lat = 0;
    if (centre.size() >= 2) {
        lon = centre[0].toDouble();
        lat = centre[1].toDouble();
    } else if (bounds.size() == 4) {
        lon = (bounds[0].toDouble() + bounds[2].toDouble()) / 2;
        lat = (bounds[1].toDouble() + bounds[3].toDouble()) / 2;
    }
    bench.x = int32_t(std::lround(lon * 1e6));
    bench.y = int32_t(std::lround(lat * 1e6));
}

const BenchMap& benchMap() {
    static const BenchMap bench = [] {
        kestrova::bench::application<QGuiApplication>();
        const QDir build(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
        BenchMap found;
        found.style = build.filePath(QStringLiteral("kestrova/nv5/demo-style.json"));
        const QString chosen = qEnvironmentVariable("KESTROVA_BENCH_MAP");
        const QString city = build.filePath(QStringLiteral("bench-data/city.mbtiles"));
        found.map = !chosen.isEmpty()     ? chosen
                    : QFile::exists(city) ? city
                                          : build.filePath(QStringLiteral("kestrova/nv5/demo.mbtiles"));
        readCentre(found);
        return found;
    }();
    return bench;
}

bool openEngine(MapEngine& engine, benchmark::State& state) {
    const BenchMap& bench = benchMap();
    if (engine.LoadProfile(bench.style) == 0 || engine.OpenMap(bench.map) == 0) {
        state.SkipWithError("the map or its style is missing: build the targets demo_map and bench_map_data");
        return false;
    }
    state.SetLabel(QFileInfo(bench.map).fileName().toStdString());
    return true;
}

struct BenchView {
    int zoom;
    int width;
    int height;
};

BenchView viewOf(const benchmark::State& state) {
    return {int(state.range(0)), int(state.range(1)), int(state.range(2))};
}

void renderView(MapEngine& engine, const BenchView& view, const QString& path) {
    const BenchMap& bench = benchMap();
    engine.SetViewSize(view.width, view.height);
    engine.SetCenter(bench.x, bench.y);
    engine.SetZoom(view.zoom);
    engine.SetText(QStringLiteral("最後連線:04-05-01 13:45:10"));
    int32_t result = 0;
    engine.SaveBitmap(path, result);
}

// The same panel drawn again and again: its tiles stay in the cache.
void BM_RenderWarm(benchmark::State& state) {
    MapEngine engine;
    QTemporaryDir dir;
    if (!openEngine(engine, state))
        return;
    const BenchView view = viewOf(state);
    const QString path = dir.filePath(QStringLiteral("map0.bmp"));
    renderView(engine, view, path);
    for (auto _ : state)
        renderView(engine, view, path);
}

// A panel drawn by an engine that has just opened the map: every tile is read and decoded.
void BM_RenderCold(benchmark::State& state) {
    QTemporaryDir dir;
    const BenchView view = viewOf(state);
    const QString path = dir.filePath(QStringLiteral("map0.bmp"));
    for (auto _ : state) {
        state.PauseTiming();
        auto engine = std::make_unique<MapEngine>();
        if (!openEngine(*engine, state))
            return;
        state.ResumeTiming();
        renderView(*engine, view, path);
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
}

// The engine calls of one place description that finds no POI name at the point: the name, the route
// text written to its file, and the nearby search.
void BM_DescribeLocationWarm(benchmark::State& state) {
    MapEngine engine;
    QTemporaryDir dir;
    if (!openEngine(engine, state))
        return;
    const BenchMap& bench = benchMap();
    const QString route = dir.filePath(QStringLiteral("route.txt"));
    auto describe = [&] {
        int32_t x = bench.x + 123;
        int32_t y = bench.y + 77;
        QString name;
        engine.GetPlaceName(x, y, name);
        int32_t value = 0;
        engine.ClearRoute();
        engine.SetRouteOption(0);
        engine.PlanRoute(x, y, x, y, value);
        engine.SaveRouteText(route, value);
        engine.SetSearchPoint(x, y);
        engine.SetZoom(16);
        engine.SearchNearby(x, y, 5000);
        engine.GetResultCount(value);
        QString s1, s2, s3, s4;
        engine.GetResult(0, s1, s2, s3, s4, value);
        engine.ClearRoute();
        benchmark::DoNotOptimize(s1);
    };
    describe();
    for (auto _ : state)
        describe();
}

// Every zoom level of the panels, on a small panel's view and on a full screen.
void views(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"zoom", "width", "height"});
    for (const auto& [width, height] : {std::pair{704, 448}, std::pair{1920, 1080}}) {
        for (int zoom = 6; zoom <= 14; ++zoom)
            bench->Args({zoom, width, height});
    }
    bench->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_RenderWarm)->Apply(views);
BENCHMARK(BM_RenderCold)->Apply(views);
BENCHMARK(BM_DescribeLocationWarm)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
