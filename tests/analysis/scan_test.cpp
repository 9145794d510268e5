#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstddef>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "analysis/scan.h"
#include "base/log.h"
#include "base/options.h"
#include "base/text.h"
#include "model/record.h"
#include "model/units.h"
#include "platform/headless/headless.h"
#include "tests/analysis/semidiurnal_record.h"
#include "tests/support/program_test.h"

namespace {

class ScanTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        OpenLog();
        welcome = LogContents();
    }
    // What the test wrote to the log after the welcome text.
    std::string NewLog() { return LogContents().substr(welcome.size()); }
    std::string welcome;
};

// The lines that one sweep draws on a fresh direct-drawing canvas.
std::vector<headless::DrawOp> SweepDrawn(int lo, int hi)
{
    const auto before = static_cast<std::ptrdiff_t>(headless::DirectDrawing().size());
    Canvas* canvas = BeginDirectDrawing();
    ScanPeriods(lo, hi, canvas);
    EndDirectDrawing(canvas);
    return {headless::DirectDrawing().begin() + before, headless::DirectDrawing().end()};
}

// One black polyline from the canvas's initial point (0, 0), left to right.
bool IsOneJoinedCurve(const std::vector<headless::DrawOp>& lines)
{
    int x = 0, y = 0;
    for (const headless::DrawOp& line : lines) {
        if (!(line.color == Color{}) || line.x0 != x || line.y0 != y || line.x1 < x)
            return false;
        x = line.x1;
        y = line.y1;
    }
    return true;
}

TEST_F(ScanTest, TheSweepTakesOneSampleAStepAndDrawsItAsItGoes)
{
    InstallRecordOf(10, 3.0, {WaveOf(12.4206012, 1.0, 0.5)});
    DetermineMeanLevel(1);
    struct Case { const char* band; int lo, hi; std::size_t samples; int lastColumn; };
    const Case cases[] = {
        {"11.75 h to 13 h: 4500 s, step 7", 42300, 46800, 643, 639},
        {"23 h to 25 h: 7200 s, step 11 capped to 10", 82800, 90000, 720, 639},
        {"6399 s, step 9", 43200, 49599, 711, 639},
        {"640 s, step 1", 43200, 43840, 640, 639},
        {"100 s, narrower than 640 s: step 1", 43200, 43300, 100, 633},
    };
    for (const Case& c : cases) {
        const std::vector<headless::DrawOp> lines = SweepDrawn(c.lo, c.hi);
        ASSERT_EQ(lines.size(), c.samples) << c.band;
        EXPECT_TRUE(IsOneJoinedCurve(lines)) << c.band;
        EXPECT_EQ(lines.front().x1, 0) << c.band;
        EXPECT_EQ(lines.back().x1, c.lastColumn) << c.band;
        std::map<int, int> lastRowOfColumn;
        for (const headless::DrawOp& line : lines)
            lastRowOfColumn[line.x1] = line.y1;
        for (const auto& [x, y] : lastRowOfColumn)
            EXPECT_EQ(ScanGraph[x], y) << c.band << ", column " << x;
    }
}

TEST_F(ScanTest, TheCurveRisesSixtyPixelsPerMetreFromRow380)
{
    // In the band 42500 … 46980 s (step 7) column 100 is the sample at 12 h
    // exactly: 700 s into 4480 s is 100 of 640 columns.
    InstallRecordOf(60, 3.0, {WaveOf(12.0, 2.005, 0.3)});
    DetermineMeanLevel(1);
    ScanPeriods(42500, 46980);
    EXPECT_EQ(ScanGraph[100], 480 - 220);  // trunc(2.005 × 60 + 100)

    InstallRecordOf(60, 3.0, {});
    DetermineMeanLevel(1);
    WaveSet.count = 0;
    ScanPeriods(42300, 46800);
    EXPECT_TRUE(std::all_of(ScanGraph, ScanGraph + SCAN_GRAPH_WIDTH, [](std::int32_t y) { return y == 380; }));
}

struct LoggedMaximum {
    double periodHours;
    double ampl;  // m
};

// The "Onde reperee" lines of a log.
std::vector<LoggedMaximum> LoggedMaxima(const std::string& log)
{
    std::vector<LoggedMaximum> maxima;
    const std::string prefix = "Onde reperee pour T = ";
    for (std::size_t at = log.find(prefix); at != std::string::npos; at = log.find(prefix, at + 1)) {
        LoggedMaximum m{};
        EXPECT_EQ(std::sscanf(log.c_str() + at + prefix.size(), "%lf avec %lf", &m.periodHours, &m.ampl), 2);
        maxima.push_back(m);
    }
    return maxima;
}

