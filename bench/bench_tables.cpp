// Speed of the tide times of a month: a rate evaluation every 30 s over the
// month and a day on each side, a height at each turning point. Run:
// build/bench/haliome_bench --benchmark_filter="MonthTide|SecondaryPort"
#include <benchmark/benchmark.h>

#include "bench/example_port.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/waves.h"
#include "tables/porttide.h"
#include "tables/tidetimes.h"

namespace {

// March of the example year (2009): 31 days, with the change to summer time,
// from 5, 42 or 100 waves fitted to the year, fast paths or the
// straightforward scan; with the nodal corrections (nodal 1), March 2012
// from the waves of 2009, each day with its own waves.
void BM_MonthTideTimes(benchmark::State& state)
{
    LoadExamplePort();
    FitWaves(static_cast<int>(state.range(0)));
    const bool exportable = state.range(1) != 0;
    UseComputation(state.range(2) != 0);
    Model.NodalCorrections = static_cast<int>(state.range(3));
    const MonthBounds month = *MonthBoundsOf(Header.StartYear + 3 * Model.NodalCorrections, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(MonthReportLines(month, exportable));
    Model.NodalCorrections = 0;
    UseComputation(true);
}
BENCHMARK(BM_MonthTideTimes)->ArgNames({"waves", "exportable", "fast", "nodal"})
    ->Args({5, 0, 0, 0})->Args({5, 0, 1, 0})->Args({5, 1, 1, 0})->Args({42, 0, 0, 0})->Args({42, 0, 1, 0})
    ->Args({42, 1, 1, 0})->Args({100, 0, 0, 0})->Args({100, 0, 1, 0})->Args({100, 1, 1, 0})
    ->Args({42, 0, 0, 1})->Args({42, 0, 1, 1})->Args({100, 0, 0, 1})->Args({100, 0, 1, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// A secondary port's heights, as the chart and `predict` take them: a year
// of the example's 42 waves every 10 minutes (52,560 heights), through the
// kept spans of tides (direct 0) or a scan around each height (direct 1, a
// thousand heights only: the definition, far slower), against the waves'
// own heights (a port with no offsets, secondary 0).
void BM_SecondaryPortHeights(benchmark::State& state)
{
    LoadExamplePort();
    FitWaves(42);
    const bool secondary = state.range(0) != 0, direct = state.range(1) != 0;
    if (secondary)
        Header.Offsets = TideOffsets{"Vlissingen", {-16, 0.77, true}, {-11, 0.8, true}};
    const int heights = direct ? 1000 : 52560;
    for (auto _ : state)
        for (int k = 0; k < heights; ++k)
            benchmark::DoNotOptimize(direct ? PortHeightDirect(600.0 * k) : PortHeight(600.0 * k));
    state.SetItemsProcessed(state.iterations() * heights);
    Header.Offsets.reset();
}
BENCHMARK(BM_SecondaryPortHeights)->ArgNames({"secondary", "direct"})->Args({0, 0})->Args({1, 0})->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
