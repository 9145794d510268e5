// The high and low waters of a year fitted on real gauge records of every
// kind of tide: each is a turning point of the predicted curve of the kind
// its label says, whatever its height against the mean level.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
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

// Words of the PDF's text whose box leaves its page, as pdftotext sees them.
int WordsOffThePage(const std::string& pdf)
{
    FILE* text = popen(("pdftotext -bbox " + pdf + " -").c_str(), "r");
    int off = 0, words = 0;
    double width = 0, height = 0;
    char line[1000];
    while (text && std::fgets(line, sizeof line, text)) {
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (std::sscanf(line, " <page width=\"%lf\" height=\"%lf\"", &width, &height) == 2)
            continue;
        if (std::sscanf(line, " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &x0, &y0, &x1, &y1) != 4)
            continue;
        ++words;
        off += x0 < 0 || y0 < 0 || x1 > width || y1 > height ? 1 : 0;
    }
    EXPECT_TRUE(text && pclose(text) == 0 && words > 1000) << pdf << ": " << words << " words";
    return off;
}

// The curve's second difference over 5 minutes either side of the extreme,
// which lies in the 30 s after the scan point.
double Curvature(long t)
{
    const double middle = static_cast<double>(t) + 15;
    return PredictHeight(middle - 300, 0) - 2 * PredictHeight(middle, 0) + PredictHeight(middle + 300, 0);
}

// A year of each port, fitted on a real record or made: its tables and the
// pages of their PDF, whose every word stays on its A4 page.
TEST_F(TidesTest, AtMixedDiurnalAndDoubleTidePortsEachTideIsTheTurningPointItsLabelSaysAndFitsItsPage)
{
    const struct { const char* file; int year; const char* why; } records[] = {
        {"gesla/san_diego_ca-569a-usa-uhslc", 2018, "San Diego, mixed"},
        {"gesla/derby-dydby01-aus-bom", 2015, "Derby, dry at low water"},
        {"uhslc-csv/qui-nong1.csv", 1995, "Qui Nhon, diurnal"},
        {"long-record/VLISSGN_obs19.txt", 1990, "Vlissingen, overtides"},
        // M4 at its crest at each low water of M2: four high and four low waters on some days.
        {nullptr, 2009, "double low waters"},
    };
    int maximaBelowMean = 0;
    for (const auto& r : records) {
        const std::string file = r.file ? FormatsDir() + "/" + r.file : "";
        const std::string from = Format("%i-01-01", r.year), to = Format("%i-12-31", r.year);
        if (r.file) {
            ASSERT_EQ(Cli({"import", file.c_str(), "-o", "r.TXT", "--from", from.c_str(), "--to", to.c_str()}), 0);
            ASSERT_EQ(Cli({"fit", "r.TXT", "--joint", "--shallow", "-o", "w.TID"}), 0);
        } else {
            std::ofstream("w.TID") << "Double\n2009\nspeed;ampl;etab;name\n0.0;3.0;0.0;Niveau Moyen\n"
                                      "44714.164;1.0;1.0;M2\n22357.082;0.4;2.0;M4\n";
        }
        ASSERT_EQ(Cli({"pdf", "w.TID", "--year", from.substr(0, 4).c_str(), "-o", "t.pdf"}), 0);  // and holds the waves
        EXPECT_EQ(WordsOffThePage("t.pdf"), 0) << r.why;
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
