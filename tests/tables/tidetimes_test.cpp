// The month scan, against the extremes of models in closed form found here
// independently of the program, and the fast scan against the straightforward
// one, to the last bit; a secondary port's tides, its reference's moved month
// after month, and the curve between them. The reports built on the scan are
// scenarios (tests/scenarios/tables/).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <ctime>
#include <future>
#include <random>

#include "base/calendar.h"
#include "base/text.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/waves.h"
#include "tables/porttide.h"
#include "tables/tidetimes.h"
#include "tests/support/computation_choice.h"
#include "tests/support/program_test.h"
#include "tests/support/model_state.h"

namespace {

// Model time from 00:00 on 1 January 2004 in Paris (every test runs with
// TZ=Europe/Paris).
class TideTimesTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        Header.StartYear = 2004;
        Header.Time_of_debut = *YearStartTime(2004);
    }
};

long UtcTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day, t.tm_hour = hour, t.tm_min = minute;
    t.tm_sec = second;
    return static_cast<long>(timegm(&t));
}

// meanLevel + Σ ampl·cos(ω·t − etab), t in model time (s).
struct Term { double periodHours, ampl, etab; };
struct Extreme { double t, height; bool high; };
struct ClosedForm {
    double meanLevel = 0;
    std::vector<Term> terms;

    static double Omega(const Term& w) { return 2 * M_PI / (w.periodHours * 3600); }
    double Height(double t) const
    {
        double h = meanLevel;
        for (const Term& w : terms)
            h += w.ampl * std::cos(Omega(w) * t - w.etab);
        return h;
    }
    bool Rising(double t) const
    {
        double slope = 0;
        for (const Term& w : terms)
            slope -= Omega(w) * w.ampl * std::sin(Omega(w) * t - w.etab);
        return slope > 0;
    }
    // Sign changes of the analytic derivative in [from, to), bracketed every
    // 10 minutes, then bisected to a millisecond.
    std::vector<Extreme> Extremes(double from, double to) const
    {
        std::vector<Extreme> extremes;
        for (double a = from; a < to; a += 600) {
            double lo = a, hi = std::min(a + 600, to);
            const bool up = Rising(lo);
            if (up == Rising(hi))
                continue;
            while (hi - lo > 1e-3)
                (Rising((lo + hi) / 2) == up ? lo : hi) = (lo + hi) / 2;
            extremes.push_back({lo, Height(lo), up});
        }
        return extremes;
    }
    void Install() const
    {
        WaveSet.count = 0;
        WaveSet.MeanLevel = meanLevel;
        for (const Term& w : terms)
            AppendWave(WaveOf(w.periodHours, w.ampl, w.etab));
    }
};

TEST_F(TideTimesTest, EachTurningPointIsTheGridPointBeforeATrueExtremeClassedByTheCurve)
{
    // Half a period of 12.42 h is 22356 s, so its extremes fall 4 to 28 s
    // after a 30-s grid point, never on one; trunc(5 m × 16.6389…) = 83.
    const double etab = 2 * M_PI / (12.42 * 3600) * static_cast<double>(UtcTime(2004, 5, 10, 12, 37, 10) -
                                                                        Header.Time_of_debut);
    const struct { ClosedForm model; int coefficient; const char* why; } cases[] = {
        {ClosedForm{4.0, {{12.42, 2.5, etab}}}, 83, "a pure wave"},
        // Near the troughs of the 10-day wave the 12-h maxima lie below the
        // mean level, near its crests the minima above.
        {ClosedForm{0, {{12, 1, 0.3}, {240, 3, 1.1}}}, -1, "1 m over 12 h on 3 m over 10 days"},
        // An overtide at its crest at each low water of the main wave splits
        // it in two, with a maximum 11 cm high between them, below the mean level.
        {ClosedForm{0, {{12.42, 1, etab}, {6.21, 0.4, 2 * etab}}}, -1, "a double low water"},
    };
    const MonthBounds may = MonthBoundsOf(2004, 4).value();
    const long origin = Header.Time_of_debut;
    EXPECT_EQ(may.start + origin, UtcTime(2004, 4, 30, 22, 0, 0));  // midnight in Paris, summer time
    EXPECT_EQ(may.end + origin, UtcTime(2004, 5, 31, 22, 0, 0));
    int maximaBelow = 0, minimaAbove = 0;
    for (const auto& c : cases) {
        c.model.Install();
        // The scan covers one day before the month; it returns nothing at or after the month's end.
        const std::vector<Extreme> expected =
            c.model.Extremes(static_cast<double>(may.start - 86400), static_cast<double>(may.end));
        const std::vector<TurningPoint> points = ScanMonth(may);
        ASSERT_EQ(points.size(), expected.size()) << c.why;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Extreme& e = expected[expected.size() - 1 - i];  // the scan runs backwards
            const TurningPoint& p = points[i];
            const auto t = static_cast<double>(p.t);
            SCOPED_TRACE(Format("%s: scan point %li, true extreme %.3f", c.why, p.t, e.t));
            EXPECT_EQ((p.t + origin) % 30, 0);  // the grid is aligned on local midnight
            EXPECT_TRUE(t <= e.t && e.t < t + 30);
            EXPECT_NEAR(p.height, e.height, 0.001);
            EXPECT_EQ(p.high, e.high);
            if (p.high && c.coefficient >= 0) {
                EXPECT_EQ(p.coefficient, c.coefficient);
            }
            maximaBelow += e.high && e.height < c.model.meanLevel;
            minimaAbove += !e.high && e.height >= c.model.meanLevel;
        }
    }
    EXPECT_TRUE(maximaBelow > 0 && minimaAbove > 0) << maximaBelow << " maxima below, " << minimaAbove;
}

