// The vehicle records dialog on a register of 10,000 vehicles: opening it (rows read, the first shown,
// the window painted on the offscreen platform), and one "寫入" of a new record (checks, insert, reload,
// the written row shown at its place in plate order).

#include "bench_register.h"
#include "bench_support.h"
#include "dialogs/frm_management.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace kestrova;
using kestrova::bench::application;
using kestrova::bench::SkippingBox;

constexpr int kVehicleCount = 10000;

// One register for both benchmarks, with the dialog's other collaborators.
struct RecordsBench {
    explicit RecordsBench(benchmark::State& state) : box(state), programEnd(box, [] {}) {
        application();
        bench::FillRegister(DatabasePath(folder.path()), kVehicleCount);
        db.OpenConnection(DatabasePath(folder.path()));
    }

    QTemporaryDir folder;
    clsDBLib db;
    SettingsFile settings{folder.path(), CodePage(QByteArrayLiteral("UTF-8"))};
    SkippingBox box;
    ProgramEnd programEnd;
    DialogProtocol protocol;
};

void BM_OpenRecordsDialog(benchmark::State& state) {
    RecordsBench bench(state);
    for (auto _ : state) {
        frmManagement dialog(bench.protocol, bench.db, bench.folder.path(), bench.settings, bench.box,
                             bench.programEnd);
        dialog.Form_Load();
        dialog.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(dialog.CurrentIndex());
    }
}
BENCHMARK(BM_OpenRecordsDialog)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SaveOneRecord(benchmark::State& state) {
    RecordsBench bench(state);
    frmManagement dialog(bench.protocol, bench.db, bench.folder.path(), bench.settings, bench.box, bench.programEnd);
    dialog.Form_Load();
    dialog.show();
    QCoreApplication::processEvents();
    int written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A plate in the middle of the register, a terminal number no vehicle has.
        const QString plate = QStringLiteral("KS-05000-%1").arg(written);
        dialog.button(QStringLiteral("NewRec"))->trigger();
        dialog.VehicleTxt(0)->setText(plate);
        dialog.VehicleTxt(1)->setText(QStringLiteral("08%1").arg(written, 8, 10, QLatin1Char('0')));
        state.ResumeTiming();

        dialog.button(QStringLiteral("WriteRec"))->trigger();

        state.PauseTiming();
        if (dialog.CurrentIndex() != 5001 || dialog.EditMode() != RecordEditMode::Browse) {
            state.SkipWithError("the record was not shown at its place");
            state.ResumeTiming();
            break;
        }
        // The register keeps its size: the next save reloads without this row.
        bench.db.DeleteVehicle(plate);
        ++written;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SaveOneRecord)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
