#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <set>

#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "base/log.h"
#include "base/text.h"
#include "model/units.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

class KnownWavesTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        InstallRecordOf(40, 3.0, {WaveOf(12.4206012, 1.7, 2.9), WaveOf(12, 0.5, 2.0)});
        DetermineMeanLevel(1);
        OpenLog();
        welcome = LogBytes();
    }
    // What this test wrote to the log after the welcome text.
    std::string NewLog() { return LogBytes().substr(welcome.size()); }
    std::string welcome;
};

// The block written for a determined wave, as the log has always shown it.
std::string BlockOf(int row, const Wave& w)
{
    return Format("Détermination de l'onde %i :\r\n"
                  " - Période : %.6f\r\n"
                  " - Amplitude : %.6f\r\n"
                  " - Etablissement : %.6f\r\n"
                  "%s\r\n",
                  row, 2 * M_PI / w.speed / 3600, w.ampl, w.etab, w.name.c_str());
}

TEST(KnownWaves, OrdersUseEveryCatalogueWaveOnceAndTheMenuTakesM2S2N2O1K1)
{
    std::set<int> seen(KnownWaveOrder, KnownWaveOrder + KNOWN_WAVE_COUNT);
    EXPECT_EQ(seen.size(), 37u);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 36);
    const char* prefixes[MENU_WAVE_COUNT] = {"M2 ", "S2 ", "N2 ", "O1 ", "K1 "};
    for (int r = 0; r < MENU_WAVE_COUNT; ++r)
        EXPECT_EQ(std::string(KnownWaves[MenuWaveOrder[r]].label).rfind(prefixes[r], 0), 0u) << r;
    EXPECT_EQ(KnownWaves[MenuWaveOrder[4]].periodHours, 23.9344697);
}

TEST_F(KnownWavesTest, AMenuWaveIsAppendedUnderItsLabelWithItsRowInTheLogBlock)
{
    double ampl = AddMenuWave(1);  // S2 first: its block is still numbered 1
    ASSERT_EQ(WaveSet.count, 1);
    const Wave& w = WaveSet.waves[0];
    EXPECT_EQ(w.name, "S2 : Onde Solaire semi-diurne. 12h");
    EXPECT_EQ(ampl, w.ampl);
    EXPECT_EQ(NewLog(), BlockOf(1, w));
    EXPECT_EQ(NewLog().rfind("Détermination de l'onde 1 :\r\n - Période : 12.000000\r\n", 0), 0u);
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(KnownWavesTest, AllKnownWavesAppendsTheCatalogueInItsOrderWithBlocksNumberedFrom0)
{
    AddAllKnownWaves();
    ASSERT_EQ(WaveSet.count, KNOWN_WAVE_COUNT);
    std::string expected;
    for (int row = 0; row < KNOWN_WAVE_COUNT; ++row) {
        const Wave& w = WaveSet.waves[row];
        EXPECT_EQ(w.name, KnownWaves[KnownWaveOrder[row]].label) << row;
        EXPECT_NEAR(PeriodHoursFromSpeed(w.speed), KnownWaves[KnownWaveOrder[row]].periodHours, 1e-9);
        expected += BlockOf(row, w);
    }
    EXPECT_EQ(WaveSet.waves[0].name.substr(0, 2), "M2");
    EXPECT_EQ(WaveSet.waves[1].name.substr(0, 2), "S2");
    EXPECT_EQ(WaveSet.waves[2].name.substr(0, 2), "N2");
    EXPECT_EQ(NewLog(), expected);
}

TEST_F(KnownWavesTest, AFullTableStopsTheBatchAtTheFirstRefusalAndIsNeverWrittenPast)
{
    WaveSet.count = WAVE_CAPACITY - 2;
    WaveSet.waves[WAVE_CAPACITY - 1].name = "kept";
    AddAllKnownWaves();
    EXPECT_EQ(WaveSet.count, WAVE_CAPACITY);
    EXPECT_EQ(WaveSet.waves[WAVE_CAPACITY - 1].name, KnownWaves[KnownWaveOrder[1]].label);
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].caption, "Tableau des ondes plein");
    const std::string log = NewLog();
    EXPECT_NE(log.find("Détermination de l'onde 1 :"), std::string::npos);
    EXPECT_EQ(log.find("Détermination de l'onde 2 :"), std::string::npos);

    EXPECT_EQ(AddMenuWave(0), 0);
    EXPECT_EQ(WaveSet.count, WAVE_CAPACITY);
    EXPECT_EQ(headless::Messages().size(), 2u);
}

TEST_F(KnownWavesTest, ARecordTooShortRefusesTheBatchOnce)
{
    InstallRecordOf(2, 3.0, {});
    AddAllKnownWaves();
    EXPECT_EQ(WaveSet.count, 0);
    EXPECT_EQ(headless::Messages().size(), 1u);
}

}  // namespace
