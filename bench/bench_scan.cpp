// Speed of the period sweeps and of the FFT detection on the example port's
// hourly heights, fast paths against the straightforward definitions (fast 0)
// in the same run. Run: build/bench/haliome_bench --benchmark_filter='Sweep|Fft'
#include <benchmark/benchmark.h>

#include "analysis/fftdetect.h"
#include "analysis/scan.h"
#include "bench/example_port.h"
#include "model/waves.h"

namespace {

// A band of "Détermination des périodes" (seconds) swept after a number of
// waves, on a record of some years, with a number of threads (0: one per
// core). Each sweep appends one wave, taken off again.
void BM_Sweep(benchmark::State& state)
{
    const auto lo = static_cast<int>(state.range(0));
    const auto hi = static_cast<int>(state.range(1));
    LoadExamplePort(static_cast<int>(state.range(3)));
    UseComputation(true);
    FitWaves(static_cast<int>(state.range(2)));
    UseComputation(state.range(4) != 0, static_cast<unsigned>(state.range(5)));
    const int count = WaveSet.count;
    for (auto _ : state) {
        ScanPeriods(lo, hi);
        WaveSet.count = count;
    }
    UseComputation(true);
}
BENCHMARK(BM_Sweep)->ArgNames({"lo", "hi", "waves", "years", "fast", "threads"})
    ->Args({42300, 46800, 5, 1, 0, 1})->Args({42300, 46800, 5, 1, 1, 1})
    ->Args({42300, 46800, 42, 1, 0, 1})->Args({42300, 46800, 42, 1, 1, 1})
    ->Args({82800, 90000, 5, 1, 0, 1})->Args({82800, 90000, 5, 1, 1, 1})
    ->Args({18000, 133200, 5, 1, 0, 1})->Args({18000, 133200, 5, 1, 1, 1})
    ->Args({10800, 180000, 5, 1, 0, 1})->Args({10800, 180000, 5, 1, 1, 1})
    ->Args({18000, 133200, 5, 19, 0, 1})->Args({18000, 133200, 5, 19, 1, 1})->Args({18000, 133200, 5, 19, 1, 2})
    ->Args({18000, 133200, 42, 19, 1, 2})
    ->Unit(benchmark::kMillisecond)->MinTime(0.3);

// "Méthode FFT" with 5 and with 42 waves already in the set.
void BM_DetectWaveByFft(benchmark::State& state)
{
    LoadExamplePort();
    FitWaves(static_cast<int>(state.range(0)));
    UseComputation(state.range(1) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(DetectWaveByFft());
    UseComputation(true);
}
BENCHMARK(BM_DetectWaveByFft)->ArgNames({"waves", "fast"})
    ->Args({5, 0})->Args({5, 1})->Args({42, 0})->Args({42, 1})->Unit(benchmark::kMillisecond);

}  // namespace
