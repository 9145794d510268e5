// The tides of the exports against the tide-times report, at Vlissingen in
// 2009 (the model the window determines at start-up, TZ=Europe/Paris):
// March holds the change to summer time, December none.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>

#include "base/text.h"
#include "exports/formats.h"
#include "exports/tides.h"
#include "model/record.h"
#include "model/waves.h"
#include "tables/tidetimes.h"
#include "tests/exports/icalendar_reader.h"
#include "tests/support/program_test.h"
#include "tests/support/tide_reports.h"

namespace {

class ExportedTidesTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        DetermineExamplePortModel();
    }
    static std::vector<ReportTide> Report(int month)
    {
        std::string text;
        for (const std::string& line : MonthReportLines(*MonthBoundsOf(2009, month), false))
            text += line;
        return ReadPlainReport(text);
    }
    static std::vector<Tide> Exported(int month) { return TidesIn(*SpanOf(2009, month)).value(); }
};

// Summer time in Paris began on 29 March 2009 at 02:00 (01:00 UTC).
long ParisOffset(int month, int day, int hour)
{
    const bool summer = month == 2 && (day > 29 || (day == 29 && hour >= 3));
    return summer ? 7200 : 3600;
}

std::string WithComma(std::string number)
{
    number[number.find('.')] = ',';
    return number;
}

// The last count fields of a CSV row.
std::string LastFields(const std::string& row, int count)
{
    std::size_t at = row.size();
    for (int i = 0; i < count; ++i)
        at = row.rfind(',', at - 1);
    return row.substr(at + 1);
}

std::string Describe(const ReportTide& r)
{
    return Format("%s of day %i at %02i:%02i, %.1f m, coef %i", r.high ? "high" : "low", r.day, r.hour, r.minute,
                  r.height, r.coefficient);
}

// The CSV gives each tide on the local clock with the UTC offset of its day,
// the calendar one event per tide at its UTC time.
TEST_F(ExportedTidesTest, TheCsvAndTheStrictICalendarHoldTheReportsTidesOnTheirClocks)
{
    for (int month : {2, 11}) {
        const std::vector<ReportTide> report = Report(month);
        const std::vector<CsvTide> rows = ReadTidesCsv(TidesCsv(Exported(month), Clock::Local));
        const ICalendar ics = ReadICalendar(TidesICalendar(Exported(month), PortName(), 1700000000));
        EXPECT_EQ(ics.faults, std::vector<std::string>{});
        ASSERT_GT(report.size(), 110u);
        ASSERT_EQ(rows.size(), report.size()) << "month " << month;
        ASSERT_EQ(ics.events.size(), report.size()) << "month " << month;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ReportTide& r = report[i];
            const CsvTide& c = rows[i];
            const Properties& event = ics.events[i];
            SCOPED_TRACE(Describe(r) + " against " + c.time);
            EXPECT_EQ(c.clock.tm_mon, month);
            EXPECT_EQ(c.clock.tm_mday, r.day);
            EXPECT_EQ(c.clock.tm_hour, r.hour);
            EXPECT_EQ(c.clock.tm_min, r.minute);
            EXPECT_EQ(c.offsetSeconds, ParisOffset(month, r.day, r.hour));
            EXPECT_EQ(c.high, r.high);
            EXPECT_NEAR(c.height, r.height, 0.05 + 1e-9);  // centimetres against decimetres
            EXPECT_EQ(c.coefficient, r.high ? std::to_string(r.coefficient) : "");

            std::tm clock{};
            clock.tm_year = 109, clock.tm_mon = month, clock.tm_mday = r.day, clock.tm_hour = r.hour,
            clock.tm_min = r.minute;
            const std::time_t utc = timegm(&clock) - ParisOffset(month, r.day, r.hour);
            char start[32];
            std::strftime(start, sizeof start, "%Y%m%dT%H%M%SZ", std::gmtime(&utc));
            EXPECT_EQ(event.at("DTSTART")[0], start);
            const std::string height = WithComma(Format("%.1f", r.height));
            EXPECT_EQ(event.at("SUMMARY")[0], r.high ? Format("Pleine mer %s m (coef. %i)", height.c_str(), r.coefficient)
                                                     : "Basse mer " + height + " m");
            EXPECT_EQ(event.at("LOCATION")[0], "Vlissingen");
            EXPECT_EQ(event.at("DTSTAMP")[0], "20231114T221320Z");
        }
    }
}

