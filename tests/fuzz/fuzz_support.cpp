#include "tests/fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "base/options.h"
#include "platform/headless/headless.h"
#include "shell/chart.h"
#include "tests/support/program_state.h"

namespace {

std::string Folder;

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
}

}  // namespace

void StartFuzzing()
{
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    // In memory when the system has it: every input writes and reads files.
    char pattern[] = "/dev/shm/haliome-fuzz-XXXXXX";
    char fallback[] = "/tmp/haliome-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made)
        made = mkdtemp(fallback);
    Require(made && chdir(made) == 0, "a working folder of its own");
    Folder = made;
    std::atexit(RemoveFolder);
    // What is drawn is computed all the same, under the sanitizers; keeping
    // thousands of drawing operations an input would only slow the search.
    headless::RecordDrawing(false);
}

void ResetForInput()
{
    ResetProgramState();
    headless::Reset();
    headless::SetUnansweredHandler([](const std::string&) {});
}

std::string_view BytesOf(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

void WriteInputFile(const char* name, std::string_view bytes)
{
    std::FILE* f = std::fopen(name, "wb");
    Require(f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fclose(f) == 0,
            "the input written to its file");
}

void PaintChart(int curves)
{
    MainWindowSetup setup;
    setup.handlers.onPaint = OnPaint;
    CreateMainWindow(setup);
    ModelReady = 1;
    Options.DisplayMode = 2;
    Options.CurveSelection = curves;
    Options.ShowHeightAxis = 0;  // the only part of the picture that owes nothing to the files
    SetScrollRange(ScrollBar::Horizontal, 0, 10000);
    SetScrollRange(ScrollBar::Vertical, 60, 10000);
    SetScrollPos(ScrollBar::Vertical, 100);
    Repaint();
}

void Require(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

void EmptyFolder()
{
    for (const auto& entry : std::filesystem::directory_iterator("."))
        std::filesystem::remove_all(entry.path());
}
