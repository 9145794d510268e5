// The nodal factors and angles against values worked out by hand from the
// formulas of their reference, and the swings the Moon's node gives them.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "model/astronomy.h"

namespace {

constexpr double DEGREES_PER_RAD = 57.29577951308232;

double UtcSeconds(int year, int month, int day, int hour)
{
    std::tm t{};
    t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day, t.tm_hour = hour;
    return static_cast<double>(timegm(&t));
}

const char* const MAIN[] = {"M2", "S2", "N2", "K1", "O1", "K2"};

// Worked out by hand from Schureman's Table 1 longitudes and his formulas
// for I, ν, ξ, ν′, 2ν″ and the node factors (f, then u in degrees); they
// agree with Doodson's cosine series of the same factors to 0.002 and 0.15°.
TEST(NodalFactors, OfTheMainConstituentsAreThoseWorkedOutFromTheReference)
{
    const struct { double t; double fu[6][2]; } cases[] = {
        {UtcSeconds(1996, 1, 1, 0), {{1.034954, 0.8087}, {1.000000, 0.0000}, {1.034954, 0.8087}, {0.893373, 3.9385},
                                     {0.825182, -5.2897}, {0.764362, 7.1766}}},
        {UtcSeconds(2009, 7, 2, 12), {{0.980887, 1.8354}, {1.000000, 0.0000}, {0.980887, 1.8354}, {1.069261, 6.9788},
                                      {1.111541, -8.0645}, {1.169555, 14.5320}}},
        {UtcSeconds(2015, 3, 20, 0), {{1.037155, 0.3970}, {1.000000, 0.0000}, {1.037155, 0.3970}, {0.884468, 1.9572},
                                      {0.810305, -2.6525}, {0.750404, 3.5300}}},
        {UtcSeconds(2023, 1, 1, 0), {{0.971880, -1.3896}, {1.000000, 0.0000}, {0.971880, -1.3896}, {1.092163, -5.1051},
                                     {1.148873, 5.7954}, {1.243810, -10.7433}}},
    };
    for (const auto& c : cases) {
        const NodalAngles angles = NodalAnglesAt(c.t);
        for (int k = 0; k < 6; ++k) {
            const NodalFactor got = NodalFactorOf(ConstituentNamed(MAIN[k]), angles);
            EXPECT_NEAR(got.f, c.fu[k][0], 2e-6) << MAIN[k] << " at " << c.t;
            EXPECT_NEAR(got.u * DEGREES_PER_RAD, c.fu[k][1], 2e-4) << MAIN[k] << " at " << c.t;
        }
    }
}

// Over one turn of the node: M2's amplitude by about ±3.7 % and its phase
// by ±2.1°, K1's by ±11 % and ±9°, O1's by ±19 % and ±11°; S2 never moves.
TEST(NodalFactors, SwingAsTheMoonsNodeTurnsIn18Point61Years)
{
    const struct { const char* name; double fLow, fHigh, uSwing; } cases[] = {
        {"M2", 0.963, 1.037, 2.1}, {"K1", 0.88, 1.12, 8.9}, {"O1", 0.81, 1.19, 10.8}, {"S2", 1, 1, 0},
    };
    for (const auto& c : cases) {
        const int constituent = ConstituentNamed(c.name);
        double fMin = 10, fMax = 0, uMax = 0;
        for (double day = 0; day < 6798; day += 5) {
            const NodalFactor nf = NodalFactorOf(constituent, NodalAnglesAt(UtcSeconds(2000, 1, 1, 0) + day * 86400));
            fMin = std::fmin(fMin, nf.f);
            fMax = std::fmax(fMax, nf.f);
            uMax = std::fmax(uMax, std::fabs(nf.u) * DEGREES_PER_RAD);
        }
        EXPECT_NEAR(fMin, c.fLow, 0.01) << c.name;
        EXPECT_NEAR(fMax, c.fHigh, 0.01) << c.name;
        EXPECT_NEAR(uMax, c.uSwing, 0.3) << c.name;
        EXPECT_EQ(IsNodallyModulated(constituent), c.uSwing > 0) << c.name;
    }
}

// Speeds in degrees per hour as the tables of constituents give them.
TEST(Constituents, AreKnownByTheirSpeedToOnePartInAMillion)
{
    const struct { double degreesPerHour; const char* name; } cases[] = {
        {28.9841042, "M2"}, {30.0, "S2"}, {15.0410686, "K1"}, {13.9430356, "O1"}, {0.0410686, "Sa"},
        {14.4966939, "M1"}, {29.5284789, "L2"}, {87.9682084, "2MS6"}, {42.9271398, "2MK3"},
        {28.9841042 * (1 + 0.9e-6), "M2"}, {28.9841042 * (1 + 1.1e-6), nullptr}, {29.0, nullptr},
    };
    for (const auto& c : cases) {
        const int got = ConstituentOfSpeed(c.degreesPerHour / DEGREES_PER_RAD / 3600);
        EXPECT_EQ(got == NO_CONSTITUENT ? "none" : ConstituentName(got), std::string(c.name ? c.name : "none"))
            << c.degreesPerHour;
    }
}

// V + u of published constants' constituents, from tests/model/published_tides.py
// --arguments: Schureman's Table 1 and 2 written out apart from the program.
TEST(EquilibriumArguments, WithTheNodalAnglesAreThoseOfTheReferenceScript)
{
    const struct { const char* name; double t; double degrees; } cases[] = {
        {"M2", UtcSeconds(1990, 1, 1, 0), 259.1493},   {"M2", UtcSeconds(2027, 7, 2, 12), 38.1004},
        {"K1", UtcSeconds(1990, 1, 1, 0), 15.6442},    {"O1", UtcSeconds(2027, 7, 2, 12), 19.5711},
        {"N2", UtcSeconds(1990, 1, 1, 0), 324.0699},   {"L2", UtcSeconds(2027, 7, 2, 12), 195.8496},
        {"M1", UtcSeconds(1990, 1, 1, 0), 333.6319},    {"MK3", UtcSeconds(2027, 7, 2, 12), 54.2355},
        {"2MK5", UtcSeconds(1990, 1, 1, 0), 173.9429}, {"MSF", UtcSeconds(2027, 7, 2, 12), 321.8996},
        {"Sa", UtcSeconds(2027, 7, 2, 12), 100.3079},
    };
    for (const auto& c : cases) {
        const int constituent = ConstituentOfCatalogueName(c.name);
        ASSERT_NE(constituent, NO_CONSTITUENT) << c.name;
        const double got = (EquilibriumArgument(constituent, c.t) +
                            NodalFactorOf(constituent, NodalAnglesAt(c.t)).u) * DEGREES_PER_RAD;
        EXPECT_NEAR(std::remainder(got - c.degrees, 360), 0, 0.002) << c.name;
    }
}

// The spellings of the tables: any case, LAM2, RHO, sigma1, `_KV`; the
// compounds met at a single station are not known.
TEST(EquilibriumArguments, KnowTheConstituentsByTheNamesTablesGiveThem)
{
    const struct { const char* spelling; const char* name; } cases[] = {
        {"MM", "Mm"}, {"mu2", "MU2"}, {"LAM2", "LAMBDA2"}, {"lambda2", "LAMBDA2"}, {"RHO", "RHO1"},
        {"sigma1", "SGM"}, {"eps2", "EP2"}, {"SA_KV", "Sa"}, {"Ssa", "Ssa"}, {"3L2", "3L2"}, {"2MLS4", nullptr},
    };
    for (const auto& c : cases) {
        const int got = ConstituentOfCatalogueName(c.spelling);
        EXPECT_EQ(got == NO_CONSTITUENT ? "none" : ConstituentName(got), std::string(c.name ? c.name : "none"))
            << c.spelling;
    }
}

}  // namespace
