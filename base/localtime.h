// Every conversion between calendar time and local time goes through here.
// Calendar times are seconds since the epoch (64-bit on this platform, so
// years are not limited to 1970-2038); local time follows the TZ rules of
// the C library.
#pragma once

#include <ctime>
#include <optional>
#include <string>

using CalendarTime = long;  // s since the epoch

// 00:00:00 on 1 January of year, as local standard time (daylight saving not
// in force). Nothing when the C library cannot represent it.
std::optional<CalendarTime> YearStartTime(long year);

// 00:00:00 on the 1st of month (C month, January = 0) of year, as the local
// clock shows it: daylight saving is in force or not as the local rules have
// it at that moment. Nothing when the C library cannot represent it.
std::optional<CalendarTime> MonthStartTime(long year, int month);

std::tm LocalTimeOf(CalendarTime t);
std::tm UtcTimeOf(CalendarTime t);

// The calendar time that the local clock (or UTC) shows as this date and
// time; month is the C month (January = 0). A local time that occurs twice
// or not at all on a change of clock is taken as the C library resolves it.
// Nothing when the C library cannot represent it.
std::optional<CalendarTime> LocalClockTime(long year, int month, int day, int hour, int minute);
std::optional<CalendarTime> UtcClockTime(long year, int month, int day, int hour, int minute);

// s east of UTC that the local clock is at t, daylight saving included.
long UtcOffsetOf(CalendarTime t);

// The time zone the program runs in as TZ names it ("Europe/Paris"), or
// empty when TZ is not set and the system's zone applies.
std::string TimeZoneName();

// Now, from the system clock; or SOURCE_DATE_EPOCH (s since the epoch) when
// it is set, so that the same command makes the same files.
CalendarTime TimeNow();
// The local date and time of TimeNow().
std::tm LocalTimeNow();

// Calendar time on the local clock, short, in French, to the minute:
// "jeu. 1 janv. 2009 00:00".
std::string ShortDateTimeText(CalendarTime t);

// Names used in dates. DayNamesAligned is indexed by the C weekday (Sunday
// = 0), each name right-aligned to eight characters and followed by a blank;
// MonthNames by the C month (January = 0), each with one leading blank.
extern const char* const DayNamesAligned[7];
extern const char* const MonthNames[12];
