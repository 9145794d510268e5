#include <gtest/gtest.h>

#include <cmath>

#include "model/units.h"
#include "model/waves.h"
#include "tests/support/program_test.h"

namespace {

using PredictionTest = ProgramTest;

TEST_F(PredictionTest, DefaultWavesAreStoredButNotActive)
{
    SetDefaultWaves();
    EXPECT_EQ(WaveSet.count, 0);
    EXPECT_EQ(WaveSet.MeanLevel, 6.02);
    // Periods in hours as the table of default waves gives them.
    const double periods[5] = {12.420601220444135, 12, 12.658348244838265, 25.819341664737625, 24};
    const double degrees[5] = {99, 139, 80, 324, 69};
    for (int i = 0; i < 5; ++i) {
        const Wave& w = WaveSet.waves[i];
        EXPECT_NEAR(PeriodHoursFromSpeed(w.speed), periods[i], 1e-12) << i;
        EXPECT_NEAR(w.etab * 180 / M_PI, degrees[i], 1e-9) << i;
    }
    EXPECT_EQ(WaveSet.waves[2].name, "Onde lunaire elliptique semi-diurne.");
    EXPECT_EQ(WaveSet.waves[4].ampl, 0.06);
    EXPECT_EQ(PredictHeight(12345.0, 0), 6.02);
}

TEST_F(PredictionTest, WithoutActiveWavesTheHeightIsTheMeanLevelAndItDoesNotMove)
{
    WaveSet.MeanLevel = 3.25;
    WaveSet.waves[0] = WaveOf(12, 1, 0);  // stored, not active
    for (double t : {-1e6, 0.0, 4321.5, 3.1e7}) {
        EXPECT_EQ(PredictHeight(t, 0), 3.25);
        EXPECT_EQ(PredictHeightRate(t, 0), 0);
        EXPECT_EQ(PredictHeightAccel(t, 0), 0);
    }
}

TEST_F(PredictionTest, FirstSelectsATailOfTheTable)
{
    WaveSet.MeanLevel = 1;
    AppendWave(WaveOf(12, 0.5, 0));
    AppendWave(WaveOf(24, 0.25, 0));
    EXPECT_DOUBLE_EQ(PredictHeight(0, 0), 1.75);
    EXPECT_DOUBLE_EQ(PredictHeight(0, 1), 1.25);  // the last wave only
    EXPECT_EQ(PredictHeight(0, 2), 1);
    EXPECT_EQ(PredictHeight(0, 7), 1);
}

TEST_F(PredictionTest, ASingleWavePeaksAtEtabOverSpeed)
{
    const Wave w = WaveOf(12.42, 2, 1.1);
    AppendWave(w);
    const double peak = w.etab / w.speed;
    const double period = 2 * M_PI / w.speed;
    for (double t : {peak, peak + period, peak - 3 * period}) {
        EXPECT_NEAR(PredictHeight(t, 0), 2, 1e-12);
        EXPECT_NEAR(PredictHeightRate(t, 0), 0, 1e-15);
        EXPECT_LT(PredictHeightAccel(t, 0), 0);
    }
    EXPECT_NEAR(PredictHeight(peak + period / 2, 0), -2, 1e-12);
    EXPECT_GT(PredictHeightAccel(peak + period / 2, 0), 0);
}

TEST_F(PredictionTest, RateAndAccelerationAreTheDerivativesOfTheHeight)
{
    AppendWave(WaveOf(12.42, 1.7, 2.9));
    AppendWave(WaveOf(12, 0.49, 2.05));
    AppendWave(WaveOf(25.82, 0.11, -0.76));
    const double dt = 1.0;
    for (double t : {0.0, 10000.0, 123456.0, 2.5e7}) {
        double rate = (PredictHeight(t + dt, 0) - PredictHeight(t - dt, 0)) / (2 * dt);
        double accel = (PredictHeightRate(t + dt, 0) - PredictHeightRate(t - dt, 0)) / (2 * dt);
        EXPECT_NEAR(PredictHeightRate(t, 0), rate, 1e-9) << t;
        EXPECT_NEAR(PredictHeightAccel(t, 0), accel, 1e-12) << t;
    }
}

}  // namespace
