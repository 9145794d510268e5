#include <gtest/gtest.h>

#include "model/waves.h"
#include "tests/support/program_test.h"

namespace {

using PredictionTest = ProgramTest;

// At t = 0 a wave of phase 0 adds its amplitude; without one the height is
// the mean level and does not move.
TEST_F(PredictionTest, OnlyTheActiveWavesFromFirstOnEnter)
{
    WaveSet.MeanLevel = 1;
    AppendWave(WaveOf(12, 0.5, 0));
    AppendWave(WaveOf(24, 0.25, 0));
    WaveSet.waves[2] = WaveOf(6, 2, 0);  // stored, not active
    const std::pair<int, double> cases[] = {{0, 1.75}, {1, 1.25}, {2, 1}, {7, 1}};
    for (const auto& [first, height] : cases)
        EXPECT_NEAR(PredictHeight(0, first), height, 1e-15) << "first = " << first;
    WaveSet.count = 0;
    for (double t : {-1e6, 4321.5, 3.1e7})
        EXPECT_EQ(std::make_tuple(PredictHeight(t, 0), PredictHeightRate(t, 0), PredictHeightAccel(t, 0)),
                  std::make_tuple(1.0, 0.0, 0.0)) << "no wave, t = " << t;
}

// Central differences over ±1 s: their error, of order (speed·dt)² times the
// derivative, is far below the tolerances.
TEST_F(PredictionTest, RateAndAccelerationAreTheDerivativesOfTheHeight)
{
    AppendWave(WaveOf(12.42, 1.7, 2.9));
    AppendWave(WaveOf(12, 0.49, 2.05));
    AppendWave(WaveOf(25.82, 0.11, -0.76));
    const double dt = 1.0;
    for (double t : {0.0, 123456.0, 2.5e7}) {
        const double rate = (PredictHeight(t + dt, 0) - PredictHeight(t - dt, 0)) / (2 * dt);
        const double accel = (PredictHeightRate(t + dt, 0) - PredictHeightRate(t - dt, 0)) / (2 * dt);
        EXPECT_NEAR(PredictHeightRate(t, 0), rate, 1e-9) << t;
        EXPECT_NEAR(PredictHeightAccel(t, 0), accel, 1e-12) << t;
    }
}

}  // namespace
