// The first open of a position log made by an earlier build (5 million rows written in call order, CommLog
// indexed on terminal and time only): the upgrade at the open builds the CommLog index of whole rows and
// drops the earlier one. Each iteration opens a fresh copy of that log; the copy is not timed.

#include "commlog_database.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

using namespace kestrova;
using namespace kestrova::bench;

void BM_OpenUpgradingEarlierLog(benchmark::State& state) {
    for (auto _ : state) {
        const DatabaseCopy copy(LogFile::path(LogStorage::EarlierBuild));
        const auto start = std::chrono::steady_clock::now();
        clsDBLib db;
        db.OpenConnection(copy.path);
        state.SetIterationTime(Seconds(start));
        db.CloseConnection();
        state.counters["file_mb"] = double(QFileInfo(copy.path).size()) / (1024 * 1024);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["max_rss_mb"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_OpenUpgradingEarlierLog)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1)->Repetitions(3);

} // namespace
