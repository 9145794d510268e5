// The start values of all the process-wide state that a test program can
// see. It is compiled into each test program, whose include path holds only
// the folders of its layer and those below it: the state of a layer the
// program cannot see is not part of it. Kept free of the test framework:
// the fuzzing harnesses reset the program with it too.
#include "tests/support/program_state.h"

#if __has_include("base/log.h")
#include "base/calendar.h"
#include "base/log.h"
#include "base/options.h"
#include "tests/support/computation_choice.h"
#include "tests/support/full_disk.h"
#endif
#if __has_include("model/waves.h")
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"
#endif
#if __has_include("analysis/scan.h")
#include <algorithm>

#include "analysis/fitting.h"
#include "analysis/residual.h"
#include "analysis/scan.h"
#endif
#if __has_include("files/recordfile.h")
#include "files/importdialog.h"
#include "files/stationdialog.h"
#include "files/recordfile.h"
#include "files/station.h"
#include "files/wavefile.h"
#endif
#if __has_include("exports/perioddialog.h")
#include "exports/perioddialog.h"
#endif
#if __has_include("dialogs/wavedialogs.h")
#include "dialogs/wavedialogs.h"
#endif
#if __has_include("shell/chart.h")
#include "shell/chart.h"
#endif

void ResetProgramState()
{
#if __has_include("base/log.h")
    CloseLog();
    FailedActions = 0;
    ForgetComputerClock();
    Options = DisplayOptions{};
    UseComputation(ComputationSettings{});
    SetDiskFullAfterBytes(-1);
#endif
#if __has_include("model/waves.h")
    Model = ModelOptions{};
    WaveSet = WaveTable{};
    RecordSeries = HourlyRecord{};
    Header = FileHeaderValues{};
    AssumedPortZone.clear();
#endif
#if __has_include("analysis/scan.h")
    CurrentPeriod = 0;
    ResidualCache = HourlyResidualCache{};
    std::fill(std::begin(ScanGraph), std::end(ScanGraph), 0);
#endif
#if __has_include("files/recordfile.h")
    RecordFilePath = DEFAULT_RECORD_FILE_PATH;
    Import = PendingImport{};
    StationChoice = PendingStation{};
    WaveFilePath.clear();
    SavedWavesRevision = 0;
    ForgetCurrentStation();
#endif
#if __has_include("exports/perioddialog.h")
    LastExportPeriod = ExportPeriodChoice{};
#endif
#if __has_include("dialogs/wavedialogs.h")
    EditedWave = 0;
#endif
#if __has_include("shell/chart.h")
    ModelReady = 0;
#endif
}
