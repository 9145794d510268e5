// Every conversion between calendar time and local time goes through here.
// Calendar times are seconds since the epoch (64-bit on this platform, so
// years are not limited to 1970-2038); local time follows the TZ rules of
// the C library.
#pragma once

#include <ctime>
#include <optional>

using CalendarTime = long;  // s since the epoch

// 00:00:00 on 1 January of year, as local standard time (daylight saving not
// in force). Nothing when the C library cannot represent it.
std::optional<CalendarTime> YearStartTime(long year);

std::tm LocalTimeOf(CalendarTime t);
