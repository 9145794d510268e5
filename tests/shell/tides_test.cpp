// The high and low waters of a year fitted on real gauge records of every
// kind of tide: each is a turning point of the predicted curve of the kind
// its label says, whatever its height against the mean level.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "base/text.h"
#include "model/waves.h"
#include "shell/cli.h"
#include "tables/tidetimes.h"
#include "tests/support/program_test.h"

namespace {

using TidesTest = ProgramTest;

int Cli(std::vector<const char*> args)
{
    args.insert(args.begin(), "haliome-cli");
    std::ostringstream out, errors;
    const int status = RunCli(static_cast<int>(args.size()), args.data(), out, errors);
    EXPECT_EQ(status, 0) << errors.str();
    return status;
}

// The curve's second difference over 5 minutes either side of the extreme,
// which lies in the 30 s after the scan point.
double Curvature(long t)
{
    const double middle = static_cast<double>(t) + 15;
    return PredictHeight(middle - 300, 0) - 2 * PredictHeight(middle, 0) + PredictHeight(middle + 300, 0);
}

TEST_F(TidesTest, AtMixedDiurnalAndShallowPortsEachTideIsTheTurningPointItsLabelSays)
{
    const struct { const char* file; int year; const char* why; } records[] = {
        {"gesla/san_diego_ca-569a-usa-uhslc", 2018, "San Diego, mixed"},
        {"gesla/derby-dydby01-aus-bom", 2015, "Derby, dry at low water"},
        {"uhslc-csv/qui-nong1.csv", 1995, "Qui Nhon, diurnal"},
        {"long-record/VLISSGN_obs19.txt", 1990, "Vlissingen, overtides"},
    };
    int maximaBelowMean = 0;
    for (const auto& r : records) {
        const std::string file = FormatsDir() + "/" + r.file;
        const std::string from = Format("%i-01-01", r.year), to = Format("%i-12-31", r.year);
        ASSERT_EQ(Cli({"import", file.c_str(), "-o", "r.TXT", "--from", from.c_str(), "--to", to.c_str()}), 0);
        ASSERT_EQ(Cli({"fit", "r.TXT", "--joint", "--shallow", "-o", "w.TID"}), 0);
        for (int month = 0; month < 12; ++month) {
            const std::vector<TurningPoint> tides = ScanMonth(*MonthBoundsOf(r.year, month));
            for (std::size_t i = 0; i < tides.size(); ++i) {
                SCOPED_TRACE(Format("%s, month %i, tide %zu at %li", r.why, month + 1, i, tides[i].t));
                EXPECT_EQ(tides[i].high, Curvature(tides[i].t) < 0);
                if (i > 0) {
                    EXPECT_NE(tides[i].high, tides[i - 1].high);
                    EXPECT_GE(std::fabs(tides[i].height - tides[i - 1].height), RIPPLE);
                }
                maximaBelowMean += tides[i].high && tides[i].height < WaveSet.MeanLevel;
            }
        }
    }
    EXPECT_GT(maximaBelowMean, 0);  // where a rule by the mean level calls a high water low
}

}  // namespace
