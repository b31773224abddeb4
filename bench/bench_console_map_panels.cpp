// RefreshMapPanels(0) over eight panels on the demo map: when nothing is new (every caller may ask for
// all panels as often as it likes) against a full redraw of all eight. The program folder is the build's
// kestrova/ (targets demo_map and program_images) or the one KESTROVA_BENCH_FOLDER names; the panel
// bitmaps go to a temporary folder.

#include "bench_support.h"
#include "console/map_panel_choosers.h"
#include "console/map_panel_widget.h"
#include "console/map_panels.h"
#include "map/map_engine.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>

namespace {

using namespace kestrova;
using kestrova::bench::application;
using kestrova::bench::SkippingBox;

// Eight panels laid out for a 1280 x 800 window, all shown, each with its own vehicle near the demo
// town's centre and the three demo landmark kinds.
struct Console {
    explicit Console(benchmark::State& benchState) : box(benchState) {
        const QDir build(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
        const QString chosen = qEnvironmentVariable("KESTROVA_BENCH_FOLDER");
        const QDir source(chosen.isEmpty() ? build.filePath(QStringLiteral("kestrova")) : chosen);
        QFile::link(source.filePath(QStringLiteral("carimage")), QDir(folder.path()).filePath("carimage"));
        QFile::link(source.filePath(QStringLiteral("icons")), QDir(folder.path()).filePath("icons"));
        QDir(folder.path()).mkpath(QStringLiteral("image"));
        ready = engine.LoadProfile(source.filePath(QStringLiteral("nv5/demo-style.json"))) != 0 &&
                engine.OpenMap(source.filePath(QStringLiteral("nv5/demo.mbtiles"))) != 0 &&
                QFile::exists(source.filePath(QStringLiteral("carimage/C-Rv/car000.gif")));

        MainWindowLayoutInputs in;
        in.Visible = true;
        in.SW = 19200;
        in.SH = 12000;
        in.TBH = 600;
        in.SBH = 300;
        const MainWindowLayout layout = computeMainWindowLayout(in).value();
        for (int i = 0; i < kMapPanelCount; ++i) {
            widgets[i] = new MapPanelWidget(static_cast<int16_t>(i), folder.path(), &window);
            widgets[i]->applyLayout(layout.panels[i]);
            widgets[i]->show();
        }

        state.MapEngine = &engine;
        state.CurrentVehicle = -1;
        for (int i = 0; i <= kMapPanelCount; ++i) {
            VehicleRecord v;
            v.PlateNumber = QStringLiteral("AB-%1").arg(1000 + i);
            v.CarType = static_cast<int16_t>(i % 4);
            v.DialTime = QStringLiteral("2004/05/01 13:45:10");
            v.CheckPoint = QStringLiteral("即時位置");
            v.X = 121.5 + 0.002 * i;
            v.Y = 25.04 + 0.001 * i;
            v.Speed = 30;
            v.Direction = 45.0f * static_cast<float>(i);
            v.Healthy = QStringLiteral("00012");
            state.Vehicles.push_back(v);
        }
        for (int kind = 1; kind <= 3; ++kind) {
            CoordinateRecord c;
            c.X = 121.5 + 0.003 * kind;
            c.Y = 25.04;
            c.Kind = QString::number(kind);
            state.Coordinates.push_back(c);
        }
        state.Coordinates.push_back(CoordinateRecord{});

        MapPanelChoosers choosers(widgets);
        state.bLoadingVehicles = true;
        for (int i = 0; i < kMapPanelCount; ++i) {
            for (int j = 0; j < kMapPanelCount; ++j)
                choosers.addItem(i, state.Vehicles[j].PlateNumber);
            choosers.setListIndex(i, i);
        }
        state.bLoadingVehicles = false;
        std::array<MapPanelView*, kMapPanelCount> views{};
        std::copy(widgets.begin(), widgets.end(), views.begin());
        panels = std::make_unique<MapPanels>(MapPanelsCollaborators{state, views, folder.path(), programEnd, {}});
    }

    QApplication& app = application(); // before any widget
    QTemporaryDir folder;
    QWidget window;
    std::array<MapPanelWidget*, kMapPanelCount> widgets{};
    MapEngine engine;
    MainWindowState state;
    SkippingBox box;
    ProgramEnd programEnd{box, [] {}};
    std::unique_ptr<MapPanels> panels;
    bool ready = false;
};

void BM_RefreshMapPanelsUnchanged(benchmark::State& benchState) {
    Console console(benchState);
    if (!console.ready) {
        benchState.SkipWithError("the demo map or the icons are missing: build demo_map and program_images");
        return;
    }
    console.panels->RefreshMapPanels(0);
    for (auto _ : benchState)
        console.panels->RefreshMapPanels(0);
}

void BM_RefreshMapPanelsAllNew(benchmark::State& benchState) {
    Console console(benchState);
    if (!console.ready) {
        benchState.SkipWithError("the demo map or the icons are missing: build demo_map and program_images");
        return;
    }
    console.panels->RefreshMapPanels(0);
    for (auto _ : benchState) {
        benchState.PauseTiming();
        for (MapPanelWidget* panel : console.widgets)
            panel->setMapTag(QString());
        benchState.ResumeTiming();
        console.panels->RefreshMapPanels(0);
    }
}

} // namespace

BENCHMARK(BM_RefreshMapPanelsUnchanged)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RefreshMapPanelsAllNew)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
