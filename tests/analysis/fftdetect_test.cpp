#include "analysis/fftdetect.h"
#include "analysis/knownwaves.h"
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
    ExpectFound(WaveSet.waves[0], M2_TRUTH, "M2");
    ExpectFound(WaveSet.waves[1], S2_TRUTH, "S2");
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

}  // namespace