TEST_F(ScanTest, OnlyAMaximumAbove4CmIsTakenAndWithoutOneNothingIsAppended)
{
    struct Case { double ampl; std::size_t maxima; };
    const Case cases[] = {{0.0, 0}, {0.03, 0}, {0.05, 1}};
    for (const Case& c : cases) {
        InstallRecordOf(365, 2.0, {WaveOf(12.4206012, c.ampl, 0.4)});
        DetermineMeanLevel(1);
        WaveSet.count = 0;
        const std::size_t logged = NewLog().size();
        ScanPeriods(42300, 46800);
        const std::string log = NewLog().substr(logged);
        EXPECT_EQ(LoggedMaxima(log).size(), c.maxima) << c.ampl << " m";
        EXPECT_EQ(WaveSet.count, static_cast<int>(c.maxima)) << c.ampl << " m";
        if (!c.maxima) {
            EXPECT_EQ(headless::Messages().back().caption, "Sélection d'une onde");
            EXPECT_EQ(log, "\nAucune onde repérée entre 11.750000 h et 13.000000 h : aucune onde ajoutée.\n\n");
        }
    }
}

// The samples nearest M2 and N2 are 44715 s (0.8 s off; the next ones are
// 6 s off) and 45569 s (1 s off): each maximum is logged with the period of
// the sample after it, 7 s on. (S2 lies 3 and 4 s from its two nearest
// samples, too close to call.)
TEST_F(ScanTest, TheSemiDiurnalBandOfAnM2S2N2RecordGivesM2)
{
    InstallSemiDiurnalRecord();
    ScanPeriods(42300, 46800);

    ASSERT_EQ(WaveSet.count, 1);
    const Wave& w = WaveSet.waves[0];
    EXPECT_NEAR(PeriodHoursFromSpeed(w.speed), 12.4206012, 1e-3);
    EXPECT_NEAR(w.ampl, M2_TRUTH.ampl, 0.005);
    EXPECT_NEAR(std::remainder(w.etab - M2_TRUTH.etab, 2 * M_PI), 0, 0.01);
    const double periodHours = 2 * M_PI / w.speed / 3600;
    EXPECT_EQ(w.name, Format("Onde déteminée de période %.6f", periodHours));

    ASSERT_EQ(headless::Messages().size(), 1u);
    const headless::MessageRecord& box = headless::Messages()[0];
    EXPECT_EQ(box.caption, "Sélection d'une onde");
    EXPECT_EQ(box.owner, "main window");
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.text, Format("L'onde suivante a étée ajoutée :\n - Période : %.6f\n - Amplitude : %.6f\n"
                               " - Etablissement : %.6f\n%s\n",
                               periodHours, w.ampl, w.etab, w.name.c_str()));

    const std::string log = NewLog();
    const std::size_t refine = log.find("\nOnde à preciser : 0 0.000140 ");
    ASSERT_NE(refine, std::string::npos) << log;
    EXPECT_EQ(log.substr(log.find("\n\n", refine + 1) + 2), box.text + "\n") << "the report follows";
    const std::vector<LoggedMaximum> maxima = LoggedMaxima(log.substr(0, refine));
    for (LoggedMaximum expected : {LoggedMaximum{44722 / 3600.0, 1.5}, LoggedMaximum{45576 / 3600.0, 0.35}}) {
        EXPECT_TRUE(std::any_of(maxima.begin(), maxima.end(), [&](const LoggedMaximum& m) {
            return std::fabs(m.periodHours - expected.periodHours) < 1e-6 && std::fabs(m.ampl - expected.ampl) < 0.005;
        })) << "no maximum logged at " << expected.periodHours << " h";
    }
}

// A flat record gives every period the amplitude 0, so the last period of
// each grid wins: 39975, 39980, … 40020 at steps of 5 s, then 40015 … 40024
// at steps of 1 s around 40020, and 1 s is not above eps = 1.
TEST_F(ScanTest, RefineWaveTakesTheLongerOfEqualPeriodsOnGridsFiveTimesFiner)
{
    InstallRecordOf(10, 0.0, {});
    WaveSet.MeanLevel = 0;
    const Wave w = RefineWave(40000, 25, 1);
    EXPECT_EQ(w.ampl, 0);
    EXPECT_NEAR(2 * M_PI / w.speed, 40024, 1e-6);

    CurrentPeriod = 123;
    const Wave none = RefineWave(44000, 0, REFINE_EPSILON);
    EXPECT_EQ(none.speed, 1.0);
    EXPECT_EQ(none.ampl, -100.0);
    EXPECT_EQ(none.etab, 0.0);
    EXPECT_EQ(CurrentPeriod, 123) << "a halfwidth of 0 fits no period";
}

