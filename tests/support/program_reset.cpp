// The start values of all process-wide state. Kept free of the test
// framework: the fuzzing harnesses reset the program with it too.
#include <algorithm>

#include "analysis/fitting.h"
#include "analysis/residual.h"
#include "analysis/scan.h"
#include "base/computation.h"
#include "base/log.h"
#include "base/options.h"
#include "dialogs/wavedialogs.h"
#include "exports/perioddialog.h"
#include "files/importdialog.h"
#include "files/recordfile.h"
#include "files/wavefile.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/record.h"
#include "shell/chart.h"
#include "tests/support/computation_choice.h"
#include "tests/support/full_disk.h"
#include "tests/support/program_state.h"

void ResetProgramState()
{
    CloseLog();
    Options = DisplayOptions{};
    Model = ModelOptions{};
    WaveSet = WaveTable{};
    RecordSeries = HourlyRecord{};
    Header = FileHeaderValues{};
    CurrentPeriod = 0;
    ResidualCache = HourlyResidualCache{};
    UseComputation(ComputationSettings{});
    EditedWave = 0;
    std::fill(std::begin(ScanGraph), std::end(ScanGraph), 0);
    ModelReady = 0;
    RecordFilePath = DEFAULT_RECORD_FILE_PATH;
    Import = PendingImport{};
    WaveFilePath = DEFAULT_WAVE_FILE_PATH;
    LastExportPeriod = ExportPeriodChoice{};
    SetDiskFullAfterBytes(-1);
}
