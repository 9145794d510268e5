#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/fftdetect.h"
#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "base/log.h"
#include "base/options.h"
#include "base/text.h"
#include "files/recordfile.h"
#include "model/record.h"
#include "model/units.h"
#include "platform/headless/headless.h"
#include "tests/analysis/semidiurnal_record.h"
#include "tests/support/program_test.h"

namespace {

class FftDetectTest : public ProgramTest {
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

// The report of a wave appended by the FFT method.
std::string ReportOf(const Wave& w)
{
    return Format("L'onde suivante a été ajoutée :\n - Période : %.6f\n - Amplitude : %.6f\n"
                  " - Etablissement : %.6f\n%s\n",
                  2 * M_PI / w.speed / 3600, w.ampl, w.etab, w.name.c_str());
}

TEST(FftLength, IsTheSmallestPowerOfTwoNotBelowTheCount)
{
    struct Case { std::int32_t count; std::uint32_t length; };
    const Case cases[] = {{0, 1}, {1, 1}, {2, 2}, {3, 4}, {24, 32}, {8760, 16384}, {16385, 32768}};
    for (const Case& c : cases)
        EXPECT_EQ(FftLength(c.count), c.length) << c.count;
}

TEST(SpectralPeakBin, TakesTheStrongestBinFrom5BelowHalfTheLengthAndTheLowestOfEqualOnes)
{
    constexpr std::uint32_t N = 32;  // candidates 5 … 15
    struct Power { std::uint32_t bin; float re, im; };
    struct Case { const char* what; std::vector<Power> bins; std::uint32_t peak; };
    const Case cases[] = {
        {"all zero", {}, 0},
        {"power only outside the candidates", {{4, 90, 0}, {16, 0, -90}, {27, 9, 9}}, 0},
        {"a weak line beside strong excluded ones", {{4, 90, 0}, {7, 0, 0.5f}, {16, 90, 0}}, 7},
        {"equal power 3² + 4² and 5²", {{12, 5, 0}, {7, 3, 4}}, 7},
        {"the first and the last candidates", {{5, 2, 0}, {15, 0, -3}}, 15},
    };
    for (const Case& c : cases) {
        std::vector<float> re(N, 0.0f), im(N, 0.0f);
        for (const Power& p : c.bins) {
            re[p.bin] = p.re;
            im[p.bin] = p.im;
        }
        EXPECT_EQ(SpectralPeakBin(re.data(), im.data(), N), c.peak) << c.what;
    }
}

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
    const Wave truths[2] = {M2_TRUTH, S2_TRUTH};
    std::string reports;
    for (int i = 0; i < 2; ++i) {
        const Wave& w = WaveSet.waves[i];
        EXPECT_NEAR(PeriodHoursFromSpeed(w.speed), PeriodHoursFromSpeed(truths[i].speed), 1e-3) << i;
        EXPECT_NEAR(w.ampl, truths[i].ampl, 0.005) << i;
        EXPECT_NEAR(std::remainder(w.etab - truths[i].etab, 2 * M_PI), 0, 0.01) << i;
        EXPECT_EQ(w.name, Format("Onde déteminée de période %.6f", 2 * M_PI / w.speed / 3600));
        ASSERT_EQ(headless::Messages().size(), 2u);
        const headless::MessageRecord& box = headless::Messages()[static_cast<std::size_t>(i)];
        EXPECT_EQ(box.text, ReportOf(w));
        EXPECT_EQ(box.caption, "Sélection d'une onde");
        EXPECT_EQ(box.owner, "main window");
        reports += box.text + "\n";
    }
    EXPECT_EQ(NewLog(), reports);
}

TEST_F(FftDetectTest, TheVerboseModeAnnouncesEachStageInABoxWithoutOwner)
{
    InstallRecordOf(30, 2.0, {WaveOf(12.4206012, 1.0, 0.3)});
    DetermineMeanLevel(1);
    Options.VerboseFft = 1;
    AddFftWave();
    const std::vector<headless::MessageRecord>& shown = headless::Messages();
    ASSERT_EQ(shown.size(), 4u);
    const char* stages[3] = {"Allocation mémoire ...", "FFT de RealIn ...", "Determination du max ..."};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(shown[i].text, stages[i]);
        EXPECT_EQ(shown[i].caption, "FFT");
        EXPECT_EQ(shown[i].owner, "none");
        EXPECT_EQ(shown[i].icon, MessageIcon::None);
    }
    EXPECT_EQ(shown[3].caption, "Sélection d'une onde") << "the report comes last";
}

// None of these may reach the exit of the transform or append anything.
TEST_F(FftDetectTest, WithoutACandidateLineNothingIsAppendedAndTheUserIsTold)
{
    struct Case { const char* what; int days; int count; std::size_t stages; const char* caption; const char* logged; };
    const Case cases[] = {
        {"an empty record", 0, 0, 0, "Enregistrement trop court", "Enregistrement trop court (0 jours)"},
        {"a full table", 365, WAVE_CAPACITY, 0, "Tableau des ondes plein", "Tableau des ondes plein (100 ondes)"},
        {"a residual of exact zeros", 365, 0, 3, "Sélection d'une onde",
         "Méthode FFT : spectre du résidu nul : aucune onde déterminée.\n\n"},
    };
    Options.VerboseFft = 1;  // a refusal before the transform shows no stage
    for (const Case& c : cases) {
        InstallRecordOf(c.days, 0.0, {});
        WaveSet.MeanLevel = 0;
        WaveSet.count = c.count;
        const std::size_t before = headless::Messages().size();
        AddFftWave();
        EXPECT_EQ(WaveSet.count, c.count) << c.what;
        const std::vector<headless::MessageRecord>& shown = headless::Messages();
        ASSERT_EQ(shown.size() - before, c.stages + 1) << c.what;
        EXPECT_EQ(shown.back().caption, c.caption) << c.what;
        EXPECT_EQ(shown.back().owner, "main window") << c.what;
        EXPECT_NE(NewLog().find(c.logged), std::string::npos) << c.what;
    }
}

TEST_F(FftDetectTest, DetectionOnAnEmptyRecordSaysSoInsteadOfEndingTheProgram)
{
    InstallRecordOf(0, 0.0, {});
    const Wave w = DetectWaveByFft();
    EXPECT_EQ(w.speed, 0);
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].caption, "Enregistrement trop court");
    EXPECT_EQ(NewLog(), "Méthode FFT : enregistrement trop court (0 valeurs) : aucune onde déterminée.\n\n");
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
    EXPECT_EQ(std::string(KnownWaves[3].label).substr(0, 3), "K2 ");
    EXPECT_NEAR(PeriodHoursFromSpeed(found.speed), KnownWaves[3].periodHours, 0.001);
    EXPECT_GT(found.ampl, 0.05) << "a real constituent, not noise";
}

}  // namespace
