#include <set>

#include "analysis/knownwaves.h"
#include "model/astronomy.h"
#include "tests/analysis/analysis_test.h"

namespace {

using KnownWavesTest = AnalysisTest;

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

}  // namespace
