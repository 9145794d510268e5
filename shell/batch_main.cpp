// haliome-batch: the program on the headless backend, in the working
// directory. It runs the start-up (log, default waves, "PORT.TXT", mean
// level, the five listed waves) and ends as "Quitter" would.
#include <cstdio>
#include <cstdlib>

#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "base/log.h"
#include "files/recordfile.h"
#include "model/waves.h"
#include "platform/headless/headless.h"

namespace {

void PrintMessage(const headless::MessageRecord& box)
{
    std::printf("[message] %s | %s | %s\n", box.caption.c_str(), box.text.c_str(),
                box.answer == MessageAnswer::Yes ? "Oui" : box.answer == MessageAnswer::No ? "Non" : "OK");
}

void FailUnanswered(const std::string& what)
{
    std::fprintf(stderr, "haliome-batch: nothing answers the %s\n", what.c_str());
    std::exit(2);
}

}  // namespace

int main()
{
    headless::Reset();
    headless::SetMessageObserver(PrintMessage);
    headless::SetUnansweredHandler(FailUnanswered);
    OpenLog();
    SetDefaultWaves();
    LoadRecordFile();
    DetermineMeanLevel(1);
    for (int row = 0; row < MENU_WAVE_COUNT && CanAddFittedWaveOrReport(MainWindow); ++row)
        AddMenuWave(row);
    CloseLog();
    return 0;
}