// ---- The fast scan ---------------------------------------------------------------

std::vector<MonthBounds> MonthsOf(int firstYear, int lastYear, int stride)
{
    std::vector<MonthBounds> months;
    for (int year = firstYear; year <= lastYear; ++year)
        for (int month = 0; month < 12; month += stride)
            months.push_back(*MonthBoundsOf(year, month));
    return months;
}

// The fast scan in every vector variant against the straightforward scans
// (the scan without its fast paths), which take seconds and so share the
// two cores (they only read the model).
void ExpectSameScans(const std::vector<MonthBounds>& months, const std::string& model)
{
    UseComputation({.fastPaths = false});
    std::vector<std::vector<TurningPoint>> direct(months.size());
    auto odd = std::async(std::launch::async, [&] {
        for (std::size_t i = 1; i < months.size(); i += 2)
            direct[i] = ScanMonth(months[i]);
    });
    for (std::size_t i = 0; i < months.size(); i += 2)
        direct[i] = ScanMonth(months[i]);
    odd.get();
    auto same = [](const TurningPoint& p, const TurningPoint& q) {
        return p.t == q.t && SameBits(p.height, q.height) && p.high == q.high && p.coefficient == q.coefficient;
    };
    ForEveryVectorVariant([&](const std::string& variant) {
        for (std::size_t i = 0; i < months.size(); ++i) {
            const std::vector<TurningPoint> fast = ScanMonth(months[i]);
            EXPECT_TRUE(std::equal(fast.begin(), fast.end(), direct[i].begin(), direct[i].end(), same))
                << model << ", " << months[i].year << "-" << months[i].month + 1 << ", " << variant;
        }
    });
}

TEST_F(TideTimesTest, TheFastScanOfEveryMonthOf2009To2030IsTheStraightforwardScan)
{
    for (int waves : {5, 42, 100}) {
        InstallPortWaves(waves);
        ExpectSameScans(MonthsOf(2009, 2030, IdentityStride()), Format("%i waves", waves));
    }
}

// With the corrections each day has its own waves: months of other years
// than the waves' own, across the changes of clock and of year.
TEST_F(TideTimesTest, WithTheCorrectionsTheFastScanIsTheStraightforwardScan)
{
    Model.NodalCorrections = 1;
    InstallPortWaves(42);
    std::vector<MonthBounds> months = MonthsOf(2012, 2012, IdentityStride());
    for (const MonthBounds& month : MonthsOf(2013, 2030, 5 * IdentityStride()))
        months.push_back(month);
    ExpectSameScans(months, "42 waves of 2009 carried");
}

// A period of 0 (speed 1e28), a negative, a vanishing and a huge amplitude,
// a phase of many turns; and no wave at all, where every rate is zero.
TEST_F(TideTimesTest, ForOddModelsTheFastScanIsTheStraightforwardScan)
{
    WaveSet.MeanLevel = 2;
    for (const Wave& w : {WaveOf(12.42, 1.8, 1e6), WaveOf(12.0, -0.5, 0.1), Wave{1e28, 0.01, 0.3, ""},
                          WaveOf(6.2, 1e-120, 0.2), WaveOf(24.0, 1e200, 0.4)})
        AppendWave(w);
    ExpectSameScans(MonthsOf(2004, 2004, 5), "odd waves");
    Model.NodalCorrections = 1;
    AppendWave(WaveOf(12.4206012, 1e200, 0.5));  // M2: carried to each day
    ExpectSameScans(MonthsOf(2007, 2007, 5), "odd waves carried");
    WaveSet.count = 0;
    ExpectSameScans(MonthsOf(2004, 2004, 11), "no wave");
}

// ---- A secondary port ---------------------------------------------------------------

// The example's waves, the mean level 2.5 m above the datum: ratios apply from there.
class PortTideTest : public TideTimesTest {
protected:
    void SetUp() override
    {
        TideTimesTest::SetUp();
        InstallPortWaves(5);
        Header.DatumOffset = 2.5;
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