TEST_F(ScanTest, TheAnalysisTaskRunsWhatTheDisplayModeSaysUnderTheWaitCursor)
{
    InstallRecordOf(30, 3.0, {WaveOf(12.4206012, 1.2, 0.1)});
    DetermineMeanLevel(1);
    Options.PeriodMin = 11.75;
    Options.PeriodMax = 13.0;
    Options.SelectedWave = 2;
    bool waitCursorAtReport = false;
    headless::SetMessageObserver([&](const headless::MessageRecord&) { waitCursorAtReport = headless::WaitCursorShown(); });
    struct Case { int mode; std::size_t lines; const char* appended; };
    const Case cases[] = {
        {0, 643, "Onde déteminée de période 12.4"},
        {1, 0, "N2 : Onde Lunaire elliptique majeur semi-diurne. 12h39m"},
        {2, 0, nullptr},
    };
    for (const Case& c : cases) {
        Options.DisplayMode = c.mode;
        WaveSet.count = 0;
        const std::size_t drawn = headless::DirectDrawing().size();
        const int repaints = headless::RepaintCount();
        RunAnalysisTask();
        EXPECT_EQ(headless::DirectDrawing().size() - drawn, c.lines) << "mode " << c.mode;
        EXPECT_EQ(WaveSet.count, c.appended ? 1 : 0) << "mode " << c.mode;
        EXPECT_TRUE(!c.appended || WaveSet.waves[0].name.rfind(c.appended, 0) == 0) << WaveSet.waves[0].name;
        EXPECT_FALSE(headless::WaitCursorShown()) << "mode " << c.mode;
        EXPECT_EQ(headless::RepaintCount(), repaints + 1) << "mode " << c.mode;
    }
    headless::SetMessageObserver(nullptr);
    ASSERT_EQ(headless::Messages().size(), 1u) << "only the sweep reports";
    EXPECT_TRUE(waitCursorAtReport);
}

TEST_F(ScanTest, ABandThatIsNotTwoIncreasingPositivePeriodsIsRefused)
{
    InstallRecordOf(10, 3.0, {WaveOf(12.4206012, 1.0, 0.5)});
    struct Case { double minHours, maxHours; const char* shown; };
    const Case cases[] = {
        {13.0, 11.75, "13.000000 h à 11.750000 h"},
        {-2.0, 13.0, "-2.000000 h à 13.000000 h"},
        {std::numeric_limits<double>::quiet_NaN(), 13.0, "0.000000 h à 13.000000 h"},
        {-1e300, 13.0, "-596523.235556 h à 13.000000 h"},  // pinned to the lowest int
    };
    Options.DisplayMode = 0;
    for (const Case& c : cases) {
        Options.PeriodMin = c.minHours;
        Options.PeriodMax = c.maxHours;
        RunAnalysisTask();
        EXPECT_EQ(headless::Messages().back().caption, "Bande de périodes incorrecte");
        EXPECT_NE(NewLog().find(std::string("Bande de périodes incorrecte (") + c.shown +
                                ") : aucune onde ajoutée.\n\n"),
                  std::string::npos) << c.shown;
    }
    EXPECT_EQ(headless::Messages().size(), std::size(cases));
    EXPECT_TRUE(headless::DirectDrawing().empty());
    EXPECT_EQ(WaveSet.count, 0);
    EXPECT_EQ(CurrentPeriod, 0) << "nothing was fitted";
}

TEST_F(ScanTest, AFullTableIsRefusedBeforeTheSweep)
{
    InstallRecordOf(365, 3.0, {WaveOf(12.4206012, 1.0, 0.5)});
    WaveSet.count = WAVE_CAPACITY;
    EXPECT_TRUE(SweepDrawn(42300, 46800).empty());
    EXPECT_EQ(CurrentPeriod, 0) << "nothing was fitted";
    EXPECT_EQ(headless::Messages().back().caption, "Tableau des ondes plein");
}

}  // namespace
