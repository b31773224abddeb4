// The database on a full position log written in call order: 1,000 terminals with 5,000 rows each
// (5 million rows, one fix every ten minutes for about 35 days) and 10,000 vehicles. Measures the call
// cycle's retention delete and insert of one report (on a copy of the log of its own), the track query of
// one terminal for one day and for one month, and the vehicle list load.

#include "commlog_database.h"
#include "data/records.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

using namespace kestrova;
using namespace kestrova::bench;

// The call cycle's write for one report: the terminal's rows at or before the cut-off go (here its
// oldest row), then the new row is inserted; the two commit together. Its rows are its own: the queries
// below find every row that the log was built with.
void BM_DeleteThenInsertCommLog(benchmark::State& state) {
    static const std::unique_ptr<LogDatabase> copy = LogDatabase::copy();
    LogDatabase& log = *copy;
    IterationTimes times;
    int terminal = 0;
    for (auto _ : state) {
        const QString key = TerminalOf(terminal);
        const QString cutOff = DbTimeOf(terminal, log.oldest[terminal]++);
        const QString now = DbTimeOf(terminal, ++log.newest[terminal]);
        times.start();
        // As a report writes them: one transaction.
        SqlTransaction report = log.db.BeginTransaction();
        log.db.DeleteCommLog(key, cutOff);
        log.db.InsertCommLog(key, now, kCheckRealTime, kEastLongitude, 121.56123, kNorthLatitude, 25.03456, 42.5f,
                             271.3f, 12.125f, kHealthyNew, QStringLiteral("凱斯特市松濤區河濱路一段"));
        report.commit();
        times.stop();
        terminal = (terminal + 1) % kTerminals;
    }
    times.report(state);
}
BENCHMARK(BM_DeleteThenInsertCommLog)->Unit(benchmark::kMillisecond)->UseRealTime();

// The track query of one terminal for the days from to the last, bounded as the query button bounds them.
void RunTrackQuery(benchmark::State& state, const QString& from, const QString& to) {
    LogDatabase& log = LogDatabase::shared();
    IterationTimes times;
    int terminal = 0;
    int rows = 0;
    for (auto _ : state) {
        times.start();
        ResultSet rs = log.db.GetCommLogRecordSet(TerminalOf(terminal), from + QStringLiteral(" 00:00:00"),
                                                  to + QStringLiteral(" 99:99:99"), 0, 1000, 0, 1000000);
        times.stop();
        rows = rs.rowCount();
        benchmark::DoNotOptimize(rs);
        terminal = (terminal + 7) % kTerminals;
    }
    times.report(state);
    state.counters["rows"] = rows;
}

// One whole day (144 fixes).
void BM_GetCommLogRecordSetOneDay(benchmark::State& state) {
    RunTrackQuery(state, QStringLiteral("2024/01/20"), QStringLiteral("2024/01/20"));
}
BENCHMARK(BM_GetCommLogRecordSetOneDay)->Unit(benchmark::kMillisecond)->UseRealTime();

// One whole month (4,320 fixes), the track grid's usual query.
void BM_GetCommLogRecordSetOneMonth(benchmark::State& state) {
    RunTrackQuery(state, QStringLiteral("2024/01/01"), QStringLiteral("2024/01/30"));
}
BENCHMARK(BM_GetCommLogRecordSetOneMonth)->Unit(benchmark::kMillisecond)->UseRealTime();

// The vehicle list load: the whole Vehicle table through the walk into records.
void BM_LoadVehiclesThroughWalk(benchmark::State& state) {
    LogDatabase& log = LogDatabase::shared();
    IterationTimes times;
    int loaded = 0;
    for (auto _ : state) {
        times.start();
        std::vector<VehicleRecord> vehicles;
        log.db.OpenVehicleRecordset();
        VehicleRecord r;
        while (log.db.FetchVehicleRecord(r.SeqNO, r.PlateNumber, r.PhoneNumber, r.CarBrand, r.DriveName, r.TelNumber1,
                                         r.TelNumber2, r.MobileNumber1, r.MobileNumber2, r.StrCaution, r.EndCaution,
                                         r.CarType, r.Dial, r.DialTime, r.CheckPoint, r.EW, r.X, r.NS, r.Y, r.Speed,
                                         r.Direction, r.Offset, r.Healthy)) {
            vehicles.push_back(r);
        }
        log.db.CloseVehicleRecordset();
        times.stop();
        loaded = static_cast<int>(vehicles.size());
        benchmark::DoNotOptimize(vehicles);
    }
    times.report(state);
    state.counters["vehicles"] = loaded;
}
BENCHMARK(BM_LoadVehiclesThroughWalk)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
