#include <gtest/gtest.h>

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
::testing::AssertionResult IsOneJoinedCurve(const std::vector<headless::DrawOp>& lines)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const headless::DrawOp& line = lines[i];
        const int fromX = i ? lines[i - 1].x1 : 0;
        const int fromY = i ? lines[i - 1].y1 : 0;
        if (line.kind != headless::DrawOp::Kind::Line || !(line.color == Color{}))
            return ::testing::AssertionFailure() << "line " << i << " is not a black line";
        if (line.x0 != fromX || line.y0 != fromY || line.x1 < fromX)
            return ::testing::AssertionFailure() << "line " << i << " from (" << line.x0 << ", " << line.y0
                                                 << ") to (" << line.x1 << ", " << line.y1 << ")";
    }
    return ::testing::AssertionSuccess();
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

    InstallRecordOf(60, 0.0, {});
    WaveSet.MeanLevel = 0;
    WaveSet.count = 0;
    ScanPeriods(42300, 46800);
    for (int x = 0; x < SCAN_GRAPH_WIDTH; ++x)
        ASSERT_EQ(ScanGraph[x], 380) << "a zero amplitude, column " << x;
}

TEST_F(ScanTest, OnlyAMaximumAbove4CmIsTakenAndWithoutOneNothingIsAppended)
{
    struct Case { double ampl; int maxima; };
    const Case cases[] = {{0.0, 0}, {0.03, 0}, {0.05, 1}};
    for (const Case& c : cases) {
        InstallRecordOf(365, 2.0, {WaveOf(12.4206012, c.ampl, 0.4)});
        DetermineMeanLevel(1);
        WaveSet.count = 0;
        const std::string logBefore = NewLog();
        ScanPeriods(42300, 46800);
        const std::string log = NewLog().substr(logBefore.size());
        int maxima = 0;
        for (std::size_t at = 0; (at = log.find("Onde reperee pour T = ", at)) != std::string::npos; ++at)
            ++maxima;
        EXPECT_EQ(maxima, c.maxima) << c.ampl << " m";
        EXPECT_EQ(WaveSet.count, c.maxima) << c.ampl << " m";
        const headless::MessageRecord& box = headless::Messages().back();
        EXPECT_EQ(box.caption, "Sélection d'une onde");
        EXPECT_EQ(box.owner, "main window");
        if (c.maxima)
            continue;
        EXPECT_EQ(box.text, "Aucune onde n'a été repérée entre 11.750000 h et 13.000000 h :\n"
                            "la courbe des amplitudes n'a aucun maximum au-dessus de 4 cm.\n\n"
                            "Aucune onde n'a été ajoutée.");
        EXPECT_EQ(log, "\nAucune onde repérée entre 11.750000 h et 13.000000 h : aucune onde ajoutée.\n\n");
    }
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
        EXPECT_EQ(std::sscanf(log.c_str() + at + prefix.size(), "%lf avec %lf\n", &m.periodHours, &m.ampl), 2);
        maxima.push_back(m);
    }
    return maxima;
}

// The report of a wave appended by the sweep.
std::string ReportOf(const Wave& w)
{
    return Format("L'onde suivante a étée ajoutée :\n - Période : %.6f\n - Amplitude : %.6f\n"
                  " - Etablissement : %.6f\n%s\n",
                  2 * M_PI / w.speed / 3600, w.ampl, w.etab, w.name.c_str());
}