TEST_F(ExportedTidesTest, APeriodAcrossMonthsIsTheirTidesInsideIt)
{
    const long from = *LocalClockTime(2009, 2, 31, 12, 0), to = *LocalClockTime(2009, 3, 1, 12, 0);
    std::vector<Tide> expected;
    for (int month : {2, 3})
        for (const Tide& tide : Exported(month))
            if (tide.time >= from && tide.time < to)
                expected.push_back(tide);
    const std::vector<Tide> tides = TidesIn(TimeSpan{from, to}).value();
    ASSERT_EQ(tides.size(), expected.size());
    ASSERT_GE(tides.size(), 3u);
    for (std::size_t i = 0; i < tides.size(); ++i)
        EXPECT_TRUE(tides[i].time == expected[i].time && tides[i].coefficient == expected[i].coefficient) << i;
}

TEST(ICalendarText, ALongPortNameIsFoldedWithinTheLineLengthAndReadBackWhole)
{
    const std::string port = "Port-Saint-Étienne, bassin «à flot»; quai des Échelles \\ môle nord-est, très loin";
    const std::vector<Tide> tides = {Tide{1230764400, 5.25, true, 101}, Tide{1230787000, -0.04, false, 0}};
    const ICalendar ics = ReadICalendar(TidesICalendar(tides, port, 1230764400));
    EXPECT_EQ(ics.faults, std::vector<std::string>{});
    ASSERT_EQ(ics.events.size(), 2u);
    EXPECT_EQ(ics.events[0].at("LOCATION")[0], port);
    EXPECT_EQ(ics.events[0].at("SUMMARY")[0], "Pleine mer 5,2 m (coef. 101)");  // a half rounds to even
    EXPECT_EQ(ics.events[1].at("SUMMARY")[0], "Basse mer -0,0 m");
    EXPECT_EQ(ics.calendar.at("X-WR-CALNAME")[0], "Marées " + port);
}

TEST(ICalendarReader, RefusesWhatTheFormatForbids)
{
    const std::string good = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:a\r\n"
                             "DTSTAMP:20090101T000000Z\r\nDTSTART:20090101T000000Z\r\nSUMMARY:a\\, b\r\nEND:VEVENT\r\n"
                             "END:VCALENDAR\r\n";
    EXPECT_EQ(ReadICalendar(good).faults, std::vector<std::string>{});
    struct Case { std::string from, to; const char* fault; };
    const Case cases[] = {
        {"\r\n", "\n", "lone CR or LF"},
        {"SUMMARY:a\\, b", "SUMMARY:a, b", "unescaped ','"},
        {"DTSTART:20090101T000000Z", "DTSTART:20090101T000000", "not a UTC date-time"},
        {"UID:a\r\n", "", "exactly one UID"},
        {"END:VEVENT\r\n", "", "closes nothing open"},
        {"SUMMARY:a\\, b", "SUMMARY:" + std::string(80, 'x'), "a line of 88 octets"},
    };
    for (const Case& c : cases) {
        std::string bad = good;
        bad.replace(bad.find(c.from), c.from.size(), c.to);
        std::string faults;
        for (const std::string& f : ReadICalendar(bad).faults)
            faults += f + "\n";
        EXPECT_NE(faults.find(c.fault), std::string::npos) << c.fault << " in:\n" << faults;
    }
}

TEST_F(ExportedTidesTest, TheWavesCsvHoldsTheMeanLevelThenEachWaveInEveryUnit)
{
    WaveSet.waves[1].name = "S2, \"solaire\"";
    const std::string csv = WavesCsv();
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(csv.substr(start, end - start));
    ASSERT_EQ(lines.size(), 2u + 5u);
    EXPECT_EQ(lines[0], "nom,periode_h,vitesse_deg_h,amplitude_m,phase_deg,phase_rad");
    EXPECT_EQ(lines[1], Format("Niveau Moyen,,0.000000,%.6f,0.000000,0.000000", WaveSet.MeanLevel));
    EXPECT_EQ(lines[3].rfind("\"S2, \"\"solaire\"\"\",", 0), 0u) << lines[3];
    for (int i = 0; i < 5; ++i) {
        const std::string& line = lines[static_cast<std::size_t>(i) + 2];
        double period = 0, speed = 0, ampl = 0, degrees = 0, radians = 0;
        ASSERT_EQ(std::sscanf(LastFields(line, 5).c_str(), "%lf,%lf,%lf,%lf,%lf", &period, &speed, &ampl, &degrees,
                              &radians),
                  5)
            << line;
        EXPECT_NEAR(period * speed, 360, 1e-4) << line;  // one turn per period
        EXPECT_NEAR(degrees, WaveSet.waves[i].etab * 180 / M_PI, 5e-7) << line;
        EXPECT_NEAR(ampl, WaveSet.waves[i].ampl, 5e-7) << line;
        EXPECT_NEAR(radians, WaveSet.waves[i].etab, 5e-7) << line;
    }
}

}  // namespace
