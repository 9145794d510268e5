#include <gtest/gtest.h>

#include <cstdlib>

#include "base/localtime.h"
#include "base/log.h"
#include "base/text.h"
#include "model/record.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "tables/tidetimes.h"
#include "tests/support/program_test.h"
#include "tests/tables/tables_support.h"

namespace {

const std::string HEADER = "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\r\n";

std::string Title(const std::string& monthAndYear)
{
    return "Détermination des horaires de marée du mois de " + monthAndYear + "\r\n";
}

// Model time starts on 1 January 2004, in Paris.
class TideTimesTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        setenv("TZ", "Europe/Paris", 1);
        tzset();
        Header.StartYear = 2004;
        Header.Time_of_debut = *YearStartTime(2004);
        OpenLog();
    }
};

TEST_F(TideTimesTest, OpensOnTodaysYearAndMonthAndOnlyPlainClicksAct)
{
    using Action = headless::DialogAction;
    const std::string welcome = LogContents();
    std::string year;
    int month = -1;
    std::string reportAfterOtherCommands = "?";
    headless::QueueDialogAction(Action::InspectWith([&](Window dialog) {
        year = GetControlText(dialog, TIDE_YEAR_ID);
        month = SelectedItem(dialog, TIDE_MONTH_ID);
        TideTimesDialog(dialog, DialogEvent::Command, TIDE_COMPUTE_ID, NOTIFY_SELCHANGE);
        TideTimesDialog(dialog, DialogEvent::Command, ID_OK, NOTIFY_DBLCLK);
        reportAfterOtherCommands = GetControlText(dialog, TIDE_REPORT_ID);
    }));
    headless::QueueDialogAction(Action::TickBox(TIDE_EXPORTABLE_ID));
    headless::QueueDialogAction(Action::Press(ID_OK));
    OpenTideTimes();
    headless::QueueDialogAction(Action::CloseDialog());
    OpenTideTimes();

    const std::tm today = ClockAt(static_cast<long>(std::time(nullptr)));
    EXPECT_EQ(year, std::to_string(today.tm_year + 1900));
    EXPECT_EQ(month, today.tm_mon);
    EXPECT_EQ(reportAfterOtherCommands, "");
    ASSERT_EQ(headless::Dialogs().size(), 2u);
    for (const headless::DialogRecord& dialog : headless::Dialogs()) {
        EXPECT_EQ(dialog.title, "Calculer les horaires de Marées");
        EXPECT_EQ(dialog.owner, "main window");
        EXPECT_EQ(dialog.result, 0);
        EXPECT_EQ(dialog.finalTexts.at(TIDE_REPORT_ID), "");
    }
    EXPECT_EQ(LogContents(), welcome);
}

TEST_F(TideTimesTest, WithoutWavesTheReportIsTheTitleAndTheHeaderOnly)
{
    const std::string welcome = LogContents();
    EXPECT_EQ(RunTideTimes("2004", 2, false), Title(" mars 2004"));
    EXPECT_EQ(RunTideTimes("2004", 2, true), Title(" mars 2004") + HEADER);
    // The log has the lines in the order computed: the header before the title.
    EXPECT_EQ(LogBytes(), WithCrLf(welcome) + Title(" mars 2004") + HEADER + Title(" mars 2004"));
}

TEST_F(TideTimesTest, YearEntriesAreReadWithPercentIAndSmallOnesCountFrom1900)
{
    const struct { const char* entry; const char* year; } cases[] = {
        {"2004", "2004"}, {"104", "2004"}, {"0x7D4", "2004"}, {"  2004 et la suite", "2004"},
        {"04", "1904"},   // octal
        {"1000", "2900"}, {"1001", "1001"}, {"0", "1900"}, {"-5", "1895"},
        {"2100", "2100"},  // past 2038: calendar times are 64-bit here
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunTideTimes(c.entry, 2, false), Title(std::string(" mars ") + c.year)) << c.entry;
}

