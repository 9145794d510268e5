#include <gtest/gtest.h>

#include <cstdlib>

#include "base/calendar.h"

namespace {

// Expected values from the UTC offsets.
TEST(YearStartTime, IsLocalStandardMidnightOfTheFirstOfJanuary)
{
    struct Case { const char* zone; long year; CalendarTime start; const char* why; };
    const Case cases[] = {
        {"Europe/Paris", 2009, 1230764400, "UTC+1 in winter: 2008-12-31 23:00 UTC"},
        {"Europe/Paris", 2100, 4102444800L - 3600, "past 2038: 2100-01-01 00:00 UTC is 4102444800 s"},
        // Summer time is in force in Sydney on 1 January; standard time (UTC+10) is used.
        {"Australia/Sydney", 2009, 1230732000, "2008-12-31 14:00 UTC"},
        // Ireland's data calls winter's GMT a negative summer time: standard is still the lesser offset.
        {"Europe/Dublin", 2009, 1230768000, "2009-01-01 00:00 UTC, as in London"},
        {"Asia/Kolkata", 2009, 1230748200, "the computer's half-hour zone, as files were always read: 18:30 UTC"},
        // Paris mean time (+0:09:21) until 1911: the whole hour east of it.
        {"Europe/Paris", 1904, -2082844800L - 3600, "1904-01-01 00:00 UTC+1 = 1903-12-31 23:00 UTC"},
    };
    auto inZone = [](const char* zone) { setenv("TZ", zone, 1), tzset(); };
    for (const Case& c : cases) {
        inZone(c.zone);
        EXPECT_EQ(YearStartTime(c.year), c.start) << c.zone << ", " << c.year << ": " << c.why;
    }
    inZone("Europe/Paris");
}

// Paris mean time is +0:09:21, which an ISO 8601 offset cannot write: the
// text still names the instant, as TimeOfIsoDate reads it back.
TEST(IsoDateTime, NamesTheInstantWhenTheOffsetHasSeconds)
{
    setenv("TZ", "Europe/Paris", 1), tzset();
    const CalendarTime t = -2082844800L + 7 * 3600 + 3 * 60;  // 1904-01-01 07:03 UTC, 07:12:21 in Paris
    EXPECT_EQ(IsoDateTime(t, Clock::Local, true), "1904-01-01T07:12:00+00:09");
    EXPECT_EQ(TimeOfIsoDate(IsoDateTime(t, Clock::Local), Clock::Local, false), t);
}

// 2009-03-29 02:30 does not exist in Paris, 2009-10-25 02:30 occurs at
// 00:30 and 01:30 UTC: neither is taken silently. Dates alone and times
// with an offset are not in doubt.
TEST(TimeOfIsoDate, RefusesALocalTimeThatTheChangeOfClockSkipsOrRepeats)
{
    setenv("TZ", "Europe/Paris", 1), tzset();
    EXPECT_EQ(TimeOfIsoDate("2009-03-29T02:30", Clock::Local, false), std::nullopt);
    EXPECT_EQ(LocalTimeDoubt("2009-03-29T02:30"),
              "n'existe pas à l'heure locale : l'horloge saute cette heure-là au changement d'heure");
    EXPECT_EQ(TimeOfIsoDate("2009-10-25T02:30", Clock::Local, false), std::nullopt);
    EXPECT_EQ(LocalTimeDoubt("2009-10-25T02:30"),
              "a lieu deux fois à l'heure locale, au changement d'heure : écrivez 2009-10-25T02:30+02:00 pour la "
              "première, 2009-10-25T02:30+01:00 pour la seconde");
    EXPECT_EQ(TimeOfIsoDate("2009-10-25T02:30+01:00", Clock::Local, false), 1256434200);
    EXPECT_EQ(TimeOfIsoDate("2009-10-25T03:00:30", Clock::Local, false), 1256436030);
    EXPECT_EQ(TimeOfIsoDate("2009-03-29", Clock::Local, true), 1238364000);  // 30 March 00:00 +02:00
    EXPECT_EQ(TimeOfIsoDate("2009-03-29T02:30", Clock::Utc, false), 1238293800);
    for (const char* sure : {"2009-03-29T03:00", "2009-10-25", "2009-10-25T02:30Z", "pas une date"})
        EXPECT_EQ(LocalTimeDoubt(sure), "") << sure;
    // Samoa skipped 30 December 2011 whole.
    setenv("TZ", "Pacific/Apia", 1), tzset();
    EXPECT_EQ(TimeOfIsoDate("2011-12-30T12:00", Clock::Local, false), std::nullopt);
    EXPECT_EQ(TimeOfIsoDate("2011-12-30", Clock::Local, false), std::nullopt);
    setenv("TZ", "Europe/Paris", 1), tzset();
}

TEST(ShortDateTimeText, IsTheLocalClockInFrenchToTheMinute)
{
    EXPECT_EQ(ShortDateTimeText(*YearStartTime(2009)), "jeu. 1 janv. 2009 00:00");
    // 181 days on is 1 July, in summer time: 13:05:07 standard time reads 14:05.
    const CalendarTime july = *YearStartTime(2009) + 86400 * 181;
    EXPECT_EQ(ShortDateTimeText(july + 3600 * 13 + 60 * 5 + 7), "mer. 1 juil. 2009 14:05");
    EXPECT_EQ(ShortDateTimeText(*YearStartTime(2009) + 86400 * 58), "sam. 28 févr. 2009 00:00");
}

}  // namespace
