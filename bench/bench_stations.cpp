// Speed of the station catalogue: opening it and reading every station's
// name, a search as the user types, and a year of high and low waters for
// every accepted tide station (two processes, one a core). Run:
// build/bench/haliome_bench --benchmark_filter=Station
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "exports/tides.h"
#include "files/catalogue.h"
#include "files/station.h"
#include "shell/exportcommands.h"
#include "shell/stationcommands.h"

namespace {

const char* CataloguePathForBench()
{
    return HALIOME_BENCH_CATALOGUE;
}

bool Open(benchmark::State& state)
{
    std::string message;
    if (OpenCatalogueFile(CataloguePathForBench(), message))
        return true;
    state.SkipWithError(message.c_str());
    return false;
}

// A fresh open each time: the file read, checked and every name read.
void BM_StationCatalogueOpenAndNames(benchmark::State& state)
{
    for (auto _ : state) {
        std::string message;
        CloseCatalogue();
        if (!OpenCatalogueFile(CataloguePathForBench(), message)) {
            state.SkipWithError(message.c_str());
            break;
        }
        std::size_t chars = 0;
        for (int i = 0; i < StationCount(); ++i)
            chars += StationNameAt(i).size();
        benchmark::DoNotOptimize(chars);
    }
}
BENCHMARK(BM_StationCatalogueOpenAndNames)->Unit(benchmark::kMillisecond);

void BM_StationSearch(benchmark::State& state)
{
    if (!Open(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(FindStations({"san", "", std::nullopt, false}));
}
BENCHMARK(BM_StationSearch)->Unit(benchmark::kMillisecond);

// Stations first to last of the accepted tide ones, a year (2027) each.
std::size_t YearsOfTides(const std::vector<int>& stations, std::size_t first, std::size_t last)
{
    std::size_t tides = 0;
    const TimeSpan year = *SpanOf(2027, WHOLE_YEAR);
    for (std::size_t k = first; k < last; ++k) {
        std::string message;
        const std::optional<StationModel> model = StationModelOf(stations[k], 2027, message);
        if (!model)
            continue;
        if (!MakeStationThePort(*model, message))
            continue;
        tides += TidesIn(year)->size();
    }
    return tides;
}

void BM_StationYearOfTidesEveryStation(benchmark::State& state)
{
    if (!Open(state))
        return;
    const std::vector<int> stations = FindStations({});
    const auto processes = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        std::vector<pid_t> children;
        for (std::size_t p = 0; p < processes; ++p) {
            const pid_t child = fork();
            if (child == 0)
                _exit(YearsOfTides(stations, stations.size() * p / processes,
                                   stations.size() * (p + 1) / processes) > 0 ? 0 : 1);
            children.push_back(child);
        }
        for (pid_t child : children)
            waitpid(child, nullptr, 0);
    }
    // The children's processor time: on a machine shared with others the
    // real time says more of the others than of the work.
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    const double cpu = static_cast<double>(children.ru_utime.tv_sec + children.ru_stime.tv_sec) +
                       1e-6 * static_cast<double>(children.ru_utime.tv_usec + children.ru_stime.tv_usec);
    state.counters["stations"] = static_cast<double>(stations.size());
    state.counters["cpu_s"] = cpu;
    state.counters["cpu_ms_per_station"] = 1000 * cpu / static_cast<double>(stations.size());
}
BENCHMARK(BM_StationYearOfTidesEveryStation)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// One station-year, Brest, on one core.
void BM_StationYearOfTidesBrest(benchmark::State& state)
{
    if (!Open(state))
        return;
    std::vector<int> same;
    const std::vector<int> brest{*StationCalled("ticon/brest-822-fra-uhslc_fd", same)};
    for (auto _ : state)
        benchmark::DoNotOptimize(YearsOfTides(brest, 0, 1));
}
BENCHMARK(BM_StationYearOfTidesBrest)->Unit(benchmark::kMillisecond);

}  // namespace
