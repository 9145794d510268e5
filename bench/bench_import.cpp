// Speed of the import of a gauge file: 19 years of hourly heights from a DIA
// export (1 MB, 166 560 values) read, turned into the hourly record and
// installed with its mean level. Run:
// build/bench/haliome_bench --benchmark_filter=Import
#include <benchmark/benchmark.h>

#include <string>

#include "files/measurements.h"
#include "platform/headless/headless.h"

namespace {

void BM_ImportNineteenYears(benchmark::State& state)
{
    headless::Reset();
    const std::string path = HALIOME_FORMATS_DIR "/long-record/VLISSGN_obs19.txt";
    for (auto _ : state) {
        ImportedRecord record;
        std::string message;
        if (!ImportMeasurementFile(path, {}, record, message)) {
            state.SkipWithError(message.c_str());
            break;
        }
        InstallImportedRecord(record);
    }
}
BENCHMARK(BM_ImportNineteenYears)->Unit(benchmark::kMillisecond);

}  // namespace
