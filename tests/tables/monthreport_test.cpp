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

#include "base/localtime.h"
#include "base/log.h"
#include "base/text.h"
#include "model/record.h"
#include "model/waves.h"
#include "tables/tidetimes.h"
#include "tests/support/program_test.h"
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

// The default waves in closed form, written out again here.
struct Term { double periodHours, ampl, etabDegrees; };
const Term DEFAULT_TERMS[5] = {
    {12.420601220444135, 2.06, 99}, {12, 0.75, 139}, {12.658348244838265, 0.42, 80},
    {25.819341664737625, 0.07, 324}, {24, 0.06, 69},
};
constexpr double MEAN_LEVEL = 6.02;

double Height(double t)
{
    double h = MEAN_LEVEL;
    for (const Term& w : DEFAULT_TERMS)
        h += w.ampl * std::cos(2 * M_PI / (w.periodHours * 3600) * t - w.etabDegrees * M_PI / 180);
    return h;
}

double Slope(double t)
{
    double s = 0;
    for (const Term& w : DEFAULT_TERMS) {
        const double omega = 2 * M_PI / (w.periodHours * 3600);
        s -= omega * w.ampl * std::sin(omega * t - w.etabDegrees * M_PI / 180);
    }
    return s;
}

struct Extreme { double t; double height; bool high; };

// Sign changes of the slope bracketed every 10 minutes, then bisected to a millisecond.
std::vector<Extreme> Extremes(double from, double to)
{
    std::vector<Extreme> extremes;
    for (double a = from; a < to; a += 600) {
        double lo = a, hi = a + 600;
        if ((Slope(lo) > 0) == (Slope(hi) > 0))
            continue;
        const bool rising = Slope(lo) > 0;
        while (hi - lo > 1e-3) {
            const double mid = (lo + hi) / 2;
            ((Slope(mid) > 0) == rising ? lo : hi) = mid;
        }
        extremes.push_back({lo, Height(lo), rising});
    }
    return extremes;
}

class MonthReportTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        setenv("TZ", "Europe/Paris", 1);
        tzset();
        Header.StartYear = 2004;
        Header.Time_of_debut = *YearStartTime(2004);
        SetDefaultWaves();
        WaveSet.count = 5;
        OpenLog();
    }
};

// Every line of the plain report for March 2004 against the independent
// extremes: the clock time of the extreme to the minute (the reported scan
// point lies in the same minute), the height within rounding to 0.1 m, and
// the coefficient against the next low water within one unit (the scan
// takes both heights up to 30 s early).
void CheckPlainAgainstExtremes(const std::vector<std::string>& lines)
{
    const long origin = Header.Time_of_debut;
    const double start = static_cast<double>(UtcTime(2004, 2, 29, 23, 0, 0) - origin);
    const double end = static_cast<double>(UtcTime(2004, 3, 31, 22, 0, 0) - origin);
    const std::vector<Extreme> all = Extremes(start - 86400, end + 86400);
    std::size_t line = 1;  // after the title
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Extreme& e = all[i];
        if (e.t <= start || e.t >= end)
            continue;
        ASSERT_LT(line, lines.size());
        const std::tm clock = ClockAt(origin + static_cast<long>(std::floor(e.t)));
        const std::string head = Format("%s Mer le   %s%i%s \t2004   à %2i:%02i.", e.high ? "Haute " : "Basse",
                                        DayNamesAligned[clock.tm_wday], clock.tm_mday, MonthNames[clock.tm_mon],
                                        clock.tm_hour, clock.tm_min);
        const std::string& shown = lines[line++];
        ASSERT_EQ(shown.substr(0, head.size()), head);
        double height = 0;
        int coefficient = -1;
        std::sscanf(shown.c_str() + head.size(), " %lf m. Coef %d", &height, &coefficient);
        EXPECT_NEAR(height, e.height, 0.05 + 1e-4) << shown;
        if (!e.high)
            continue;
        std::size_t next = i + 1;
        while (all.at(next).high)
            ++next;
        const double expected = std::trunc((e.height - all[next].height) * 16.63893510815308);
        EXPECT_NEAR(coefficient, expected, 1) << shown;
    }
    EXPECT_EQ(line, lines.size());
}

