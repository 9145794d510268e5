#include <gtest/gtest.h>

#include <cmath>

#include "analysis/fitting.h"
#include "base/log.h"
#include "base/options.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using FittingTest = ProgramTest;

// The difference of two phases, brought into (−π, π].
double PhaseGap(double a, double b)
{
    return std::remainder(a - b, 2 * M_PI);
}

TEST_F(FittingTest, MeanLevelOfAConstantRecordIsThatHeight)
{
    OpenLog();
    InstallRecordOf(30, 2.34, {});
    EXPECT_NEAR(DetermineMeanLevel(1), 2.34, 1e-12);
    EXPECT_NEAR(WaveSet.MeanLevel, 2.34, 1e-12);
    EXPECT_TRUE(headless::Messages().empty());
    const std::string welcome = LogContents();

    DetermineMeanLevel(0);
    ASSERT_EQ(headless::Messages().size(), 1u);
    const headless::MessageRecord& box = headless::Messages()[0];
    EXPECT_EQ(box.text, "Niveau moyen : 2.340000 \n\n");
    EXPECT_EQ(box.caption, "Détermination du niveau moyen");
    EXPECT_EQ(box.owner, "main window");
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(LogContents(), welcome + "Niveau moyen : 2.340000 \n\n");
}

TEST_F(FittingTest, AnEmptyRecordLeavesTheMeanLevelAndOnlyTheMenuFormSaysWhy)
{
    InstallRecord(0, std::vector<std::int32_t>(1, 0));
    WaveSet.MeanLevel = 4.5;
    EXPECT_EQ(DetermineMeanLevel(1), 4.5);
    EXPECT_TRUE(headless::Messages().empty());
    EXPECT_EQ(DetermineMeanLevel(0), 4.5);
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_NE(headless::Messages()[0].text.find("aucune valeur"), std::string::npos);
    EXPECT_EQ(WaveSet.MeanLevel, 4.5);
}

struct Method {
    const char* name;
    int useFourier;
    double amplTolerance;   // m
    double phaseTolerance;  // rad
};

class RecoveryTest : public FittingTest, public ::testing::WithParamInterface<Method> {};

// A year of M2 + N2 + O1, in whole centimetres, fitted one wave at a time:
// each fit sees what the waves already appended leave.
TEST_P(RecoveryTest, KnownWavesComeBackOneAfterTheOther)
{
    const Method method = GetParam();
    const std::vector<Wave> truth = {WaveOf(12.4206012, 1.5, 1.0), WaveOf(12.6583482, 0.35, 2.5),
                                     WaveOf(25.8193417, 0.2, -0.7)};
    InstallRecordOf(365, 3.0, truth);
    DetermineMeanLevel(1);
    Options.UseFourier = method.useFourier;
    for (const Wave& expected : truth) {
        double period = 2 * M_PI / expected.speed;
        Wave w = DetermineWave(period);
        EXPECT_EQ(CurrentPeriod, period);
        EXPECT_DOUBLE_EQ(w.speed, expected.speed);
        EXPECT_NEAR(w.ampl, expected.ampl, method.amplTolerance) << method.name << " T=" << period;
        EXPECT_NEAR(PhaseGap(w.etab, expected.etab), 0, method.phaseTolerance) << method.name << " T=" << period;
        AppendWave(w);
    }
    Wave again = DetermineWave(12.4206012 * 3600);
    EXPECT_LT(std::fabs(again.ampl), 0.015) << "a second M2 holds only what the first left";
}

// Demodulation over 363 days lets a wave not yet fitted leak into the one
// being fitted: N2 into M2 is about 5 mm (13.2 cycles of difference).
// The phase search reads the record between whole hours by linear
// interpolation, which flattens a 12-hour crest by about 2 %, and it stops
// when two steps differ by less than 1 cm.
INSTANTIATE_TEST_SUITE_P(BothMethods, RecoveryTest,
                         ::testing::Values(Method{"demodulation", 1, 0.008, 0.01},
                                           Method{"phase search", 0, 0.04, 0.05}),
                         [](const ::testing::TestParamInfo<Method>& p) {
                             return std::string(p.param.useFourier ? "Demodulation" : "PhaseSearch");
                         });

