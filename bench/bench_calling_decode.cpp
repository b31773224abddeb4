#include "calling/position_report.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace kestrova;

// Classifying and decoding one received report line, as the receive handler does for each line.
static void BM_DecodePositionReport(benchmark::State& state)
{
    std::vector<QString> lines;
    for (int i = 0; i < 64; ++i) {
        const auto fields = PlainReportFromFix(25.0 + i * 0.001, 121.5 + i * 0.001, i * 1.5, i * 5.0, true);
        lines.push_back(ScramblePositionReport(PlainDigitsOf(fields), i % 10, (i * 3) % 10, (i * 7) % 10));
    }
    size_t next = 0;
    for (auto _ : state) {
        const QString& line = lines[next++ % lines.size()];
        if (ClassifyReportLine(line) == ReportFrame::PositionReport)
            benchmark::DoNotOptimize(DecodePositionReport(line, 121.55, 25.03));
    }
}
BENCHMARK(BM_DecodePositionReport);
