#include <gtest/gtest.h>

#include <cmath>

#include "model/modeloptions.h"
#include "model/port.h"
#include "model/waves.h"
#include "tests/support/program_test.h"
#include "tests/support/model_state.h"

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

// Waves of 2009 carried to 1 July 2012 (model day 1277): M2 and K1 by the
// factors and angles worked out by hand for the middles of 2009 and of that
// day (f 0.980886 → 1.016999, u 1.8353° → 1.9017°; K1 f 1.069264 → 0.960217,
// u 6.9786° → 8.4491°). A wave of another period, as a sweep or the FFT
// finds, S2 (solar) and every wave with the option off stay as they are.
TEST_F(PredictionTest, OnlyLunarConstituentsAreCarriedAndOnlyWithTheCorrections)
{
    Header.StartYear = 2009;
    Header.Time_of_debut = *YearStartTime(2009);
    const struct { Wave wave; int nodal; double factor, angle; } cases[] = {
        {WaveOf(12.4206012, 1.7, 0.3), 1, 1.036817, 0.0011586},
        {WaveOf(23.9344697, 0.07, 2.0), 1, 0.898016, 0.025663},
        {WaveOf(12.4206012, 1.7, 0.3), 0, 1, 0},
        {WaveOf(12.0, 0.5, 0.2), 1, 1, 0},
        {WaveOf(12.43, 0.4, 0.1), 1, 1, 0},
    };
    for (const auto& c : cases) {
        Model.NodalCorrections = c.nodal;
        const Wave carried = WaveOnDay(c.wave, 1277);
        EXPECT_EQ(carried.speed, c.wave.speed);
        EXPECT_NEAR(carried.ampl / c.wave.ampl, c.factor, 2e-6) << c.wave.speed << " nodal " << c.nodal;
        EXPECT_NEAR(c.wave.etab - carried.etab, c.angle, 2e-6) << c.wave.speed << " nodal " << c.nodal;
        WaveSet.count = 0;
        AppendWave(c.wave);
        const double t = 1277 * 86400.0 + 4000;
        EXPECT_EQ(PredictHeight(t, 0), WaveSet.MeanLevel + carried.ampl * std::cos(carried.speed * t - carried.etab));
    }
}

}  // namespace
