#include "shell/app.h"

#include <algorithm>

#include "analysis/fitting.h"
#include "analysis/scan.h"
#include "base/log.h"
#include "files/recordfile.h"
#include "model/waves.h"
#include "shell/chart.h"
#include "shell/commands.h"
#include "shell/menu.h"
#include "shell/window_icon.h"

int ModelReady = 0;

namespace {

void OnCreate()
{
    std::fill(std::begin(ScanGraph), std::end(ScanGraph), 0);
}

bool CreateAndShowMainWindow()
{
    MainWindowSetup setup;
    setup.title = MAIN_WINDOW_TITLE;
    setup.menu = MainMenu();
    setup.iconPng = WindowIconPng();
    setup.handlers.onCreate = OnCreate;
    setup.handlers.onPaint = OnPaint;
    setup.handlers.onScroll = OnScroll;
    setup.handlers.onCommand = OnCommand;
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

bool StartProgram()
{
    OpenLog();
    ModelReady = 0;
    if (!CreateAndShowMainWindow())
        return false;
    DetermineStartModel();
    Repaint();
    SendCommand(CMD_LISTED_WAVES);
    return true;
}

void FinishProgram()
{
    CloseLog();
}

int RunProgram()
{
    if (!StartProgram())
        return 0;  // the log stays open: the process ends at once
    RunMessageLoop();
    FinishProgram();
    return 0;
}
