#include "analysis/fftdetect.h"
#include "analysis/knownwaves.h"
#include "files/recordfile.h"
#include "tests/analysis/analysis_test.h"

namespace {

using FftDetectTest = AnalysisTest;

TEST_F(FftDetectTest, TheStrongestBinOfAResidualFollowsItsPeriodAndLength)
{
    struct Case { const char* what; int days; std::vector<Wave> waves; std::uint32_t bin; };
    const Case cases[] = {
        // 16384 / 12.4206012 = 1319.1
        {"a year of M2: N = 16384", 365, {WaveOf(12.4206012, 1.0, 0.3)}, 1319},
        // 24 values, N = 32: 7 turns in 32 h; the 3 m wave at bin 2 is no candidate.
        {"a day: N = 32", 1, {WaveOf(32.0 / 7, 1.0, 0), WaveOf(16.0, 3.0, 0)}, 7},
    };
    for (const Case& c : cases) {
        InstallRecordOf(c.days, 0.0, c.waves);
        WaveSet.MeanLevel = 0;
        EXPECT_EQ(StrongestResidualBin(), c.bin) << c.what;
    }
}

// The second run sees what the first wave leaves: S2 is then the strongest line.
TEST_F(FftDetectTest, TwoRunsOnAnM2S2N2RecordFindM2ThenS2)
{
    InstallSemiDiurnalRecord();
    AddFftWave();
    AddFftWave();
    ASSERT_EQ(WaveSet.count, 2);
    ASSERT_EQ(headless::Messages().size(), 2u);
    ExpectFound(WaveSet.waves[0], M2_TRUTH, "M2");
    ExpectFound(WaveSet.waves[1], S2_TRUTH, "S2");
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(headless::Messages()[i].text, AddedReport("a été", WaveSet.waves[i])) << i;
    EXPECT_EQ(headless::Messages()[1].owner, "main window");
    EXPECT_EQ(NewLog(), AddedReport("a été", WaveSet.waves[0]) + "\n" + AddedReport("a été", WaveSet.waves[1]) + "\n");
}

// A missing hour enters the transform as a zero, like the hours after the
// end: with a third of the hours gone, the strongest line is still M2's.
TEST_F(FftDetectTest, MissingHoursEnterTheTransformAsZerosAndM2IsStillFound)
{
    InstallSemiDiurnalRecord();
    RemoveAThirdInBlocks(true);
    const std::uint32_t n = FftLength(RecordSeries.RecordCount);
    std::vector<float> input(n);
    FillResidualDirect(input.data(), n);
    for (int i = 0; i < RecordSeries.RecordCount; ++i) {
        const std::int32_t cm = RecordSeries.RecordValues[i];
        const float expected = cm == MISSING_HEIGHT_CM ? 0.0f : static_cast<float>(cm * 0.01 - WaveSet.MeanLevel);
        ASSERT_EQ(input[i], expected) << "hour " << i;
    }
    AddFftWave();
    ASSERT_EQ(WaveSet.count, 1);
    EXPECT_NEAR(2 * M_PI / WaveSet.waves[0].speed / 3600, 12.4206012, 1e-3);
    EXPECT_NEAR(WaveSet.waves[0].ampl, M2_TRUTH.ampl, 0.01);
}

// None of these may reach the exit of the transform or append anything. In
// verbose mode each stage the transform reaches is announced in a box with no
// owner; a refusal before the transform shows none.
TEST_F(FftDetectTest, WithoutACandidateLineNothingIsAppendedAndTheUserIsTold)
{
    struct Case { const char* what; int days, count; std::size_t stages; const char* caption; const char* logged; };
    const Case cases[] = {
        {"a full table", 365, WAVE_CAPACITY, 0, "Tableau des ondes plein", "Tableau des ondes plein (100 ondes)"},
        {"a residual of exact zeros: no positive bin", 365, 0, 3, "Sélection d'une onde",
         "Méthode FFT : spectre du résidu nul : aucune onde déterminée.\n\n"},
        {"an empty record, too short for the transform (detection alone)", 0, 0, 0, "Enregistrement trop court",
         "Méthode FFT : enregistrement trop court (0 valeurs) : aucune onde déterminée.\n\n"},
    };
    const char* stages[3] = {"Allocation mémoire ...", "FFT de RealIn ...", "Determination du max ..."};
    Options.VerboseFft = 1;
    for (const Case& c : cases) {
        InstallRecordOf(c.days, 0.0, {});
        WaveSet.MeanLevel = 0;
        WaveSet.count = c.count;
        const std::size_t before = headless::Messages().size(), logged = NewLog().size();
        if (c.days == 0) {
            EXPECT_EQ(DetectWaveByFft().speed, 0) << c.what;
        } else {
            AddFftWave();
        }
        EXPECT_EQ(WaveSet.count, c.count) << c.what;
        const std::vector<headless::MessageRecord>& shown = headless::Messages();
        ASSERT_EQ(shown.size() - before, c.stages + 1) << c.what;
        for (std::size_t i = 0; i < c.stages; ++i)
            EXPECT_EQ(shown[before + i].caption + " | " + shown[before + i].owner + " | " + shown[before + i].text,
                      std::string("FFT | none | ") + stages[i]);
        EXPECT_EQ(shown.back().caption, c.caption) << c.what;
        EXPECT_EQ(shown.back().owner, "main window") << c.what;
        EXPECT_NE(NewLog().find(c.logged, logged), std::string::npos) << c.what;
    }
}

// Vlissingen 2009 after "Ondes listées" (M2, S2, N2, O1, K1): the strongest
// line left is K2, the catalogue's sidereal semi-diurnal wave of 11.9672348 h.
TEST_F(FftDetectTest, OnVlissingen2009AfterTheListedWavesTheFirstRunFindsK2)
{
    RecordFilePath = RecordsDir() + "/VLISSINGEN2009.TXT";
    LoadRecordFile();
    for (int row = 0; row < MENU_WAVE_COUNT; ++row)
        AddMenuWave(row);
    AddFftWave();
    ASSERT_EQ(WaveSet.count, MENU_WAVE_COUNT + 1);
    const Wave& found = WaveSet.waves[MENU_WAVE_COUNT];
    EXPECT_NEAR(2 * M_PI / found.speed / 3600, 11.9672348, 0.001);
    EXPECT_GT(found.ampl, 0.05) << "a real constituent, not noise";
}

}  // namespace
