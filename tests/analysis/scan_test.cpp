#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "analysis/scan.h"
#include "tests/analysis/analysis_test.h"

namespace {

using ScanTest = AnalysisTest;

TEST_F(ScanTest, TheCurveRisesSixtyPixelsPerMetreFromRow380)
{
    // In the band 42500 … 46980 s (step 7) column 100 is the sample at 12 h
    // exactly: 700 s into 4480 s is 100 of 640 columns.
    InstallLevelledRecord(60, 3.0, {WaveOf(12.0, 2.005, 0.3)});
    ScanPeriods(42500, 46980);
    EXPECT_EQ(ScanGraph[100], 480 - 220);  // trunc(2.005 × 60 + 100)
    InstallLevelledRecord(60, 3.0, {});
    WaveSet.count = 0;
    ScanPeriods(42300, 46800);
    EXPECT_EQ(std::count(ScanGraph, ScanGraph + SCAN_GRAPH_WIDTH, 380), SCAN_GRAPH_WIDTH) << "amplitude 0 everywhere";

    // Heights of ±2^31 cm every other hour: some 4e7 m at 2 h, a row no int holds.
    std::vector<std::int32_t> extreme(60 * 24 + 1);
    for (std::size_t i = 0; i < extreme.size(); ++i)
        extreme[i] = i % 2 ? std::numeric_limits<std::int32_t>::max() : -std::numeric_limits<std::int32_t>::max();
    InstallRecord(60, extreme);
    WaveSet.count = 0;
    ScanPeriods(6900, 7500);
    EXPECT_EQ(*std::min_element(ScanGraph, ScanGraph + SCAN_GRAPH_WIDTH), 480 - PIXEL_LIMIT);
}

TEST_F(ScanTest, OnlyAMaximumAbove4CmIsTakenAndWithoutOneNothingIsAppended)
{
    for (double ampl : {0.03, 0.05}) {
        InstallLevelledRecord(365, 2.0, {WaveOf(12.4206012, ampl, 0.4)});
        ScanPeriods(42300, 46800);
        EXPECT_EQ(WaveSet.count, ampl > 0.04 ? 1 : 0) << ampl << " m";
    }
}

// The samples nearest M2 and N2 are 44715 s (0.8 s off; the next ones are
// 6 s off) and 45569 s (1 s off): each maximum is logged with the period of
// the sample after it, 7 s on: 44722 s = 12.422778 h, 45576 s = 12.66 h.
// (S2 lies 3 and 4 s from its two nearest samples, too close to call.)
TEST_F(ScanTest, TheSemiDiurnalBandOfAnM2S2N2RecordGivesM2)
{
    InstallSemiDiurnalRecord();
    ScanPeriods(42300, 46800);
    ASSERT_EQ(WaveSet.count, 1);
    ExpectFound(WaveSet.waves[0], M2_TRUTH, "M2");
    const std::string log = NewLog();
    for (const char* line : {"Onde reperee pour T = 12.422778 avec ", "Onde reperee pour T = 12.660000 avec ",
                             "\nOnde à preciser : 0 0.000140 "})
        EXPECT_NE(log.find(line), std::string::npos) << line << " is not in:\n" << log;
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
    EXPECT_EQ(std::make_tuple(none.speed, none.ampl, none.etab), std::make_tuple(1.0, -100.0, 0.0));
    EXPECT_EQ(CurrentPeriod, 123) << "a halfwidth of 0 fits no period";
}

// Mode 0 sweeps the band one sample a step, span div 640 kept within 1 … 10 s,
// drawing as it goes; mode 1 appends the menu wave; mode 2 runs nothing. The
// wait cursor is shown until the repaint.
TEST_F(ScanTest, TheAnalysisTaskRunsWhatTheDisplayModeSaysUnderTheWaitCursor)
{
    InstallLevelledRecord(30, 3.0, {WaveOf(12.4206012, 1.2, 0.1)});
    Options.SelectedWave = 2;
    bool waitCursorAtEachBox = true;
    headless::SetMessageObserver(
        [&](const headless::MessageRecord&) { waitCursorAtEachBox &= headless::WaitCursorShown(); });
    struct Case { const char* what; int mode; double minHours, maxHours;
                  std::size_t lines; int lastColumn; const char* appended; };
    const Case cases[] = {
        {"11.75 h to 13 h: 4500 s, step 7", 0, 11.75, 13, 643, 639, "Onde déterminée de période 12.4"},
        {"23 h to 25 h: 7200 s, step 11 capped to 10", 0, 23, 25, 720, 639, ""},
        // 12 h + 56.25 s, truncated to 56 s: the last sample, 55 s on, is column trunc(55/56 × 640).
        {"56 s, narrower than 640 s: step 1", 0, 12, 12.015625, 56, 628, ""},
        {"menu wave 2", 1, 11.75, 13, 0, 0, "N2 : Onde Lunaire elliptique majeur semi-diurne. 12h39m"},
        {"nothing", 2, 11.75, 13, 0, 0, ""},
    };
    for (const Case& c : cases) {
        Options.DisplayMode = c.mode;
        Options.PeriodMin = c.minHours;
        Options.PeriodMax = c.maxHours;
        WaveSet.count = 0;
        const auto drawn = static_cast<std::ptrdiff_t>(headless::DirectDrawing().size());
        const int repaints = headless::RepaintCount();
        RunAnalysisTask();
        const std::vector<headless::DrawOp>& all = headless::DirectDrawing();
        std::vector<headless::DrawOp> lines;
        std::copy_if(all.begin() + drawn, all.end(), std::back_inserter(lines),
                     [](const headless::DrawOp& op) { return op.kind == headless::DrawOp::Kind::Line; });
        const bool cleared = all.size() > static_cast<std::size_t>(drawn) &&
                             all[static_cast<std::size_t>(drawn)].kind == headless::DrawOp::Kind::Fill;
        EXPECT_EQ(cleared, c.mode == 0) << c.what << ": a sweep starts on a white window";
        ASSERT_EQ(lines.size(), c.lines) << c.what;
        EXPECT_EQ(lines.empty() ? 0 : lines.back().x1, c.lastColumn) << c.what;
        EXPECT_EQ(WaveSet.count, *c.appended ? 1 : 0) << c.what;
        EXPECT_EQ(WaveSet.waves[0].name.rfind(c.appended, 0), 0u) << c.what << ": " << WaveSet.waves[0].name;
        EXPECT_FALSE(headless::WaitCursorShown()) << c.what;
        EXPECT_EQ(headless::RepaintCount(), repaints + 1) << c.what;
    }
    headless::SetMessageObserver(nullptr);
    EXPECT_EQ(headless::Messages().size(), 3u) << "the report, then no wave in the two other bands";
    EXPECT_TRUE(waitCursorAtEachBox);
}

// The user stops the sweep at once, a wide sweep after its first batch of
// periods, and the refinement at once.
TEST_F(ScanTest, AStoppedSweepOrRefinementAppendsNothingLeavesTheGraphAndOnlyTheLogSaysSo)
{
    InstallSemiDiurnalRecord();
    for (int i = 0; i < SCAN_GRAPH_WIDTH; ++i)
        ScanGraph[i] = 100 + i % 7;  // the sweep before
    const auto graphBefore = std::to_array(ScanGraph);
    headless::QueueStop(1);
    ScanPeriods(42300, 46800);
    headless::QueueStop(2);
    ScanPeriods(7200, 1080000);
    headless::QueueStop(1);
    AddRefinedWave(44700, 7);
    EXPECT_EQ(WaveSet.count, 0);
    EXPECT_EQ(std::to_array(ScanGraph), graphBefore);
    EXPECT_TRUE(headless::Messages().empty());
    // The wide sweep logs the maxima of its first batch as it finds them.
    const std::string log = NewLog();
    EXPECT_TRUE(log.starts_with("\nBalayage de 11.750000 h à 13.000000 h interrompu : aucune onde ajoutée.\n\n"
                                "Onde reperee pour T = ")) << log;
    EXPECT_TRUE(log.ends_with("\nBalayage de 2.000000 h à 300.000000 h interrompu : aucune onde ajoutée.\n\n"
                              "\nPrécision de la période interrompue : aucune onde ajoutée.\n\n")) << log;
    EXPECT_EQ(headless::LongWorks(), (std::vector<std::string>{"Balayage des périodes de 11.75 h à 13 h",
                                                               "Balayage des périodes de 2 h à 300 h",
                                                               "Précision de la période"}));
}

TEST_F(ScanTest, ABandThatCannotBeSweptIsRefusedBeforeAnythingIsFitted)
{
    InstallRecordOf(365, 3.0, {WaveOf(12.4206012, 1.0, 0.5)});
    const char* badBand = "Bande de périodes incorrecte";
    struct Case { double minHours, maxHours; int count; const char* caption; const char* logged; };
    const Case cases[] = {
        {13.0, 11.75, 0, badBand, "Bande de périodes incorrecte (13.000000 h à 11.750000 h) : aucune onde ajoutée.\n\n"},
        {std::numeric_limits<double>::quiet_NaN(), 13.0, 0, badBand, "(0.000000 h à 13.000000 h)"},
        {-1e300, 13.0, 0, badBand, "(-596523.235556 h à 13.000000 h)"},  // pinned to the lowest int
    };
    Options.DisplayMode = 0;
    for (const Case& c : cases) {
        Options.PeriodMin = c.minHours;
        Options.PeriodMax = c.maxHours;
        WaveSet.count = c.count;
        const std::size_t before = headless::Messages().size(), logged = NewLog().size();
        RunAnalysisTask();
        EXPECT_EQ(WaveSet.count, c.count) << c.logged;
        ASSERT_EQ(headless::Messages().size(), before + 1) << c.logged;
        EXPECT_EQ(headless::Messages().back().caption, c.caption) << c.logged;
        EXPECT_NE(NewLog().find(c.logged, logged), std::string::npos) << c.logged;
    }
    EXPECT_TRUE(headless::DirectDrawing().empty());
    EXPECT_EQ(CurrentPeriod, 0) << "nothing was fitted";
}

}  // namespace
