// Joining the pieces of one street before its name is placed along it: a street of 100,000 or 250,000
// two-point pieces, as a tile may list them, from the street's near end or from its far end. Both orders
// should cost the same; the counter far_over_near is the far order's time over the near order's.

#include "bench_application.h"
#include "map/line_label.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

using kestrova::Polyline;

std::vector<Polyline> streetPieces(std::size_t count) {
    std::vector<Polyline> pieces;
    pieces.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        pieces.push_back({QPointF(double(i), 0), QPointF(double(i + 1), 0)});
    return pieces;
}

// The seconds one merge of the pieces takes (copying them is not counted).
double mergeSeconds(const std::vector<Polyline>& pieces) {
    std::vector<Polyline> copy = pieces;
    const auto start = std::chrono::steady_clock::now();
    std::vector<Polyline> merged = kestrova::mergeLines(std::move(copy));
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    benchmark::DoNotOptimize(merged.data());
    return spent.count();
}

void BM_MergeStreetPieces(benchmark::State& state) {
    const std::vector<Polyline> nearFirst = streetPieces(std::size_t(state.range(0)));
    const std::vector<Polyline> farFirst(nearFirst.rbegin(), nearFirst.rend());
    double nearTotal = 0;
    double farTotal = 0;
    for (auto _ : state) {
        const double nearSeconds = mergeSeconds(nearFirst);
        const double farSeconds = mergeSeconds(farFirst);
        nearTotal += nearSeconds;
        farTotal += farSeconds;
        state.SetIterationTime(nearSeconds + farSeconds);
    }
    state.counters["far_over_near"] = nearTotal > 0 ? farTotal / nearTotal : 0;
}

} // namespace

BENCHMARK(BM_MergeStreetPieces)
    ->ArgName("pieces")
    ->Arg(100'000)
    ->Arg(250'000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
