// A secondary port: its reference's tides moved and scaled, month after
// month, and the curve between them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "base/calendar.h"
#include "model/port.h"
#include "model/waves.h"
#include "tables/porttide.h"
#include "tables/tidetimes.h"
#include "tests/support/model_state.h"
#include "tests/support/program_test.h"

namespace {

class PortTideTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        Header.StartYear = 2004;
        Header.Time_of_debut = *YearStartTime(2004);
        InstallPortWaves(5);
        Header.DatumOffset = 2.5;  // the mean level 2.5 m above the datum: ratios apply from there
    }
};

// Offsets far larger than any port's: high waters 10 h later and 30 % higher
// above the datum, low waters 5 h earlier and 0.25 m higher.
const TideOffsets FAR_OFFSETS{"Référence", {600, 1.3, true}, {-300, 0.25, false}};

// The tides of the months, as the report lists each: those from its start.
std::vector<TurningPoint> TidesOfMonths(int first, int last)
{
    std::vector<TurningPoint> tides;
    for (int month = first; month <= last; ++month) {
        const MonthBounds bounds = *MonthBoundsOf(2004, month);
        std::vector<TurningPoint> scanned = ScanMonth(bounds);
        std::reverse(scanned.begin(), scanned.end());
        for (const TurningPoint& p : scanned)
            if (p.t >= bounds.start)
                tides.push_back(p);
    }
    return tides;
}

TEST_F(PortTideTest, ASecondaryPortsMonthsHoldItsReferencesTidesMovedNoneLostOrTwiceAtTheirEnds)
{
    const std::vector<TurningPoint> reference = TidesOfMonths(0, 6);
    Header.Offsets = FAR_OFFSETS;
    const std::vector<TurningPoint> secondary = TidesOfMonths(1, 5);

    const long from = MonthBoundsOf(2004, 1)->start, to = MonthBoundsOf(2004, 6)->start;
    std::vector<TurningPoint> expected;
    for (TurningPoint p : reference) {
        const double above = p.height - WaveSet.MeanLevel + 2.5;
        p.t += p.high ? 36000 : -18000;
        p.height = (p.high ? above * 1.3 : above + 0.25) + WaveSet.MeanLevel - 2.5;
        if (p.t >= from && p.t < to)
            expected.push_back(p);
    }
    // 15 h between the shifts of highs and lows take each high water past
    // the low water after it: the moved tides are out of the reference's order.
    const auto earlier = [](const TurningPoint& a, const TurningPoint& b) { return a.t < b.t; };
    EXPECT_FALSE(std::is_sorted(expected.begin(), expected.end(), earlier));
    std::stable_sort(expected.begin(), expected.end(), earlier);
    ASSERT_EQ(secondary.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(secondary[i].t, expected[i].t) << i;
        EXPECT_EQ(secondary[i].high, expected[i].high) << i;
        EXPECT_NEAR(secondary[i].height, expected[i].height, 1e-12) << i;
        EXPECT_EQ(secondary[i].coefficient, expected[i].coefficient) << i;  // the reference's
    }
}

TEST_F(PortTideTest, BetweenItsTidesASecondaryPortFollowsHalfACosine)
{
    const MonthBounds march = *MonthBoundsOf(2004, 2);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> within(static_cast<double>(march.start), static_cast<double>(march.end));
    for (int k = 0; k < 200; ++k) {  // a port with its own waves: the waves' height
        const double t = within(random);
        EXPECT_EQ(PortHeight(t), PredictHeight(t, 0)) << t;
        EXPECT_EQ(PortHeightDirect(t), PredictHeight(t, 0)) << t;
    }

    Header.Offsets = TideOffsets{"Référence", {-16, 0.77, true}, {-11, 0.77, true}};
    std::vector<TurningPoint> tides = ScanMonth(march);
    std::reverse(tides.begin(), tides.end());
    ASSERT_GT(tides.size(), 100u);
    for (std::size_t i = 1; i + 1 < tides.size(); ++i) {
        const TurningPoint& a = tides[i];
        const TurningPoint& b = tides[i + 1];
        const auto ta = static_cast<double>(a.t), tb = static_cast<double>(b.t);
        EXPECT_DOUBLE_EQ(PortHeight(ta), a.height) << i;
        EXPECT_NEAR(PortHeight((ta + tb) / 2), (a.height + b.height) / 2, 1e-12) << i;
        EXPECT_NEAR(PortHeight(ta + (tb - ta) / 3), a.height + (b.height - a.height) / 4, 1e-12) << i;
    }
    // Kept spans give what the scan around each time gives, across their
    // ends, and follow a change of the offsets.
    for (int k = 0; k < 400; ++k) {
        if (k == 200)
            Header.Offsets = FAR_OFFSETS;
        const double t = k % 2 ? within(random) : static_cast<double>(16 * DAY_SECONDS * (k / 2 % 6)) + (k % 4) - 1.5;
        EXPECT_EQ(PortHeight(t), PortHeightDirect(t)) << t;
    }
    // A curve without tides (no waves): the mean level.
    WaveSet.count = 0;
    EXPECT_EQ(PortHeight(within(random)), WaveSet.MeanLevel);
}

}  // namespace