// The samples of the band nearest the true periods of M2 and N2 are 44715 s
// (0.8 s off; the next ones are 6 s off) and 45569 s (1 s off): each maximum
// is logged with the period of the sample after it, 7 s on. (S2 lies 3 and
// 4 s from its two nearest samples, too close to call.)
TEST_F(ScanTest, TheSemiDiurnalBandOfAnM2S2N2RecordGivesM2)
{
    InstallSemiDiurnalRecord();
    ScanPeriods(42300, 46800);

    ASSERT_EQ(WaveSet.count, 1);
    const Wave& w = WaveSet.waves[0];
    EXPECT_NEAR(PeriodHoursFromSpeed(w.speed), 12.4206012, 1e-3);
    EXPECT_NEAR(w.ampl, M2_TRUTH.ampl, 0.005);
    EXPECT_NEAR(std::remainder(w.etab - M2_TRUTH.etab, 2 * M_PI), 0, 0.01);
    EXPECT_EQ(w.name, Format("Onde déteminée de période %.6f", 2 * M_PI / w.speed / 3600));

    ASSERT_EQ(headless::Messages().size(), 1u);
    const headless::MessageRecord& box = headless::Messages()[0];
    EXPECT_EQ(box.caption, "Sélection d'une onde");
    EXPECT_EQ(box.owner, "main window");
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.text, ReportOf(w));

    const std::string log = NewLog();
    const std::string refineLine = "\nOnde à preciser : ";
    const std::size_t refine = log.find(refineLine);
    ASSERT_NE(refine, std::string::npos) << log;
    int count = -1;
    double bestSpeed = 0, bestAmpl = 0, bestEtab = 0;
    ASSERT_EQ(std::sscanf(log.c_str() + refine + refineLine.size(), "%d %lf %lf %lf", &count, &bestSpeed,
                          &bestAmpl, &bestEtab), 4);
    EXPECT_EQ(count, 0);
    EXPECT_NEAR(bestSpeed, 2 * M_PI / 44722, 1e-6);
    EXPECT_NEAR(bestAmpl, M2_TRUTH.ampl, 0.005);

    const std::vector<LoggedMaximum> maxima = LoggedMaxima(log.substr(0, refine));
    struct Expected { double periodHours, ampl; };
    for (Expected e : {Expected{44722 / 3600.0, 1.5}, Expected{45576 / 3600.0, 0.35}}) {
        bool logged = false;
        for (const LoggedMaximum& m : maxima)
            logged = logged || (std::fabs(m.periodHours - e.periodHours) < 1e-6 && std::fabs(m.ampl - e.ampl) < 0.005);
        EXPECT_TRUE(logged) << "no maximum logged at " << e.periodHours << " h with " << e.ampl << " m";
    }
    const std::size_t refineLineEnd = log.find("\n\n", refine + 1);
    EXPECT_EQ(log.substr(refineLineEnd + 2), box.text + "\n") << "the report follows the refinement line";
}

TEST_F(ScanTest, RefineWaveWithoutAGridReturnsTheInitialRecordWithoutFitting)
{
    InstallRecordOf(10, 1.0, {WaveOf(12, 0.5, 0)});
    CurrentPeriod = 123;
    const Wave w = RefineWave(44000, 0, REFINE_EPSILON);
    EXPECT_EQ(w.speed, 1.0);
    EXPECT_EQ(w.ampl, -100.0);
    EXPECT_EQ(w.etab, 0.0);
    EXPECT_EQ(CurrentPeriod, 123) << "no period was fitted";
}

// A flat record gives every period the same amplitude, 0, so the last period
// of each grid wins: 39975, 39980, … 40020 at steps of 5 s, then 40015 …
// 40024 at steps of 1 s around 40020, and 1 s is not above eps = 1.
TEST_F(ScanTest, RefineWaveTakesTheLongerPeriodOfEqualAmplitudesOnAGridFiveTimesFiner)
{
    InstallRecordOf(10, 0.0, {});
    WaveSet.MeanLevel = 0;
    const Wave w = RefineWave(40000, 25, 1);
    EXPECT_EQ(w.ampl, 0);
    EXPECT_NEAR(2 * M_PI / w.speed, 40024, 1e-6);
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
    struct Case { int mode; std::size_t lines; const char* appended; bool report; };
    const Case cases[] = {
        {0, 643, "Onde déteminée de période 12.4", true},
        {1, 0, "N2 : Onde Lunaire elliptique majeur semi-diurne. 12h39m", false},
        {2, 0, nullptr, false},
    };
    for (const Case& c : cases) {
        Options.DisplayMode = c.mode;
        WaveSet.count = 0;
        const std::size_t drawn = headless::DirectDrawing().size();
        const std::size_t shown = headless::Messages().size();
        const int repaints = headless::RepaintCount();
        waitCursorAtReport = false;
        RunAnalysisTask();
        EXPECT_EQ(headless::DirectDrawing().size() - drawn, c.lines) << "mode " << c.mode;
        EXPECT_EQ(WaveSet.count, c.appended ? 1 : 0) << "mode " << c.mode;
        if (c.appended) {
            EXPECT_EQ(WaveSet.waves[0].name.rfind(c.appended, 0), 0u) << WaveSet.waves[0].name;
        }
        EXPECT_EQ(headless::Messages().size() - shown, c.report ? 1u : 0u) << "mode " << c.mode;
        EXPECT_EQ(waitCursorAtReport, c.report) << "mode " << c.mode;
        EXPECT_FALSE(headless::WaitCursorShown()) << "mode " << c.mode;
        EXPECT_EQ(headless::RepaintCount(), repaints + 1) << "mode " << c.mode;
    }
    headless::SetMessageObserver(nullptr);
}

