#include "bench/example_port.h"

#include "analysis/knownwaves.h"
#include "files/recordfile.h"
#include "model/waves.h"
#include "platform/headless/headless.h"

void LoadExamplePort()
{
    headless::Reset();
    RecordFilePath = HALIOME_EXAMPLE_RECORD;
    LoadRecordFile();
}

void FitWaves(int count)
{
    WaveSet.count = 0;
    for (int row = 0; row < MENU_WAVE_COUNT && WaveSet.count < count; ++row)
        AddMenuWave(row);
    for (int row = 0; row < KNOWN_WAVE_COUNT && WaveSet.count < count; ++row)
        AddKnownWave(row);
}
