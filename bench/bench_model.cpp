// Speed of the model, the fits and the record file on the example port's
// year of hourly heights. Run: build/bench/haliome_bench
#include <benchmark/benchmark.h>

#include "analysis/fitting.h"
#include "analysis/jointfit.h"
#include "analysis/knownwaves.h"
#include "base/options.h"
#include "bench/example_port.h"
#include "files/recordfile.h"
#include "model/modeloptions.h"
#include "model/waves.h"
#include "platform/headless/headless.h"

namespace {

// One wave fitted after 5 or 42, with the residual already kept (fast 1)
// or computed again (fast 0), by demodulation or by phase search.
void BM_DetermineWave(benchmark::State& state)
{
    LoadExamplePort();
    Options.UseFourier = static_cast<int>(state.range(1));
    FitWaves(static_cast<int>(state.range(0)));
    UseComputation(state.range(2) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(DetermineWave(12.4206012 * 3600));
    UseComputation(true);
    Options.UseFourier = 1;
}
BENCHMARK(BM_DetermineWave)->ArgNames({"waves", "fourier", "fast"})
    ->Args({5, 1, 0})->Args({5, 1, 1})->Args({42, 1, 0})->Args({42, 1, 1})->Args({5, 0, 1})->Args({42, 0, 1})
    ->Unit(benchmark::kMillisecond);

// "Toutes ondes connues" after the start-up's five waves: 37 fits, 5 to 41
// waves in the set, on the example year or 19 years of it; with the nodal
// corrections (nodal 1) the lunar ones against their modulated form.
void BM_AllKnownWaves(benchmark::State& state)
{
    LoadExamplePort(static_cast<int>(state.range(2)));
    Model.NodalCorrections = static_cast<int>(state.range(1));
    UseComputation(true);
    FitWaves(5);
    UseComputation(state.range(0) != 0);
    for (auto _ : state) {
        WaveSet.count = 5;
        AddAllKnownWaves();
    }
    UseComputation(true);
    Model.NodalCorrections = 0;
}
BENCHMARK(BM_AllKnownWaves)->ArgNames({"fast", "nodal", "years"})
    ->Args({0, 0, 1})->Args({1, 0, 1})->Args({0, 1, 1})->Args({1, 1, 1})->Args({1, 0, 19})->Args({1, 1, 19})
    ->Unit(benchmark::kMillisecond);

// "Analyse harmonique": the mean level and the known waves (37), or the known
// and shallow-water waves (59), fitted together with their intervals, on
// the example year or 19 years of it, the Rayleigh number a hundredth
// under 1 so that a single year keeps all 59; the sums the straightforward
// way (fast 0) or the fast one.
void BM_JointAnalysis(benchmark::State& state)
{
    LoadExamplePort(static_cast<int>(state.range(2)));
    Model.NodalCorrections = static_cast<int>(state.range(1));
    const std::vector<JointCandidate> candidates =
        CandidatesOf(state.range(3) == KNOWN_WAVE_COUNT ? JointSet::Known : JointSet::KnownAndShallow);
    UseComputation(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(FitJointly(candidates, 0.99));
    UseComputation(true);
    Model.NodalCorrections = 0;
}
BENCHMARK(BM_JointAnalysis)->ArgNames({"fast", "nodal", "years", "waves"})
    ->Args({0, 0, 1, 59})->Args({1, 0, 1, 37})->Args({1, 0, 1, 59})->Args({1, 1, 1, 59})
    ->Args({1, 0, 19, 59})->Args({1, 1, 19, 59})
    ->Unit(benchmark::kMillisecond);

void BM_LoadRecordFile(benchmark::State& state)
{
    headless::Reset();
    RecordFilePath = HALIOME_EXAMPLE_RECORD;
    for (auto _ : state)
        LoadRecordFile();
}
BENCHMARK(BM_LoadRecordFile)->Unit(benchmark::kMillisecond);

void BM_PredictHeight(benchmark::State& state)
{
    LoadExamplePort();
    FitWaves(42);
    double t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PredictHeight(t, 0));
        t += 30;
    }
}
BENCHMARK(BM_PredictHeight);

}  // namespace

BENCHMARK_MAIN();
