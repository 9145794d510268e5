#include <gtest/gtest.h>

#include <tuple>

#include "base/text.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "tables/tidetimes.h"
#include "tests/tables/tables_support.h"

namespace {

std::string Title(const std::string& monthAndYear)
{
    return "Détermination des horaires de marée du mois de " + monthAndYear + "\r\n";
}

TEST_F(TideTimesTest, OpensOnTodaysYearAndMonthAndOnlyPlainClicksAct)
{
    std::string year, report = "?";
    int month = -1;
    headless::QueueDialogAction(headless::DialogAction::InspectWith([&](Window dialog) {
        year = GetControlText(dialog, TIDE_YEAR_ID);
        month = SelectedItem(dialog, TIDE_MONTH_ID);
        TideTimesDialog(dialog, DialogEvent::Command, TIDE_COMPUTE_ID, NOTIFY_SELCHANGE);
        TideTimesDialog(dialog, DialogEvent::Command, ID_OK, NOTIFY_DBLCLK);  // closing would leave Escape unused
        report = GetControlText(dialog, TIDE_REPORT_ID);
    }));
    headless::QueueDialogAction(headless::DialogAction::CloseDialog());
    OpenTideTimes();
    const std::tm today = ClockAt(static_cast<long>(std::time(nullptr)));
    EXPECT_EQ(year, std::to_string(today.tm_year + 1900));
    EXPECT_EQ(month, today.tm_mon);
    EXPECT_EQ(report, "");
    EXPECT_EQ(headless::Dialogs().at(0).owner, "main window");
}

TEST_F(TideTimesTest, WithoutWavesTheReportIsTheTitleAndTheHeaderOnly)
{
    const std::string welcome = LogContents();
    const std::string header = "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\r\n";
    EXPECT_EQ(RunTideTimes("2004", 2, false), Title(" mars 2004"));
    EXPECT_EQ(RunTideTimes("2004", 2, true), Title(" mars 2004") + header);
    // The log has the lines in the order computed: the header before the title.
    EXPECT_EQ(LogBytes(), WithCrLf(welcome) + Title(" mars 2004") + header + Title(" mars 2004"));
}

// The waves describe 2004: a report of another year ends by saying so.
const std::string NOT_CARRIED = "Corrections nodales : non (ondes de 2004).\r\n";

TEST_F(TideTimesTest, YearEntriesAreReadWithPercentIAndOnesThatCannotBeConvertedAreSaidButNotLogged)
{
    std::string logged = LogBytes();
    const struct { const char* entry; std::string box; } cases[] = {
        {"2004", Title(" mars 2004")}, {"104", Title(" mars 2004")}, {"0x7D4", Title(" mars 2004")},
        {"  2004 et la suite", Title(" mars 2004")}, {"04", Title(" mars 1904") + NOT_CARRIED},  // octal
        {"1000", Title(" mars 2900") + NOT_CARRIED}, {"1001", Title(" mars 1001") + NOT_CARRIED},
        {"deux mille", "L'année « deux mille » n'est pas un nombre : tapez-la en chiffres, par exemple 2004.\r\n"},
        {"", "Tapez l'année en chiffres, par exemple 2004.\r\n"},
        {"99999999999",
         "Le mois de mars 99999999999 ne peut pas être converti en date : choisissez une autre année.\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunTideTimes(c.entry, 2, false), c.box) << "entry " << c.entry;
        if (c.box.rfind("Détermination", 0) == 0) {
            const std::vector<std::string> lines = LinesOf(c.box);
            for (auto line = lines.rbegin(); line != lines.rend(); ++line)  // the log has them as computed
                logged += *line;
        }
    }
    EXPECT_EQ(LogBytes(), logged);
}

TEST_F(TideTimesTest, EachTurningPointIsTheGridPointBeforeATrueExtremeClassedByItsHeight)
{
    const struct { ClosedForm model; int coefficient; const char* why; } cases[] = {
        // Half a period is 22356 s, so the extremes fall 4 to 28 s after a
        // 30-s grid point, never on one; trunc(5 m × 16.6389…) = trunc(83.19).
        {PureWave(12.42, 2.5, 4.0, UtcTime(2004, 5, 10, 12, 37, 10)), 83, "a pure wave"},
        // Near the troughs of the 10-day wave the 12-h maxima lie below the
        // mean level, near its crests the minima above.
        {ClosedForm{0, {{12, 1, 0.3}, {240, 3, 1.1}}}, -1, "1 m over 12 h on 3 m over 10 days"},
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
            EXPECT_EQ((p.t + origin) % 30, 0) << c.why << ": off the grid aligned on local midnight: " << p.t;
            EXPECT_TRUE(t <= e.t && e.t < t + 30) << c.why << ": scan point " << p.t << ", true extreme " << e.t
                                                  << ", expected within the 30 s after the point";
            EXPECT_NEAR(p.height, e.height, 0.001) << c.why << " at " << p.t;
            EXPECT_EQ(p.high, e.height >= c.model.meanLevel) << c.why << " at " << p.t << ", height " << e.height;
            if (p.high && c.coefficient >= 0) {
                EXPECT_EQ(p.coefficient, c.coefficient) << c.why << " at " << p.t;
            }
            maximaBelow += e.high && e.height < c.model.meanLevel;
            minimaAbove += !e.high && e.height >= c.model.meanLevel;
        }
    }
    EXPECT_TRUE(maximaBelow > 0 && minimaAbove > 0) << maximaBelow << " maxima below, " << minimaAbove;
}

TEST_F(TideTimesTest, DecemberEndsAtTheFirstOfJanuaryAndItsLastCoefficientUsesTheLowWaterAfter)
{
    // High water at 21:00:10 on 31 December; its low water is at 03:12:46 on 1 January.
    PureWave(12.42, 2.5, 4.0, UtcTime(2004, 12, 31, 20, 0, 10)).Install();
    const std::vector<std::string> plain = LinesOf(RunTideTimes("2004", 11, false));
    EXPECT_EQ(plain.front(), Title(" décembre 2004"));
    // Without the low water of 1 January the coefficient would be trunc(2.5 × 16.64) = 41.
    EXPECT_EQ(plain.back(), "Haute  Mer le   Vendredi 31 décembre \t2004   à 21:00.     6.5 m.    Coef 83\r\n");
    for (const std::string& line : plain)
        EXPECT_EQ(line.find("janvier"), std::string::npos) << line;
    const std::vector<std::string> exportable = LinesOf(RunTideTimes("2004", 11, true));
    ASSERT_EQ(exportable.size(), 2u + 31u);
    // Two high waters, 12 h 25 min 12 s apart, and the low waters 6 h 12 min 36 s before each.
    EXPECT_EQ(exportable.back(), "Vendredi      31\t 8:34  21:00   83   83   2:22  14:47\r\n");
}

TEST_F(TideTimesTest, FebruaryHasOneLinePerDayAndTwentyNineInALeapYear)
{
    PureWave(12.42, 2.5, 4.0, UtcTime(2004, 2, 10, 3, 3, 10)).Install();
    // 29 February 2004 is a Sunday, 28 February 2005 a Monday.
    for (const auto& [year, days, last] : {std::tuple{"2004", 29u, "Dimanche      29\t"},
                                          std::tuple{"2005", 28u, "Lundi      28\t"}}) {
        std::vector<std::string> lines = LinesOf(RunTideTimes(year, 1, true));
        if (lines.back() == NOT_CARRIED)
            lines.pop_back();
        ASSERT_EQ(lines.size(), 2 + days) << year;
        EXPECT_EQ(lines[0], Title(std::string(" février ") + year));
        EXPECT_EQ(lines.back().rfind(last, 0), 0u) << lines.back();
    }
}

// Only a month outside the year that the waves describe says it, last, in
// both layouts, with the option as it stands.
TEST_F(TideTimesTest, AMonthOfAnotherYearEndsBySayingWhetherTheWavesWereCarriedToIt)
{
    PureWave(12.42, 2.5, 4.0, UtcTime(2004, 2, 10, 3, 3, 10)).Install();
    const struct { const char* year; int nodal; const char* last; } cases[] = {
        {"2004", 0, nullptr}, {"2004", 1, nullptr},
        {"2005", 0, "Corrections nodales : non (ondes de 2004).\r\n"},
        {"2003", 1, "Corrections nodales : oui (ondes de 2004).\r\n"},
    };
    for (const auto& c : cases) {
        Model.NodalCorrections = c.nodal;
        for (bool exportable : {false, true}) {
            const std::string last = LinesOf(RunTideTimes(c.year, 5, exportable)).back();
            if (c.last)
                EXPECT_EQ(last, c.last) << c.year << " " << exportable;
            else
                EXPECT_EQ(last.rfind("Corrections", 0), std::string::npos) << c.year << " " << exportable;
        }
    }
}

TEST_F(TideTimesTest, AcrossDaylightSavingChangesTheReportFollowsTheLocalClock)
{
    // A 24-h wave: high water at 11:00:10 and low water at 23:00:10 standard
    // time every day; in summer time the Paris clock shows them an hour later.
    PureWave(24, 1, 0, UtcTime(2004, 1, 1, 10, 0, 10)).Install();
    const struct { int month; bool exportable; std::size_t lines; const char* shown; } cases[] = {
        // Sunday 28 March 2004 at 02:00 the clock goes to 03:00: that day's low
        // water falls at 00:00 on Monday, and the day has none.
        {2, true, 2 + 31, "Dimanche      28\t-----  12:00    0   33  -----  -----\r\n"},
        // The low water at 00:00:10 on 1 April is found at 00:00:00, the start
        // of April and the end of March: it is listed in April only (March
        // has no line for it above).
        {3, false, 1 + 30 + 30, "avril 2004\r\nBasse Mer le      Jeudi 1 avril \t2004   à  0:00.     -1.0 m.\r\n"},
        // Sunday 31 October at 03:00 the clock goes back to 02:00: the day has
        // the low water of 00:00 and that of 23:00.
        {9, false, 1 + 31 + 32,
         "Basse Mer le   Dimanche 31 octobre \t2004   à  0:00.     -1.0 m.\r\n"
         "Haute  Mer le   Dimanche 31 octobre \t2004   à 11:00.     1.0 m.    Coef 33\r\n"
         "Basse Mer le   Dimanche 31 octobre \t2004   à 23:00.     -1.0 m.\r\n"},
        {9, true, 2 + 31, "Dimanche      31\t        11:00    0   33   0:00  23:00\r\n"},
    };
    for (const auto& c : cases) {
        const std::string box = RunTideTimes("2004", c.month, c.exportable);
        EXPECT_EQ(LinesOf(box).size(), c.lines) << box;
        EXPECT_NE(box.find(c.shown), std::string::npos) << c.shown << "\nnot in\n" << box;
    }
}

}  // namespace
