#include <gtest/gtest.h>

#include <cstdlib>

#include "base/localtime.h"

namespace {

class TimeZone {
public:
    explicit TimeZone(const char* zone) { setenv("TZ", zone, 1); tzset(); }
    ~TimeZone() { setenv("TZ", "Europe/Paris", 1); tzset(); }
};

TEST(YearStartTime, IsLocalStandardMidnightOfTheFirstOfJanuary)
{
    // Expected values from the UTC offsets: Paris is UTC+1 in winter.
    EXPECT_EQ(YearStartTime(2009), 1230764400);  // 2008-12-31 23:00 UTC
    EXPECT_EQ(YearStartTime(1970), -3600);
    {
        TimeZone utc("UTC");
        EXPECT_EQ(YearStartTime(2009), 1230768000);
    }
    {
        // Summer time is in force in Sydney on 1 January; standard time (UTC+10) is used.
        TimeZone sydney("Australia/Sydney");
        EXPECT_EQ(YearStartTime(2009), 1230732000);  // 2008-12-31 14:00 UTC
    }
}

TEST(YearStartTime, WorksOutsideThe32BitRange)
{
    // 2100-01-01 00:00 UTC is 4102444800 s; Paris is an hour ahead.
    EXPECT_EQ(YearStartTime(2100), 4102444800L - 3600);
    std::tm t = LocalTimeOf(*YearStartTime(1904));
    EXPECT_EQ(t.tm_year, 4);
    EXPECT_EQ(t.tm_yday, 0);
    EXPECT_EQ(t.tm_hour, 0);
}

}  // namespace

namespace {

TEST(CTimeText, IsTheCLibraryTextWithoutItsLineEnd)
{
    EXPECT_EQ(CTimeText(*YearStartTime(2009)), "Thu Jan  1 00:00:00 2009");
    // 181 days on is 1 July, in summer time: 13:05 standard time reads 14:05.
    EXPECT_EQ(CTimeText(*YearStartTime(2009) + 86400 * 181 + 3600 * 13 + 60 * 5 + 7), "Wed Jul  1 14:05:07 2009");
}

}  // namespace
