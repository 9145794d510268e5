#include <set>

#include "analysis/knownwaves.h"
#include "model/astronomy.h"
#include "tests/analysis/analysis_test.h"

namespace {

using KnownWavesTest = AnalysisTest;

// The block written for a determined wave, as the log has always shown it.
std::string BlockOf(int row, const Wave& w)
{
    return Format("Détermination de l'onde %i :\r\n - Période : %.6f\r\n - Amplitude : %.6f\r\n"
                  " - Etablissement : %.6f\r\n%s\r\n",
                  row, 2 * M_PI / w.speed / 3600, w.ampl, w.etab, w.name.c_str());
}

// A menu wave's block is numbered by its menu row; the batch follows with the
// catalogue in its order, blocks numbered from 0.
TEST_F(KnownWavesTest, MenuAndCatalogueWavesAreAppendedUnderTheirLabelsWithTheirRowsInTheLogBlocks)
{
    InstallLevelledRecord(40, 3.0, {WaveOf(12.4206012, 1.7, 2.9), WaveOf(12, 0.5, 2.0)});
    const double ampl = AddMenuWave(1);  // S2 first: its block is still numbered 1
    ASSERT_EQ(WaveSet.count, 1);
    EXPECT_EQ(WaveSet.waves[0].name, "S2 : Onde Solaire semi-diurne. 12h");
    EXPECT_EQ(ampl, WaveSet.waves[0].ampl);
    EXPECT_EQ(NewLogBytes().rfind("Détermination de l'onde 1 :\r\n - Période : 12.000000\r\n", 0), 0u);
    std::string expected = BlockOf(1, WaveSet.waves[0]);
    AddAllKnownWaves();
    ASSERT_EQ(WaveSet.count, 1 + KNOWN_WAVE_COUNT);
    std::set<std::string> names;
    for (int row = 0; row < KNOWN_WAVE_COUNT; ++row) {
        const Wave& w = WaveSet.waves[1 + row];
        const KnownWave& k = KnownWaves[KnownWaveOrder[row]];
        EXPECT_EQ(w.name, k.label) << row;
        EXPECT_NEAR(2 * M_PI / w.speed / 3600, k.periodHours, 1e-9) << row;
        names.insert(w.name);
        expected += BlockOf(row, w);
    }
    EXPECT_EQ(names.size(), 37u) << "every catalogue wave once";
    AddAllShallowWaterWaves();
    ASSERT_EQ(WaveSet.count, 1 + KNOWN_WAVE_COUNT + SHALLOW_WAVE_COUNT);
    for (int row = 0; row < SHALLOW_WAVE_COUNT; ++row) {
        const Wave& w = WaveSet.waves[1 + KNOWN_WAVE_COUNT + row];
        EXPECT_EQ(w.name, ShallowWaterWaves[row].label) << row;
        expected += BlockOf(row, w);
    }
    EXPECT_EQ(NewLogBytes(), expected);
    EXPECT_TRUE(headless::Messages().empty());
}

// The name before the label's colon, as the tables of constituents spell it.
TEST_F(KnownWavesTest, EveryCatalogueAndShallowWaterWaveIsTheConstituentItsLabelNames)
{
    const char* const catalogueNames[KNOWN_WAVE_COUNT] = {
        "M2", "S2", "N2", "K2", "L2", "O1", "K1", "P1", "Mf", "Mm", "Ssa", "J1", "M1",
        "M3", "M4", "M6", "M8", "2N2", "OO1", "Q1", "2Q1", "R2", "S1", "S4", "S6", "T2",
        "LAMBDA2", "MU2", "NU2", "RHO1", "MK3", "2MK3", "MN4", "MS4", "2SM2", "MSF", "Sa",
    };
    auto nameOf = [](double periodHours) {
        const int c = ConstituentOfSpeed(2 * M_PI / (periodHours * 3600));
        return std::string(c == NO_CONSTITUENT ? "none" : ConstituentName(c));
    };
    for (int k = 0; k < KNOWN_WAVE_COUNT; ++k)
        EXPECT_EQ(nameOf(KnownWaves[k].periodHours), catalogueNames[k]) << KnownWaves[k].label;
    std::set<std::string> names;
    for (const KnownWave& w : ShallowWaterWaves) {
        const std::string label = w.label;
        EXPECT_EQ(nameOf(w.periodHours), label.substr(0, label.find(':'))) << label;
        names.insert(nameOf(w.periodHours));
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(SHALLOW_WAVE_COUNT)) << "each a line of its own";
    for (const char* name : catalogueNames)
        EXPECT_EQ(names.count(name), 0u) << name << " is in the catalogue already";
}

TEST_F(KnownWavesTest, AFullTableStopsTheBatchAtTheFirstRefusalAndIsNeverWrittenPast)
{
    InstallRecordOf(40, 3.0, {});
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
    EXPECT_NE(log.find("Tableau des ondes plein (100 ondes) : aucune onde ajoutée.\n\n"), std::string::npos);

    EXPECT_EQ(AddMenuWave(0), 0);
    EXPECT_EQ(WaveSet.count, WAVE_CAPACITY);
    EXPECT_EQ(headless::Messages().size(), 2u);
}

TEST_F(KnownWavesTest, ARecordOfTwoDaysRefusesTheBatchOnce)
{
    InstallRecordOf(2, 3.0, {});
    AddAllKnownWaves();
    EXPECT_EQ(WaveSet.count, 0);
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].caption, "Enregistrement trop court");
    EXPECT_EQ(NewLog(), "Enregistrement trop court (2 jours) : aucune onde déterminée.\n\n");
}

}  // namespace
