#include "base/localtime.h"

#include <climits>
#include <cstdlib>

#include "base/text.h"

std::optional<CalendarTime> YearStartTime(long year)
{
    if (year < INT_MIN + 1900L || year > INT_MAX)
        return std::nullopt;
    std::tm start{};
    start.tm_mday = 1;
    start.tm_year = static_cast<int>(year - 1900);
    start.tm_isdst = 0;
    std::time_t t = std::mktime(&start);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<CalendarTime>(t);
}

std::optional<CalendarTime> MonthStartTime(long year, int month)
{
    if (year < INT_MIN + 1900L || year > INT_MAX || month < 0 || month > 11)
        return std::nullopt;
    std::tm start{};
    start.tm_mday = 1;
    start.tm_mon = month;
    start.tm_year = static_cast<int>(year - 1900);
    start.tm_isdst = -1;  // midnight on the local clock, whichever time is in force
    std::time_t t = std::mktime(&start);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<CalendarTime>(t);
}

std::tm LocalTimeOf(CalendarTime t)
{
    std::time_t when = t;
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

std::tm UtcTimeOf(CalendarTime t)
{
    std::time_t when = t;
    std::tm utc{};
    gmtime_r(&when, &utc);
    return utc;
}

namespace {

std::optional<std::tm> ClockFields(long year, int month, int day, int hour, int minute)
{
    if (year < INT_MIN + 1900L || year > INT_MAX)
        return std::nullopt;
    std::tm clock{};
    clock.tm_year = static_cast<int>(year - 1900);
    clock.tm_mon = month;
    clock.tm_mday = day;
    clock.tm_hour = hour;
    clock.tm_min = minute;
    clock.tm_isdst = -1;
    return clock;
}

}  // namespace

std::optional<CalendarTime> LocalClockTime(long year, int month, int day, int hour, int minute)
{
    std::optional<std::tm> clock = ClockFields(year, month, day, hour, minute);
    if (!clock)
        return std::nullopt;
    std::time_t t = std::mktime(&*clock);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<CalendarTime>(t);
}

std::optional<CalendarTime> UtcClockTime(long year, int month, int day, int hour, int minute)
{
    std::optional<std::tm> clock = ClockFields(year, month, day, hour, minute);
    if (!clock)
        return std::nullopt;
    std::time_t t = timegm(&*clock);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<CalendarTime>(t);
}

long UtcOffsetOf(CalendarTime t)
{
    return LocalTimeOf(t).tm_gmtoff;
}

std::string TimeZoneName()
{
    const char* zone = std::getenv("TZ");
    if (!zone || !*zone)
        return "";
    return zone[0] == ':' ? zone + 1 : zone;
}

CalendarTime TimeNow()
{
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    char* end = nullptr;
    const long long seconds = fixed ? std::strtoll(fixed, &end, 10) : 0;
    if (fixed && *fixed && *end == '\0')
        return static_cast<CalendarTime>(seconds);
    return static_cast<CalendarTime>(std::time(nullptr));
}

std::tm LocalTimeNow()
{
    return LocalTimeOf(TimeNow());
}

std::string ShortDateTimeText(CalendarTime t)
{
    static const char* const days[7] = {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."};
    static const char* const months[12] = {"janv.", "févr.", "mars", "avr.", "mai", "juin",
                                           "juil.", "août", "sept.", "oct.", "nov.", "déc."};
    const std::tm local = LocalTimeOf(t);
    return Format("%s %i %s %i %02i:%02i", days[local.tm_wday], local.tm_mday, months[local.tm_mon],
                  local.tm_year + 1900, local.tm_hour, local.tm_min);
}

const char* const DayNamesAligned[7] = {
    "Dimanche ", "   Lundi ", "   Mardi ", "Mercredi ", "   Jeudi ", "Vendredi ", "  Samedi ",
};

const char* const MonthNames[12] = {
    " janvier", " février", " mars", " avril", " mai", " juin",
    " juillet", " août", " septembre", " octobre", " novembre", " décembre",
};
