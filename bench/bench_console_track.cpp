// The track query on the full position log: the query button for one vehicle and one month (4,320 rows:
// reset, query and grid bind; another vehicle each time), and one playback step on the demo map (the row
// copy and panel 7's redraw after the tile caches are warm; one step is Timer4's tick and the Timer3 tick
// that follows it). The program folder is the build's kestrova/ (targets demo_map and program_images) or
// the one KESTROVA_BENCH_FOLDER names.

#include "bench_support.h"
#include "commlog_database.h"
#include "console/main_toolbar.h"
#include "console/map_panel_choosers.h"
#include "console/map_panel_widget.h"
#include "console/map_panels.h"
#include "console/track_query.h"
#include "console/track_query_frame.h"
#include "console/vehicle_list_cells.h"
#include "console/vehicle_list_widget.h"
#include "map/map_engine.h"
#include "track/track_grid_model.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <vector>

namespace {

using namespace kestrova;
using namespace kestrova::bench;

// The demo town's centre, where the played-back vehicle drives.
constexpr double kTownX = 121.556;
constexpr double kTownY = 25.03;
constexpr int kPlaybackRows = 200;

// A vehicle of the console: plate number and terminal.
struct ConsoleVehicle {
    QString plate;
    QString terminal;
};

// The track-query side of the main window: the frame, the grid, both timers, the tool bar, the vehicle
// list with the vehicles given, panel 7 on the demo map with the first vehicle chosen, and the track query
// over db.
struct TrackConsole {
    TrackConsole(benchmark::State& benchState, clsDBLib& db, const std::vector<ConsoleVehicle>& vehicles)
        : box(benchState) {
        const QDir build(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
        const QString chosen = qEnvironmentVariable("KESTROVA_BENCH_FOLDER");
        const QDir source(chosen.isEmpty() ? build.filePath(QStringLiteral("kestrova")) : chosen);
        for (const char* name : {"carimage", "icons"})
            QFile::link(source.filePath(QLatin1String(name)), QDir(folder.path()).filePath(QLatin1String(name)));
        QDir(folder.path()).mkpath(QStringLiteral("image"));
        ready = engine.LoadProfile(source.filePath(QStringLiteral("nv5/demo-style.json"))) != 0 &&
                engine.OpenMap(source.filePath(QStringLiteral("nv5/demo.mbtiles"))) != 0;

        for (int i = 0; i < kMapPanelCount; ++i)
            widgets[i] = new MapPanelWidget(static_cast<int16_t>(i), folder.path(), &window);
        widgets[kTrackPanel]->setGeometry(0, 0, 640, 480);
        widgets[kTrackPanel]->setZoomCaption(QStringLiteral("14"));
        frame = new TrackQueryFrame(folder.path(), &window);
        frame->adoptVehicleChooser(widgets[kTrackPanel]->cmbVehicle());
        grid = new QTableView(&window);
        toolbar = new MainToolbar(folder.path(), {}, &window);
        list = new VehicleListWidget(&window);
        timer3.setInterval(50);

        choosers = std::make_unique<MapPanelChoosers>(widgets);
        for (const ConsoleVehicle& added : vehicles) {
            VehicleRecord vehicle;
            vehicle.PlateNumber = added.plate;
            vehicle.PhoneNumber = added.terminal;
            vehicle.CarType = 2;
            state.Vehicles.push_back(vehicle);
            list->addRow(VehicleRowKey(vehicle), VehicleRowTexts(vehicle));
            choosers->addItem(kTrackPanel, added.plate);
        }
        state.Vehicles.push_back(VehicleRecord{});
        state.MapEngine = &engine;
        state.CurrentVehicle = -1;
        choosers->setListIndex(kTrackPanel, 0);
        window.show();

        std::array<MapPanelView*, kMapPanelCount> views{};
        std::copy(widgets.begin(), widgets.end(), views.begin());
        panels = std::make_unique<MapPanels>(MapPanelsCollaborators{state, views, folder.path(), programEnd, {}});
        track = std::make_unique<TrackQuery>(
            TrackQueryParts{state, db, *frame, *grid, timer3, timer4, *toolbar, *choosers, *list, programEnd,
                            [this](int16_t Index) { panels->RefreshMapPanels(Index); }, [] {}});
        for (QLineEdit* box : {frame->txtFromSpeed(), frame->txtToSpeed(), frame->txtFromOffset()})
            box->setText(QStringLiteral("0"));
        frame->txtToSpeed()->setText(QStringLiteral("1000"));
        frame->txtToOffset()->setText(QStringLiteral("1000000"));
    }

    void setDays(const QDate& from, const QDate& to) {
        frame->dtpFromTime()->setDate(from);
        frame->dtpToTime()->setDate(to);
    }

    QApplication& app = application(); // before any widget
    QTemporaryDir folder;
    QWidget window;
    std::array<MapPanelWidget*, kMapPanelCount> widgets{};
    TrackQueryFrame* frame = nullptr;
    QTableView* grid = nullptr;
    MainToolbar* toolbar = nullptr;
    VehicleListWidget* list = nullptr;
    QTimer timer3;
    QTimer timer4;
    MapEngine engine;
    MainWindowState state;
    SkippingBox box;
    ProgramEnd programEnd{box, [] {}};
    std::unique_ptr<MapPanelChoosers> choosers;
    std::unique_ptr<MapPanels> panels;
    std::unique_ptr<TrackQuery> track;
    bool ready = false;
};

// Each query is for another of 50 vehicles, as the data benchmarks take another terminal each time, so
// that no query finds the pages of the one before in the database's cache.
void BM_QueryOneVehicleMonth(benchmark::State& benchState) {
    LogDatabase& log = LogDatabase::shared();
    constexpr int kQueried = 50;
    std::vector<ConsoleVehicle> vehicles;
    for (int i = 0; i < kQueried; ++i)
        vehicles.push_back({QStringLiteral("V%1").arg(i, 5, 10, QChar(u'0')), TerminalOf(i * 7)});
    TrackConsole console(benchState, log.db, vehicles);
    console.setDays(QDate(2024, 1, 1), QDate(2024, 1, 30));
    IterationTimes times;
    int rows = 0;
    int queried = 0;
    for (auto _ : benchState) {
        console.choosers->setListIndex(kTrackPanel, queried++ % kQueried);
        times.start();
        console.track->cmdQuery_Click();
        times.stop();
        rows = console.track->dataSource()->rowCount();
    }
    times.report(benchState);
    benchState.counters["rows"] = rows;
}
BENCHMARK(BM_QueryOneVehicleMonth)->Unit(benchmark::kMillisecond)->UseRealTime();

// A database of its own with one vehicle's drive through the demo town, a fix a minute.
struct TownDrive {
    TownDrive() {
        const QString path = DatabasePath(folder.path());
        CreateDatabase(path);
        db.OpenConnection(path);
        for (int i = 0; i < kPlaybackRows; ++i) {
            const QString time = QDateTime(QDate(2024, 3, 5), QTime(8, 0), Qt::UTC)
                                     .addSecs(60 * i)
                                     .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
            db.InsertCommLog(QStringLiteral("0912000201"), time, kCheckRealTime, kEastLongitude,
                             kTownX + 0.0002 * (i % 40), kNorthLatitude, kTownY + 0.0001 * (i % 30), 36, 45.0F * i, 20,
                             kHealthyNew, QStringLiteral("河濱路"));
        }
    }
    QTemporaryDir folder;
    clsDBLib db;
};

void BM_PlaybackStep(benchmark::State& benchState) {
    TownDrive drive;
    TrackConsole console(benchState, drive.db, {{QStringLiteral("KS-201"), QStringLiteral("0912000201")}});
    if (!console.ready) {
        benchState.SkipWithError("the demo map is missing: build demo_map and program_images");
        return;
    }
    console.setDays(QDate(2024, 3, 5), QDate(2024, 3, 5));
    console.track->cmdQuery_Click();
    const auto step = [&console] {
        if (!console.timer4.isActive())
            console.track->cmdPlay_Click();
        console.track->Timer4_Timer();
        if (console.timer3.isActive())
            console.track->Timer3_Timer();
    };
    for (int i = 0; i <= kPlaybackRows; ++i) // one pass warms the tile caches
        step();
    IterationTimes times;
    for (auto _ : benchState) {
        times.start();
        step();
        times.stop();
    }
    times.report(benchState);
}
BENCHMARK(BM_PlaybackStep)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
