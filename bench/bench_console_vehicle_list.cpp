// LoadVehicleList plus the list refresh that showing the list runs, for a register of 10,000 vehicles,
// each with a position in the demo town, so every row asks the demo map for its place description. The
// main window is the real one, shown on the offscreen platform. The map and pictures come from the
// build's kestrova/ folder (targets demo_map and program_images) or the folder KESTROVA_BENCH_FOLDER
// names; the database is made in a temporary folder.

#include "bench_support.h"
#include "console/frm_kestrova.h"
#include "console/vehicle_list_widget.h"
#include "data/db_lib.h"
#include "data/schema.h"
#include "data/sql_connection.h"

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

// The register in one transaction: plates in order, positions on a grid over the demo town.
void fillRegister(const QString& databasePath) {
    CreateDatabase(databasePath);
    SqlConnection db;
    db.open(databasePath, QByteArray(kDatabaseKey), SqlConnection::OpenMode::ExistingOnly);
    db.execute(QStringLiteral("BEGIN"));
    const QString insert = QStringLiteral(
        "INSERT INTO Vehicle (PlateNumber, PhoneNumber, CarBrand, DriveName, TelNumber1, TelNumber2, MobileNumber1, "
        "MobileNumber2, StrCaution, EndCaution, CarType, Dial, DialTime, CheckPoint, EW, X, NS, Y, Speed, Direction, "
        "Offset, Healthy) VALUES (?, ?, '', '', '', '', '', '', 'N', 'N', ?, 1, '2024/03/05 14:03:22', '即時位置', "
        "'東經', ?, '北緯', ?, 42, 90, 0, ?)");
    for (int i = 0; i < kVehicleCount; ++i) {
        const double x = 121.5500 + (i % 100) * 0.0002;
        const double y = 25.0215 + (i / 100) * 0.00017;
        db.run(insert, {QStringLiteral("KS-%1").arg(i, 5, 10, QLatin1Char('0')),
                        QStringLiteral("09%1").arg(i, 8, 10, QLatin1Char('0')), qint64{i % 4}, x, y,
                        QString::fromLatin1(i % 7 == 0 ? "22222" : "00012")});
    }
    db.execute(QStringLiteral("COMMIT"));
    db.close();
}

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
    fillRegister(DatabasePath(folder.path()));

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
