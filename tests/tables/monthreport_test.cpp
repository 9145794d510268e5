// The five default waves over March 2004 (with the change to summer time),
// in both layouts, against the golden files of tests/data (see the README
// there). The plain file is checked line by line against extremes found
// here by bisection on the analytic derivative, and the exportable file
// against the plain one by the layout's rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/text.h"
#include "model/port.h"
#include "model/waves.h"
#include "tables/tidetimes.h"
#include "tests/tables/tables_support.h"

namespace {

// The file's content, written first from actual when HALIOME_WRITE_GOLDEN is set.
std::string Golden(const std::string& name, const std::string& actual)
{
    const std::string path = std::string(HALIOME_TEST_DATA) + "/" + name;
    if (std::getenv("HALIOME_WRITE_GOLDEN"))
        WriteFile(path, actual);
    return ReadFile(path);
}

// The default waves written out again here: period (h), amplitude (m), phase (degrees).
constexpr double DEG = M_PI / 180;
const ClosedForm DEFAULT_WAVES{6.02, {{12.420601220444135, 2.06, 99 * DEG}, {12, 0.75, 139 * DEG},
                                      {12.658348244838265, 0.42, 80 * DEG}, {25.819341664737625, 0.07, 324 * DEG},
                                      {24, 0.06, 69 * DEG}}};

// A tide as a day line of the exportable report shows it: "%2i:%02i", and
// the coefficient of a high water.
struct DayTide { std::string time; bool high; int coefficient; };

// Every line of the plain report for March 2004 against the independent
// extremes: the clock time of the extreme to the minute (the reported scan
// point lies in the same minute), the height within rounding to 0.1 m, and
// the coefficient against the next low water within one unit (the scan
// takes both heights up to 30 s early). Returns the tides day by day
// (index = day of month), in clock order.
std::vector<std::vector<DayTide>> CheckPlainAgainstExtremes(const std::vector<std::string>& lines)
{
    std::vector<std::vector<DayTide>> days(32);
    const long origin = Header.Time_of_debut;
    const double start = static_cast<double>(UtcTime(2004, 2, 29, 23, 0, 0) - origin);
    const double end = static_cast<double>(UtcTime(2004, 3, 31, 22, 0, 0) - origin);
    const std::vector<Extreme> all = DEFAULT_WAVES.Extremes(start - 86400, end + 86400);
    std::size_t line = 1;  // after the title
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Extreme& e = all[i];
        if (e.t <= start || e.t >= end)
            continue;
        if (line == lines.size()) {
            ADD_FAILURE() << "no line for the extreme at " << e.t;
            break;
        }
        const std::tm clock = ClockAt(origin + static_cast<long>(std::floor(e.t)));
        const std::string head = Format("%s Mer le   %s%i %s \t2004   à %2i:%02i.", e.high ? "Haute " : "Basse",
                                        DayNameAligned(clock.tm_wday).c_str(), clock.tm_mday,
                                        MonthName(clock.tm_mon).c_str(), clock.tm_hour, clock.tm_min);
        const std::string& shown = lines[line++];
        EXPECT_EQ(shown.substr(0, head.size()), head);
        double height = 0;
        int coefficient = 0;
        std::sscanf(shown.c_str() + std::min(head.size(), shown.size()), " %lf m. Coef %d", &height, &coefficient);
        EXPECT_NEAR(height, e.height, 0.05 + 1e-4) << shown;
        days.at(static_cast<std::size_t>(clock.tm_mday))
            .push_back({Format("%2i:%02i", clock.tm_hour, clock.tm_min), e.high, coefficient});
        if (!e.high)
            continue;
        std::size_t next = i + 1;
        while (all.at(next).high)
            ++next;
        const double expected = std::trunc((e.height - all[next].height) * 16.63893510815308);
        EXPECT_NEAR(coefficient, expected, 1) << shown;
    }
    EXPECT_EQ(line, lines.size());
    return days;
}

// The day line that the layout's rules give for the tides of one day, in
// clock order: the latest of a kind in the afternoon column, the earliest of
// two or more in the morning one; a missing tide shows "-----" and 0, or
// blanks on the last day of the month.
std::string ExpectedDayLine(int weekday, int day, const std::vector<DayTide>& tides, bool lastDay)
{
    const DayTide none{lastDay ? "      " : "-----", false, 0};
    std::vector<DayTide> highs, lows;
    for (const DayTide& tide : tides)
        (tide.high ? highs : lows).push_back(tide);
    auto morning = [&](const std::vector<DayTide>& kind) { return kind.size() >= 2 ? kind.front() : none; };
    auto afternoon = [&](const std::vector<DayTide>& kind) { return kind.empty() ? none : kind.back(); };
    return Format("%s      %i\t%s  %s  %3i  %3i  %s  %s\r\n", DayName(weekday).c_str(), day, morning(highs).time.c_str(),
                  afternoon(highs).time.c_str(), morning(highs).coefficient, afternoon(highs).coefficient,
                  morning(lows).time.c_str(), afternoon(lows).time.c_str());
}

using MonthReportTest = TideTimesTest;

TEST_F(MonthReportTest, DefaultWavesGiveTheCheckedReportsInBothLayouts)
{
    SetDefaultWaves();
    WaveSet.count = 5;
    const std::string plain = RunTideTimes("2004", 2, false);
    const std::string exportable = RunTideTimes("2004", 2, true);
    EXPECT_EQ(plain, Golden("tidetimes-2004-03-plain.txt", plain));
    EXPECT_EQ(exportable, Golden("tidetimes-2004-03-exportable.txt", exportable));

    const std::vector<std::string> plainLines = LinesOf(Golden("tidetimes-2004-03-plain.txt", plain));
    ASSERT_GT(plainLines.size(), 100u);
    const std::vector<std::vector<DayTide>> days = CheckPlainAgainstExtremes(plainLines);
    std::string expected = plainLines[0] + "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\r\n";
    for (int day = 1; day <= 31; ++day)  // 1 March 2004 is a Monday
        expected += ExpectedDayLine(day % 7, day, days[static_cast<std::size_t>(day)], day == 31);
    EXPECT_EQ(Golden("tidetimes-2004-03-exportable.txt", exportable), expected);
    // Some day has a single high water: its morning cells show "-----" and 0.
    EXPECT_NE(expected.find("\t-----  "), std::string::npos) << expected;
}

}  // namespace
