#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "base/computation.h"
#include "base/text.h"
#include "model/predictionwalk.h"
#include "model/waves.h"
#include "tests/support/computation_choice.h"
#include "tests/support/program_test.h"
#include "tests/support/model_state.h"

namespace {

using PredictionWalkTest = ProgramTest;

// A port's waves with phases from a fixed seed: the usual case.
void InstallTidalWaves()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> phase(-M_PI, M_PI);
    WaveSet.MeanLevel = 3.0;
    for (auto [hours, ampl] : {std::pair{12.4206012, 1.75}, {12.0, 0.48}, {12.6583482, 0.29}, {25.8193417, 0.11},
                               {23.9344697, 0.07}, {6.21030061, 0.13}, {4.140200402, 0.08}, {8765.82109, 0.09}})
        AppendWave(WaveOf(hours, ampl, phase(random)));
}

// What users can type: a wave of period 0 (speed 1e28), a negative and a
// vanishing amplitude, a phase of many turns.
void InstallOddWaves()
{
    WaveSet.MeanLevel = -2.5;
    AppendWave(WaveOf(12.0, -0.7, 1e6));
    AppendWave(Wave{1e28, 0.01, 0.3, ""});
    AppendWave(WaveOf(0.5, 1e-120, 0.2));
    AppendWave(WaveOf(1e5, 3.0, -4.0));
}

// The walk's values, each within its bound of the exact functions, along
// irregular strides back in time from near the origin and from sixty years on,
// in every vector variant.
TEST_F(PredictionWalkTest, EveryValueLiesWithinItsBoundOfTheExactFunctions)
{
    for (void (*install)() : {InstallTidalWaves, InstallOddWaves}) {
        WaveSet.count = 0;
        install();
        ForEveryVectorVariant([](const std::string& variant) {
            for (double start : {86400.0, 1.9e9}) {
                PredictionWalk walk;
                StartWalk(walk, start, -30, 10);
                ASSERT_TRUE(walk.usable);
                const double span = std::fabs(start) + 1e7;
                std::mt19937 random(3);
                for (int i = 0; i < 3000; ++i) {
                    WalkSteps(walk, std::uniform_int_distribution<std::int64_t>(0, 3000)(random));
                    const double t = walk.t;
                    const std::string at = Format("t = %.0f, ", t) + variant;
                    EXPECT_NEAR(WalkHeight(walk), PredictHeight(t, 0),
                                WalkHeightError(walk) + HeightRoundingBound(walk, span)) << at;
                    EXPECT_NEAR(WalkRate(walk), PredictHeightRate(t, 0),
                                WalkRateError(walk) + RateRoundingBound(walk, span)) << at;
                    // PredictHeightAccel rounds its arguments as the rate does, times one more speed.
                    EXPECT_NEAR(WalkAccel(walk), PredictHeightAccel(t, 0),
                                WalkAccelError(walk) + RateRoundingBound(walk, span) * walk.maxSpeed) << at;
                }
            }
        });
    }
}

TEST_F(PredictionWalkTest, AWaveThatIsNotFiniteMakesTheWalkUnusable)
{
    InstallTidalWaves();
    for (double bad : {NAN, INFINITY, -INFINITY}) {
        WaveSet.waves[2].ampl = bad;
        PredictionWalk walk;
        StartWalk(walk, 0, 3600, 1);
        EXPECT_FALSE(walk.usable) << bad;
    }
}

}  // namespace