TEST_F(ScanTest, ABandThatIsNotTwoIncreasingPositivePeriodsIsRefused)
{
    InstallRecordOf(10, 3.0, {WaveOf(12.4206012, 1.0, 0.5)});
    struct Case { const char* band; double minHours, maxHours; const char* shown; };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"reversed", 13.0, 11.75, "de 13.000000 h à 11.750000 h"},
        {"empty", 12.0, 12.0, "de 12.000000 h à 12.000000 h"},
        {"from zero", 0.0, 1.0, "de 0.000000 h à 1.000000 h"},
        {"from below zero", -2.0, 13.0, "de -2.000000 h à 13.000000 h"},
        {"not a number", nan, 13.0, "de 0.000000 h à 13.000000 h"},
        {"below any int", -1e300, 13.0, "de -596523.235556 h à 13.000000 h"},
    };
    Options.DisplayMode = 0;
    for (const Case& c : cases) {
        Options.PeriodMin = c.minHours;
        Options.PeriodMax = c.maxHours;
        const std::size_t drawn = headless::DirectDrawing().size();
        RunAnalysisTask();
        EXPECT_EQ(WaveSet.count, 0) << c.band;
        EXPECT_EQ(headless::DirectDrawing().size(), drawn) << c.band;
        EXPECT_EQ(CurrentPeriod, 0) << c.band << ": nothing was fitted";
        const headless::MessageRecord& box = headless::Messages().back();
        EXPECT_EQ(box.caption, "Bande de périodes incorrecte") << c.band;
        EXPECT_EQ(box.text, std::string("La bande de périodes ") + c.shown +
                                " ne peut pas être balayée :\n"
                                "il faut deux périodes positives, la première plus courte que la seconde.\n\n"
                                "Aucune onde n'a été ajoutée.");
        EXPECT_NE(NewLog().find("Bande de périodes incorrecte (" + std::string(c.shown).substr(3) +
                                ") : aucune onde ajoutée.\n\n"),
                  std::string::npos)
            << c.band;
    }
    EXPECT_EQ(headless::Messages().size(), std::size(cases));
}

TEST_F(ScanTest, AFullTableOrATooShortRecordIsRefusedBeforeTheSweep)
{
    struct Case { int days; int count; const char* caption; };
    const Case cases[] = {{365, WAVE_CAPACITY, "Tableau des ondes plein"}, {2, 0, "Enregistrement trop court"}};
    for (const Case& c : cases) {
        InstallRecordOf(c.days, 3.0, {WaveOf(12.4206012, 1.0, 0.5)});
        WaveSet.count = c.count;
        const std::vector<headless::DrawOp> lines = SweepDrawn(42300, 46800);
        EXPECT_TRUE(lines.empty()) << c.caption;
        EXPECT_EQ(CurrentPeriod, 0) << c.caption << ": nothing was fitted";
        EXPECT_EQ(WaveSet.count, c.count) << c.caption;
        EXPECT_EQ(headless::Messages().back().caption, c.caption);
    }
}

}  // namespace
