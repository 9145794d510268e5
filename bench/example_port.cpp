#include "bench/example_port.h"

#include <cstdint>
#include <vector>

#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "files/recordfile.h"
#include "model/record.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "tests/support/computation_choice.h"

void LoadExamplePort(int years)
{
    headless::Reset();
    RecordFilePath = HALIOME_EXAMPLE_RECORD;
    LoadRecordFile();
    if (years == 1)
        return;
    const std::int32_t days = RecordSeries.RecordDays;
    const std::vector<std::int32_t> year(RecordSeries.RecordValues.begin(), RecordSeries.RecordValues.end() - 1);
    std::vector<std::int32_t> values;
    for (int i = 0; i < years; ++i)
        values.insert(values.end(), year.begin(), year.end());
    values.push_back(0);
    InstallRecord(days * years, std::move(values));
    DetermineMeanLevel(1);
}

void FitWaves(int count)
{
    WaveSet.count = 0;
    for (int row = 0; row < MENU_WAVE_COUNT && WaveSet.count < count; ++row)
        AddMenuWave(row);
    while (WaveSet.count < count)
        AddKnownWave((WaveSet.count - MENU_WAVE_COUNT) % KNOWN_WAVE_COUNT);
}

void UseComputation(bool fast, unsigned threads)
{
    UseComputation({.fastPaths = fast, .threads = threads});
}