TEST_F(FittingTest, PhaseSearchPutsEtabOverSpeedAtAMaximumOfTheWave)
{
    const Wave truth = WaveOf(12.4206012, 1.2, 2.0);
    InstallRecordOf(60, 0, {truth});
    Options.UseFourier = 0;
    Wave w = DetermineWave(2 * M_PI / truth.speed);
    double peak = w.etab / w.speed;
    EXPECT_GE(peak, 0);
    EXPECT_LE(peak, 2.5 * CurrentPeriod);
    EXPECT_NEAR(truth.ampl * std::cos(truth.speed * peak - truth.etab), truth.ampl, 0.002);
}

TEST_F(FittingTest, TheFirstHourTakesTheSecondDifferenceOfHourOne)
{
    std::vector<std::int32_t> values(24 * 4 + 1);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::int32_t>(i * i * i);  // second difference 6i
    InstallRecord(4, values);
    EXPECT_EQ(ResidualAccel(0), ResidualAccel(3600));
    EXPECT_EQ(ResidualAccel(1800), ResidualAccel(3600));
    EXPECT_NEAR(ResidualAccel(3600), 6.0 / 3600 / 3600 * 0.01, 1e-18);
    EXPECT_NEAR(ResidualAccel(7200), 12.0 / 3600 / 3600 * 0.01, 1e-18);
}

TEST_F(FittingTest, AFlatResidualStopsTheSearchWhereItStandsInsteadOfDividingByZero)
{
    InstallRecordOf(10, 0, {});
    Options.UseFourier = 0;
    Wave w = DetermineWave(12 * 3600.0);
    EXPECT_EQ(w.ampl, 0);
    EXPECT_DOUBLE_EQ(w.etab / w.speed, 6 * 3600.0);  // the starting point, half a period
}

TEST_F(FittingTest, WithoutAUsableSpanTheFitsReturnNothingRatherThanNaN)
{
    InstallRecordOf(2, 1.0, {WaveOf(12, 1, 0)});
    for (int fourier : {1, 0}) {
        Options.UseFourier = fourier;
        Wave w = DetermineWave(12 * 3600.0);
        EXPECT_EQ(w.ampl, 0) << fourier;
        EXPECT_TRUE(std::isfinite(w.etab)) << fourier;
    }
    CurrentPeriod = 0.5;  // a fold step under a second ends at once
    EXPECT_EQ(FoldedMean(Residual, 0), 0);
}

TEST_F(FittingTest, NewWavesAreRefusedWhenTheTableIsFullOrTheRecordTooShort)
{
    OpenLog();
    InstallRecordOf(3, 1.0, {});
    EXPECT_TRUE(CanAddFittedWaveOrReport(MainWindow));
    EXPECT_TRUE(headless::Messages().empty());

    InstallRecordOf(2, 1.0, {});
    EXPECT_FALSE(CanAddFittedWaveOrReport(MainWindow));
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].caption, "Enregistrement trop court");
    EXPECT_NE(LogContents().find("Enregistrement trop court (2 jours) : aucune onde déterminée.\n\n"),
              std::string::npos);

    InstallRecordOf(365, 1.0, {});
    WaveSet.count = WAVE_CAPACITY;
    EXPECT_FALSE(CanAddFittedWaveOrReport(nullptr));
    ASSERT_EQ(headless::Messages().size(), 2u);
    EXPECT_EQ(headless::Messages()[1].caption, "Tableau des ondes plein");
    EXPECT_EQ(headless::Messages()[1].owner, "none");
    EXPECT_NE(LogContents().find("Tableau des ondes plein (100 ondes) : aucune onde ajoutée.\n\n"),
              std::string::npos);
}

}  // namespace
