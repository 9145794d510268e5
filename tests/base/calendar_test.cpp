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
    };
    auto inZone = [](const char* zone) { setenv("TZ", zone, 1), tzset(); };
    for (const Case& c : cases) {
        inZone(c.zone);
        EXPECT_EQ(YearStartTime(c.year), c.start) << c.zone << ", " << c.year << ": " << c.why;
    }
    inZone("Europe/Paris");
    const std::tm t = LocalTimeOf(*YearStartTime(1904));  // before 1970: read back on the local clock
    EXPECT_EQ(t.tm_year, 4);
    EXPECT_EQ(t.tm_yday, 0);
    EXPECT_EQ(t.tm_hour, 0);
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
