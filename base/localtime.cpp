#include "base/localtime.h"

#include <climits>

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

std::tm LocalTimeNow()
{
    return LocalTimeOf(static_cast<CalendarTime>(std::time(nullptr)));
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
