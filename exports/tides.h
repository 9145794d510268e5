// The high and low waters of a period, exactly as the tide-times report
// gives them, for the exports and the command line: the same scan of whole
// months, so a tide has the same minute, height and coefficient (against a
// following low water that may lie in the next month) in every outlet.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"

struct Tide {
    CalendarTime time = 0;  // s since the epoch, cut to the minute as the report shows it
    double height = 0;      // m, above the port's datum (HeightAboveDatum)
    bool high = false;
    int coefficient = 0;    // high water only
};

// A span of calendar time: from ≤ time < to.
struct TimeSpan {
    CalendarTime from = 0;
    CalendarTime to = 0;
};

// The tides whose minute lies in span, in time order, from the scans of the
// local months that span touches. Nothing when the C library cannot convert
// one of those months.
std::optional<std::vector<Tide>> TidesIn(const TimeSpan& span);

// A month (0 to 11) of a full year, or the whole year when month is
// WHOLE_YEAR, on the local clock. Nothing for a year outside 1 … 9999, whose
// dates the exports could not write, or when the C library cannot convert it.
inline constexpr int WHOLE_YEAR = 12;
std::optional<TimeSpan> SpanOf(long year, int month);

