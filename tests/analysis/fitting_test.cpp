#include "tests/analysis/analysis_test.h"

namespace {

using FittingTest = AnalysisTest;

// A year of M2 + N2 + O1, in whole centimetres, fitted one wave at a time:
// each fit sees what the waves already appended leave.
// Demodulation over 363 days lets a wave not yet fitted leak into the one
// being fitted: N2 into M2 is about 5 mm (13.2 cycles of difference).
// The phase search reads the record between whole hours by linear
// interpolation, which flattens a 12-hour crest by about 2 %, and it stops
// when two steps differ by less than 1 cm.
// With a third of the hours gone, the mean level is the mean of the hours
// that remain and the fits use only those (the gaps widen the leak between
// waves a little); heights put in the gaps would pull the mean level by a
// metre and every amplitude by a third.
TEST_F(FittingTest, KnownWavesComeBackOneAfterTheOtherByBothMethodsWithOrWithoutGaps)
{
    const std::vector<Wave> truth = {WaveOf(12.4206012, 1.5, 1.0), WaveOf(12.6583482, 0.35, 2.5),
                                     WaveOf(25.8193417, 0.2, -0.7)};
    struct Method { const char* name; bool gaps; int useFourier; double amplTolerance, phaseTolerance; };  // m, rad
    const Method methods[] = {
        {"demodulation", false, 1, 0.008, 0.01}, {"phase search", false, 0, 0.04, 0.05},
        {"demodulation with gaps", true, 1, 0.012, 0.015}, {"phase search with gaps", true, 0, 0.05, 0.06},
    };
    for (const Method& m : methods) {
        InstallLevelledRecord(365, 3.0, truth);
        if (m.gaps) {
            RemoveAThirdInBlocks();
            double sum = 0;
            int measured = 0;
            for (int i = 0; i < RecordSeries.RecordCount; ++i)
                if (RecordSeries.RecordValues[i] != MISSING_HEIGHT_CM) {
                    sum += RecordSeries.RecordValues[i] * 0.01;
                    ++measured;
                }
            EXPECT_NEAR(RecordSeries.MissingHours, RecordSeries.RecordCount / 3, 24 * 14);
            EXPECT_NEAR(WaveSet.MeanLevel, sum / measured, 1e-12);
            EXPECT_NEAR(WaveSet.MeanLevel, 3.0, 0.01);
        }
        Options.UseFourier = m.useFourier;
        WaveSet.count = 0;
        for (const Wave& expected : truth) {
            const double hours = 2 * M_PI / expected.speed / 3600;
            const Wave w = DetermineWave(hours * 3600);
            EXPECT_NEAR(w.ampl, expected.ampl, m.amplTolerance) << m.name << ", " << hours << " h: amplitude (m)";
            EXPECT_NEAR(std::remainder(w.etab - expected.etab, 2 * M_PI), 0, m.phaseTolerance)
                << m.name << ", " << hours << " h: phase gap (rad)";
            AppendWave(w);
        }
        EXPECT_LT(std::fabs(DetermineWave(12.4206012 * 3600).ampl), 0.015)
            << m.name << ": a second M2 holds only what the first left";
    }
}

TEST_F(FittingTest, TheFirstHourTakesTheSecondDifferenceOfHourOne)
{
    std::vector<std::int32_t> cubes(24 * 4 + 1);
    for (std::size_t i = 0; i < cubes.size(); ++i)
        cubes[i] = static_cast<std::int32_t>(i * i * i);  // cm: second difference 6i at hour i
    InstallRecord(4, cubes);
    const double unit = 0.01 / 3600 / 3600;  // m/s² for 1 cm per hour per hour
    const std::pair<std::int64_t, double> cases[] = {{0, 6 * unit}, {1800, 6 * unit}, {3600, 6 * unit}, {7200, 12 * unit}};
    for (const auto& [s, accel] : cases)
        EXPECT_NEAR(ResidualAccel(s), accel, 1e-18) << "at " << s << " s";
}

// A flat residual stops the phase search where it stands instead of
// dividing by zero; a record with no usable span gives nothing.
TEST_F(FittingTest, DegenerateResidualsGiveAZeroWaveRatherThanNaN)
{
    InstallRecordOf(10, 0, {});
    Options.UseFourier = 0;
    const Wave flat = DetermineWave(12 * 3600.0);
    EXPECT_EQ(flat.ampl, 0);
    EXPECT_DOUBLE_EQ(flat.etab / flat.speed, 6 * 3600.0);  // the starting point, half a period
    InstallRecordOf(2, 1.0, {WaveOf(12, 1, 0)});
    for (int fourier : {1, 0}) {
        Options.UseFourier = fourier;
        const Wave w = DetermineWave(12 * 3600.0);
        EXPECT_EQ(w.ampl, 0) << fourier;
        EXPECT_TRUE(std::isfinite(w.etab)) << fourier;
    }
    CurrentPeriod = 0.5;  // a fold step under a second ends at once
    EXPECT_EQ(FoldedMean(Residual, 0), 0);
}

}  // namespace