// A tide as a day line of the exportable report shows it.
struct DayTide {
    std::string time;  // "%2i:%02i"
    bool high = false;
    int coefficient = 0;  // high water only
};

// The day line that the layout's rules give for the tides of one day, in
// clock order: the latest of a kind in the afternoon column, the earliest of
// two or more in the morning one. The last day of the month shows blanks
// where the other days show hyphens.
std::string ExpectedDayLine(int weekday, int day, const std::vector<DayTide>& tides, bool lastDay)
{
    const DayTide none{lastDay ? "      " : "-----", false, 0};
    std::vector<DayTide> highs, lows;
    for (const DayTide& tide : tides)
        (tide.high ? highs : lows).push_back(tide);
    auto morning = [&](const std::vector<DayTide>& kind) { return kind.size() >= 2 ? kind.front() : none; };
    auto afternoon = [&](const std::vector<DayTide>& kind) { return kind.empty() ? none : kind.back(); };
    return Format("%s     %i\t%s  %s  %3i  %3i  %s  %s\r\n", DayNames[weekday], day, morning(highs).time.c_str(),
                  afternoon(highs).time.c_str(), morning(highs).coefficient, afternoon(highs).coefficient,
                  morning(lows).time.c_str(), afternoon(lows).time.c_str());
}

using MonthDays = std::vector<std::vector<DayTide>>;  // index = day of month

// The tides of the plain report, day by day in clock order.
MonthDays DaysOfPlain(const std::vector<std::string>& plain)
{
    MonthDays days(32);
    for (std::size_t i = 1; i < plain.size(); ++i) {
        int day = 0, hour = 0, minute = 0;
        std::sscanf(plain[i].c_str() + plain[i].find("Mer le") + 6, "%*s %d", &day);
        std::sscanf(plain[i].c_str() + plain[i].find("à ") + 3, "%d:%d", &hour, &minute);
        const std::size_t coef = plain[i].find("Coef ");
        const bool high = coef != std::string::npos;
        days.at(static_cast<std::size_t>(day)).push_back(
            {Format("%2i:%02i", hour, minute), high, high ? std::atoi(plain[i].c_str() + coef + 5) : 0});
    }
    return days;
}

std::string ExportableOf(const MonthDays& days)
{
    std::string expected = "Détermination des horaires de marée du mois de  mars 2004\r\n"
                           "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\r\n";
    for (int day = 1; day <= 31; ++day)
        expected += ExpectedDayLine(day % 7, day, days[static_cast<std::size_t>(day)], day == 31);  // 1 March: Monday
    return expected;
}

TEST_F(MonthReportTest, DefaultWavesGiveTheCheckedReportsInBothLayouts)
{
    const std::string welcome = LogBytes();
    const std::string plain = RunTideTimes("2004", 2, false);
    const std::string exportable = RunTideTimes("2004", 2, true);
    EXPECT_EQ(plain, Golden("tidetimes-2004-03-plain.txt", plain));
    EXPECT_EQ(exportable, Golden("tidetimes-2004-03-exportable.txt", exportable));

    const std::vector<std::string> plainLines = LinesOf(Golden("tidetimes-2004-03-plain.txt", plain));
    ASSERT_GT(plainLines.size(), 100u);
    CheckPlainAgainstExtremes(plainLines);
    const MonthDays days = DaysOfPlain(plainLines);
    EXPECT_EQ(Golden("tidetimes-2004-03-exportable.txt", exportable), ExportableOf(days));
    int singleHighWaterDays = 0;
    for (std::size_t day = 1; day < 31; ++day)
        singleHighWaterDays +=
            std::count_if(days[day].begin(), days[day].end(), [](const DayTide& t) { return t.high; }) == 1;
    EXPECT_GT(singleHighWaterDays, 0) << "no day shows a single high water in its afternoon column";

    std::string logged = welcome;
    for (const std::string& report : {plain, exportable}) {
        const std::vector<std::string> lines = LinesOf(report);
        for (auto it = lines.rbegin(); it != lines.rend(); ++it)
            logged += *it;
    }
    EXPECT_EQ(LogBytes(), logged);
}

}  // namespace