TEST_F(TideTimesTest, AYearThatCannotBeConvertedIsSaidInTheReportBoxAndNothingIsLogged)
{
    const std::string welcome = LogContents();
    const struct { const char* entry; int month; const char* said; } cases[] = {
        {"deux mille", 2,
         "L'année « deux mille » n'est pas un nombre : tapez-la en chiffres, par exemple 2004.\r\n"},
        {"", 2, "Tapez l'année en chiffres, par exemple 2004.\r\n"},
        {"99999999999", 2,
         "Le mois de mars 99999999999 ne peut pas être converti en date : choisissez une autre année.\r\n"},
        // Its month end would be in a year the C library's int cannot hold.
        {"2147483647", 11,
         "Le mois de décembre 2147483647 ne peut pas être converti en date : choisissez une autre année.\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunTideTimes(c.entry, c.month, false), c.said) << c.entry;
    EXPECT_EQ(LogContents(), welcome);
}

TEST_F(TideTimesTest, APureWaveTurnsAtTheGridPointJustBeforeEachTrueExtreme)
{
    // 12.42 h: half a period is 22356 s, so the extremes fall 4 to 28 s after
    // a 30-s grid point, never on one.
    const long highAt = UtcTime(2004, 5, 10, 12, 37, 10);  // 14:37:10 in Paris (summer time)
    SetPureWave(12.42, 2.5, 4.0, highAt);
    const std::optional<MonthBounds> may = MonthBoundsOf(2004, 4);
    ASSERT_TRUE(may);
    const long origin = Header.Time_of_debut;
    EXPECT_EQ(may->start + origin, UtcTime(2004, 4, 30, 22, 0, 0));
    EXPECT_EQ(may->end + origin, UtcTime(2004, 5, 31, 22, 0, 0));
    // The scan covers one day before the month; it returns nothing at or after the month's end.
    const std::vector<ClockTide> expected =
        PureWaveTides(12.42, highAt, may->start + origin - 86400, may->end + origin);
    const std::vector<TurningPoint> points = ScanMonth(*may);
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ClockTide& tide = expected[expected.size() - 1 - i];  // the scan runs backwards
        const long at = points[i].t + origin;
        EXPECT_EQ(at % 30, 0) << "off the grid aligned on local midnight: " << at;
        EXPECT_TRUE(at <= tide.at && tide.at < at + 30) << "reported " << at << ", extreme " << tide.at;
        EXPECT_EQ(points[i].high, tide.high) << at;
        EXPECT_NEAR(points[i].height, tide.high ? 6.5 : 1.5, 0.001) << at;
        if (tide.high) {
            EXPECT_EQ(points[i].coefficient, 83) << at;  // trunc(5 m × 16.6389…) = trunc(83.19)
        }
    }
}

TEST_F(TideTimesTest, ThePlainReportListsTheMonthsTidesInClockOrderUnderItsTitle)
{
    const long highAt = UtcTime(2004, 5, 10, 12, 37, 10);
    SetPureWave(12.42, 2.5, 4.0, highAt);
    const std::string box = RunTideTimes("2004", 4, false);
    const std::vector<std::string> lines = LinesOf(box);
    // Written out by hand: 10 May 2004 is a Monday; the low water is 6 h 12 min 36 s later.
    const std::string high = "Haute  Mer le      Lundi 10 mai \t2004   à 14:37.     6.5 m.    Coef 83\r\n";
    const std::string low = "Basse Mer le      Lundi 10 mai \t2004   à 20:49.     1.5 m.\r\n";
    EXPECT_NE(box.find(high + low), std::string::npos) << box;

    // The title, then every tide of the month from the 1st to the 31st.
    const std::size_t tides =
        PureWaveTides(12.42, highAt, UtcTime(2004, 4, 30, 22, 0, 0), UtcTime(2004, 5, 31, 22, 0, 0)).size();
    ASSERT_EQ(lines.size(), 1 + tides);
    EXPECT_EQ(lines[0], Title(" mai 2004"));
    EXPECT_NE(lines[1].find(" 1 mai \t2004"), std::string::npos) << lines[1];
    EXPECT_NE(lines.back().find(" 31 mai \t2004"), std::string::npos) << lines.back();
    // The log has them in the order computed, from the latest.
    std::string reversed;
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        reversed += *it;
    EXPECT_NE(LogBytes().find(reversed), std::string::npos);
}

TEST_F(TideTimesTest, DecemberEndsAtTheFirstOfJanuaryAndItsLastCoefficientUsesTheLowWaterAfter)
{
    // High water at 21:00:10 on 31 December; its low water is at 03:12:46 on 1 January.
    SetPureWave(12.42, 2.5, 4.0, UtcTime(2004, 12, 31, 20, 0, 10));
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
    SetPureWave(12.42, 2.5, 4.0, UtcTime(2004, 2, 10, 3, 3, 10));
    const struct { const char* year; std::size_t days; int firstWeekday; } cases[] = {
        {"2004", 29, 0},  // 1 February 2004 is a Sunday
        {"2005", 28, 2},  // 1 February 2005 a Tuesday
    };
    for (const auto& c : cases) {
        const std::vector<std::string> lines = LinesOf(RunTideTimes(c.year, 1, true));
        ASSERT_EQ(lines.size(), 2 + c.days) << c.year;
        EXPECT_EQ(lines[0], Title(std::string(" février ") + c.year));
        for (std::size_t day = 1; day <= c.days; ++day) {
            const std::string start = DayNames[(c.firstWeekday + day - 1) % 7] + std::string("     ") +
                                      std::to_string(day) + "\t";
            EXPECT_EQ(lines[1 + day].substr(0, start.size()), start) << c.year;
        }
    }
}

TEST_F(TideTimesTest, ATideInTheFirstThirtySecondsOfAMonthIsListedInThatMonthOnly)
{
    // High water at 00:00:10 on 1 April 2004 (summer time): the scan finds it
    // at 00:00:00, the very start of April and the end of March.
    SetPureWave(24, 1, 0, UtcTime(2004, 3, 31, 22, 0, 10));
    const std::string high = "Haute  Mer le      Jeudi 1 avril \t2004   à  0:00.     1.0 m.    Coef 33\r\n";
    EXPECT_EQ(LinesOf(RunTideTimes("2004", 3, false)).at(1), high);
    EXPECT_EQ(RunTideTimes("2004", 2, false).find("avril"), std::string::npos);
}

TEST_F(TideTimesTest, TurningPointsAreClassedByTheirHeightAgainstTheMeanLevel)
{
    // A 10-day wave of 3 m under a 12-h wave of 1 m: near its troughs the
    // 12-h maxima lie below the mean level, near its crests the minima above.
    WaveSet.MeanLevel = 0;
    AppendWave(WaveOf(12, 1, 0.3));
    AppendWave(WaveOf(240, 3, 1.1));
    bool maximumBelow = false, minimumAbove = false;
    for (const TurningPoint& point : ScanMonth(*MonthBoundsOf(2004, 4))) {
        const bool maximum = PredictHeightRate(static_cast<double>(point.t), 0) > 0;
        maximumBelow |= maximum && point.height < 0;
        minimumAbove |= !maximum && point.height >= 0;
        EXPECT_EQ(point.high, point.height >= 0) << point.t << ": " << point.height;
    }
    EXPECT_TRUE(maximumBelow && minimumAbove);
}

TEST_F(TideTimesTest, AcrossDaylightSavingChangesTheReportFollowsTheLocalClock)
{
    // A 24-h wave: high water at 11:30:10 and low water at 23:30:10 standard
    // time every day; in summer time the Paris clock shows them an hour later.
    SetPureWave(24, 1, 0, UtcTime(2004, 1, 1, 10, 30, 10));
    const struct { int month; bool exportable; std::size_t lines; std::vector<std::string> shown; } cases[] = {
        // Sunday 28 March 2004 at 02:00 the clock goes to 03:00: that day's low
        // water falls at 00:30 on Monday, and the day has none.
        {2, false, 1 + 31 + 30, {
            "Basse Mer le     Samedi 27 mars \t2004   à 23:30.     -1.0 m.\r\n"
            "Haute  Mer le   Dimanche 28 mars \t2004   à 12:30.     1.0 m.    Coef 33\r\n"
            "Basse Mer le      Lundi 29 mars \t2004   à  0:30.     -1.0 m.\r\n",
            "Basse Mer le   Mercredi 31 mars \t2004   à  0:30.     -1.0 m.\r\n"
            "Haute  Mer le   Mercredi 31 mars \t2004   à 12:30.     1.0 m.    Coef 33\r\n",
        }},
        {2, true, 2 + 31, {"Dimanche      28\t-----  12:30    0   33  -----  -----\r\n"}},
        // The month starts at midnight on the clock: its first tide is at 00:30.
        {3, false, 1 + 30 + 30, {"Détermination des horaires de marée du mois de  avril 2004\r\n"
                                 "Basse Mer le      Jeudi 1 avril \t2004   à  0:30.     -1.0 m.\r\n"}},
        // Sunday 31 October at 03:00 the clock goes back to 02:00: the day has
        // the low water of 00:30 and that of 23:30.
        {9, false, 1 + 31 + 32, {"Basse Mer le   Dimanche 31 octobre \t2004   à  0:30.     -1.0 m.\r\n"
                                 "Haute  Mer le   Dimanche 31 octobre \t2004   à 11:30.     1.0 m.    Coef 33\r\n"
                                 "Basse Mer le   Dimanche 31 octobre \t2004   à 23:30.     -1.0 m.\r\n"}},
        {9, true, 2 + 31, {"Dimanche      31\t        11:30    0   33   0:30  23:30\r\n"}},
    };
    for (const auto& c : cases) {
        const std::string box = RunTideTimes("2004", c.month, c.exportable);
        EXPECT_EQ(LinesOf(box).size(), c.lines) << box;
        for (const std::string& shown : c.shown)
            EXPECT_NE(box.find(shown), std::string::npos) << shown << "\nnot in\n" << box;
        if (c.month == 2) {
            EXPECT_EQ(box.find("avril"), std::string::npos) << "March lists a tide of 1 April:\n" << box;
        }
    }
}

}  // namespace
