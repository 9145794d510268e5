#include "shell/app.h"

#include <algorithm>
#include <filesystem>
#include <new>

#include "analysis/fitting.h"
#include "analysis/scan.h"
#include "base/calendar.h"
#include "base/log.h"
#include "dialogs/periodrange.h"
#include "files/recordfile.h"
#include "files/wavefile.h"
#include "model/record.h"
#include "model/waves.h"
#include "shell/chart.h"
#include "shell/commands.h"
#include "shell/menu.h"
#include "shell/window_icon.h"

namespace {

void OnCreate()
{
    std::fill(std::begin(ScanGraph), std::end(ScanGraph), 0);
}

// The files are bounded by size, but any step may still ask for more memory
// than the system gives: the command stops there, the user is told, and the
// program goes on with what it holds.
void ReportOutOfMemory()
{
    LogText("\nPas Assez de Mémoire : l'opération a été interrompue.\n\n");
    ShowMessage(nullptr, "Pas Assez de Mémoire", "Bleme", MessageButtons::Ok, MessageIcon::None);
}

template <auto Handler, typename... Args>
void Guarded(Args... args)
{
    try {
        Handler(args...);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

bool CreateAndShowMainWindow()
{
    MainWindowSetup setup;
    setup.title = MAIN_WINDOW_TITLE;
    setup.menu = MainMenu();
    setup.iconPng = WindowIconPng();
    setup.handlers.onCreate = Guarded<OnCreate>;
    setup.handlers.onPaint = Guarded<OnPaint, Canvas*>;
    setup.handlers.onScroll = Guarded<OnScroll, ScrollBar, ScrollRequest, int>;
    setup.handlers.onCommand = Guarded<OnCommand, int>;
    setup.handlers.onClose = MayCloseProgram;
    if (!CreateMainWindow(setup))
        return false;
    SetScrollRange(ScrollBar::Horizontal, 0, 10000);
    SetScrollPos(ScrollBar::Horizontal, 0);
    SetScrollRange(ScrollBar::Vertical, 60, 10000);
    SetScrollPos(ScrollBar::Vertical, 100);
    ShowMainWindow();  // paints the placeholder: the model is not ready yet
    return true;
}

}  // namespace

bool DetermineStartModel()
{
    SetDefaultWaves();
    const bool read = LoadRecordFile();
    DetermineMeanLevel(1);
    ModelReady = 1;
    RunAnalysisTask();
    return read;
}

// Without a record there is nothing to determine waves from: the chart says
// how to begin, and the log where the record was looked for.
void LogMissingRecord()
{
    std::error_code error;
    const std::string folder = std::filesystem::current_path(error).string();
    LogPrintf("Pas de relevé horaire : « %s » n'est pas dans le dossier « %s ».\n"
              "Aucune onde n'a été déterminée.\n\n",
              RecordFilePath.c_str(), folder.c_str());
}

bool StartProgram()
{
    OpenLog();
    ModelReady = 0;
    if (!CreateAndShowMainWindow())
        return false;
    if (!ComputerZoneKnown())
        ShowMessage(MainWindow,
                    "Le fuseau horaire de l'ordinateur, « " + ComputerZoneName() +
                        " » (TZ), n'est pas connu du système.\n\nLes ports qui ne nomment pas leur fuseau sont "
                        "donc pris en UTC, et les horaires le disent ; Options > Port… donne le fuseau du port.",
                    "Fuseau horaire", MessageButtons::Ok, MessageIcon::Warning);
    RestoreKeptBand();
    const bool read = DetermineStartModel();
    Repaint();
    if (read)
        SendCommand(CMD_LISTED_WAVES);
    else if (RecordSeries.Placeholder)
        LogMissingRecord();
    MarkWavesSaved();  // any start determines them again
    return true;
}

void FinishProgram()
{
    CloseLog();
    ForgetComputerClock();
}

int RunProgram()
{
    if (!StartProgram())
        return 0;  // the log stays open: the process ends at once
    RunMessageLoop();
    FinishProgram();
    return 0;
}
