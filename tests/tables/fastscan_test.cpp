// The month scan against the straightforward scan it stands for, to the last
// bit: every month of 2009 to 2030 from the waves fitted on the example
// year, in every vector variant, and models that users can type.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <future>

#include "base/computation.h"
#include "base/text.h"
#include "model/modeloptions.h"
#include "model/record.h"
#include "model/waves.h"
#include "tables/tidetimes.h"
#include "tests/support/computation_choice.h"
#include "tests/tables/tables_support.h"

namespace {

using FastScanTest = TideTimesTest;

bool SamePoints(const std::vector<TurningPoint>& a, const std::vector<TurningPoint>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TurningPoint& p, const TurningPoint& q) {
        return p.t == q.t && std::bit_cast<std::uint64_t>(p.height) == std::bit_cast<std::uint64_t>(q.height) &&
               p.high == q.high && p.coefficient == q.coefficient;
    });
}

std::vector<MonthBounds> MonthsOf(int firstYear, int lastYear, int stride)
{
    std::vector<MonthBounds> months;
    for (int year = firstYear; year <= lastYear; ++year)
        for (int month = 0; month < 12; month += stride)
            months.push_back(*MonthBoundsOf(year, month));
    return months;
}

// The straightforward scans take seconds: they share the two cores. They
// only read the model.
std::vector<std::vector<TurningPoint>> DirectScans(const std::vector<MonthBounds>& months)
{
    std::vector<std::future<std::vector<TurningPoint>>> scans;
    for (const MonthBounds& month : months)
        scans.push_back(std::async(std::launch::deferred, ScanMonthDirect, month));
    std::vector<std::vector<TurningPoint>> points(months.size());
    auto half = std::async(std::launch::async, [&] {
        for (std::size_t i = 1; i < months.size(); i += 2)
            points[i] = scans[i].get();
    });
    for (std::size_t i = 0; i < months.size(); i += 2)
        points[i] = scans[i].get();
    half.get();
    return points;
}

void ExpectSameScans(const std::vector<MonthBounds>& months, const std::string& model)
{
    const std::vector<std::vector<TurningPoint>> direct = DirectScans(months);
    for (VectorCode code : VECTOR_CODES) {
        if (!CanRun(code))
            continue;
        UseComputation({.vectorCode = code});
        for (std::size_t i = 0; i < months.size(); ++i)
            EXPECT_TRUE(SamePoints(ScanMonth(months[i]), direct[i]))
                << model << ", " << months[i].year << "-" << months[i].month + 1 << ", vector code "
                << static_cast<int>(code);
    }
}

TEST_F(FastScanTest, EveryMonthOf2009To2030HasTheStraightforwardScansTides)
{
    for (int waves : {5, 42, 100}) {
        LoadRealRecord(REAL_RECORDS[0]);
        FitWavesUpTo(waves);
        ExpectSameScans(MonthsOf(2009, 2030, IdentityStride()), Format("%i waves", waves));
    }
}

// With the corrections each day has its own waves: months of other years
// than the waves' own, across the changes of clock and of year.
TEST_F(FastScanTest, WithTheCorrectionsMonthsOfOtherYearsHaveTheStraightforwardScansTides)
{
    Model.NodalCorrections = 1;
    LoadRealRecord(REAL_RECORDS[0]);
    FitWavesUpTo(42);
    std::vector<MonthBounds> months = MonthsOf(2012, 2012, IdentityStride());
    for (const MonthBounds& month : MonthsOf(2013, 2030, 5 * IdentityStride()))
        months.push_back(month);
    ExpectSameScans(months, "42 waves of 2009 carried");
}

// A period of 0 (speed 1e28), a negative, a vanishing and a huge amplitude,
// a phase of many turns; and no wave at all, where every rate is zero.
TEST_F(FastScanTest, OddModelsHaveTheStraightforwardScansTides)
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

// Both layouts come from the same turning points; the change to summer time
// (March) and the year's end (December) with them.
TEST_F(FastScanTest, BothReportsAreTheStraightforwardReports)
{
    LoadRealRecord(REAL_RECORDS[0]);
    FitWavesUpTo(42);
    for (int month : {2, 11}) {
        for (bool exportable : {false, true}) {
            const MonthBounds bounds = *MonthBoundsOf(2009, month);
            UseComputation({.fastPaths = false});
            const std::vector<std::string> direct = MonthReportLines(bounds, exportable);
            UseComputation({.fastPaths = true});
            EXPECT_EQ(MonthReportLines(bounds, exportable), direct) << month << " " << exportable;
        }
    }
}

}  // namespace
