#include "tests/support/analysis_state.h"

#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "model/record.h"

void LoadRealRecord(const std::string& file)
{
    ReadRealRecord(file);
    DetermineMeanLevel(1);
}

void LoadFourYearRecord()
{
    std::vector<std::int32_t> values;
    int days = 0;
    for (const char* file : {REAL_RECORDS[0], REAL_RECORDS[1], REAL_RECORDS[2], REAL_RECORDS[0]}) {
        ReadRealRecord(file);
        days += RecordSeries.RecordDays;
        values.insert(values.end(), RecordSeries.RecordValues.begin(), RecordSeries.RecordValues.end() - 1);
    }
    values.push_back(0);
    InstallRecord(days, std::move(values));
    DetermineMeanLevel(1);
}

void FitWavesUpTo(int count)
{
    WaveSet.count = 0;
    for (int row = 0; row < MENU_WAVE_COUNT && WaveSet.count < count; ++row)
        AddMenuWave(row);
    while (WaveSet.count < count)
        AddKnownWave((WaveSet.count - MENU_WAVE_COUNT) % KNOWN_WAVE_COUNT);
}
