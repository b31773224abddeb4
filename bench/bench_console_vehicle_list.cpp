// LoadVehicleList plus the list refresh that showing the list runs, for a register of 10,000 vehicles,
// each with a position in the demo town, so every row asks the demo map for its place description. The
// main window is the real one, shown on the offscreen platform. The map and pictures come from the
// build's kestrova/ folder (targets demo_map and program_images) or the folder KESTROVA_BENCH_FOLDER
// names; the database is made in a temporary folder.

#include "bench_register.h"
#include "bench_support.h"
#include "console/frm_kestrova.h"
#include "console/vehicle_list_widget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace kestrova;
using kestrova::bench::application;
using kestrova::bench::SkippingBox;

constexpr int kVehicleCount = 10000;

void writeSettings(const QString& path) {
    QFile ini(path);
    if (ini.open(QIODevice::WriteOnly)) {
        ini.write("[Settings]\r\nDefaultTimeout=10\r\nAutoTimeout=20\r\nManualTimeout=120\r\nCommPort=1\r\n"
                  "EnablePCSound=1\r\nLogDuration=30\r\nTotalCycleTime=120\r\nVelocity=1\r\n"
                  "[Nv5]\r\nProfile=demo-style.json\r\nMap=demo.mbtiles\r\nMmh=demo-background.mbtiles\r\n"
                  "[ColumnWidths]\r\nSStab=False\r\n");
    }
}

void BM_LoadVehicleListAndRefresh(benchmark::State& state) {
    application();
    const QDir build(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    const QString chosen = qEnvironmentVariable("KESTROVA_BENCH_FOLDER");
    const QDir source(chosen.isEmpty() ? build.filePath(QStringLiteral("kestrova")) : chosen);
    if (!QFile::exists(source.filePath(QStringLiteral("nv5/demo.mbtiles"))) ||
        !QFile::exists(source.filePath(QStringLiteral("carimage/C-Rv/car000.gif")))) {
        state.SkipWithError("the program folder lacks the demo map or the pictures");
        return;
    }
    QTemporaryDir folder;
    const QDir target(folder.path());
    for (const char* name : {"nv5", "carimage", "icons"}) {
        QFile::link(source.filePath(QLatin1String(name)), target.filePath(QLatin1String(name)));
    }
    target.mkpath(QStringLiteral("image"));
    writeSettings(target.filePath(QStringLiteral("Kestrova.ini")));
    bench::FillRegister(DatabasePath(folder.path()), kVehicleCount);

    SkippingBox box(state);
    bool ended = false;
    ProgramEnd programEnd(box, [&ended] { ended = true; });
    SystemClock clock;
    frmKestrova window(folder.path(), box, programEnd, clock);
    window.resize(1280, 800);
    window.Form_Load();
    window.show();
    QCoreApplication::processEvents();
    if (ended) {
        return;
    }

    for (auto _ : state) {
        window.LoadVehicleList();
        // Hidden, so that the toggle shows the list and refreshes every row.
        window.state().ListVisible = false;
        window.CarList_Click();
    }
    state.counters["rows"] = window.lvwVehicle()->rowCount();
}
BENCHMARK(BM_LoadVehicleListAndRefresh)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
