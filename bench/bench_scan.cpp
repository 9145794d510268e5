// Speed of the period scan and of the FFT detection on the example port's
// year of hourly heights. Run: build/bench/haliome_bench --benchmark_filter='Scan|Fft'
#include <benchmark/benchmark.h>

#include "analysis/fftdetect.h"
#include "analysis/scan.h"
#include "bench/example_port.h"
#include "model/waves.h"

namespace {

// The band presets of "Détermination des périodes" (11.75–13, 23–25, 5–37
// and 3–50 h, in seconds) after the start-up's five waves; each sweep
// appends one wave, taken off again.
void BM_ScanPeriods(benchmark::State& state)
{
    LoadExamplePort();
    FitWaves(5);
    const auto lo = static_cast<int>(state.range(0));
    const auto hi = static_cast<int>(state.range(1));
    for (auto _ : state) {
        ScanPeriods(lo, hi);
        WaveSet.count = 5;
    }
}
BENCHMARK(BM_ScanPeriods)->ArgNames({"lo", "hi"})
    ->Args({42300, 46800})->Args({82800, 90000})->Args({18000, 133200})->Args({10800, 180000})
    ->Unit(benchmark::kMillisecond);

// "Méthode FFT" with 5 and with 42 waves already in the set.
void BM_DetectWaveByFft(benchmark::State& state)
{
    LoadExamplePort();
    FitWaves(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(DetectWaveByFft());
}
BENCHMARK(BM_DetectWaveByFft)->ArgName("waves")->Arg(5)->Arg(42)->Unit(benchmark::kMillisecond);

}  // namespace
