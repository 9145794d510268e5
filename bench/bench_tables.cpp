// Speed of the tide times of a month: a rate evaluation every 30 s over the
// month and a day on each side, a height at each turning point. Run:
// build/bench/haliome_bench --benchmark_filter=MonthTide
#include <benchmark/benchmark.h>

#include "bench/example_port.h"
#include "model/record.h"
#include "model/waves.h"
#include "tables/tidetimes.h"

namespace {

// The example port's year (2009) as the model's origin, with the five
// default waves made active, or its fitted waves.
void UseWaves(int count)
{
    LoadExamplePort();
    if (count == 5) {
        SetDefaultWaves();
        WaveSet.count = 5;
        return;
    }
    FitWaves(count);
}

// March of the model's year: 31 days, with the change to summer time.
void BM_MonthTideTimes(benchmark::State& state)
{
    UseWaves(static_cast<int>(state.range(0)));
    const bool exportable = state.range(1) != 0;
    const MonthBounds month = *MonthBoundsOf(Header.StartYear, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(MonthReportLines(month, exportable));
}
BENCHMARK(BM_MonthTideTimes)->ArgNames({"waves", "exportable"})
    ->Args({5, 0})->Args({5, 1})->Args({42, 0})->Args({42, 1})->Unit(benchmark::kMillisecond);

}  // namespace
