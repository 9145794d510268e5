#include "exports/tides.h"

#include <algorithm>

#include "model/port.h"
#include "tables/tidetimes.h"

namespace {

CalendarTime WholeMinute(CalendarTime t)
{
    return t - ((t % 60) + 60) % 60;
}

// The tides the month's report lists, in time order.
std::vector<Tide> TidesOfMonth(const MonthBounds& month)
{
    std::vector<Tide> tides;
    for (const TurningPoint& point : ScanMonth(month))
        if (point.t >= month.start)  // as the report; the scan of the month before has the others
            tides.push_back(Tide{WholeMinute(point.t + Header.Time_of_debut), HeightAboveDatum(point.height),
                                 point.high, point.high ? point.coefficient : 0});
    std::reverse(tides.begin(), tides.end());
    return tides;
}

}  // namespace

std::optional<std::vector<Tide>> TidesIn(const TimeSpan& span)
{
    std::vector<Tide> tides;
    if (span.to <= span.from)
        return tides;
    const std::tm first = LocalTimeOf(span.from);
    const std::tm last = LocalTimeOf(span.to - 1);
    long year = first.tm_year + 1900L;
    int month = first.tm_mon;
    while (year < last.tm_year + 1900L || (year == last.tm_year + 1900L && month <= last.tm_mon)) {
        std::optional<MonthBounds> bounds = MonthBoundsOf(year, month);
        if (!bounds)
            return std::nullopt;
        for (const Tide& tide : TidesOfMonth(*bounds))
            if (tide.time >= span.from && tide.time < span.to)
                tides.push_back(tide);
        if (++month == 12) {
            month = 0;
            ++year;
        }
    }
    return tides;
}

std::optional<TimeSpan> SpanOf(long year, int month)
{
    if (year < 1 || year > 9999)  // beyond the four digits of the exports' ISO 8601 dates
        return std::nullopt;
    const bool wholeYear = month == WHOLE_YEAR;
    std::optional<CalendarTime> from = MonthStartTime(year, wholeYear ? 0 : month);
    std::optional<CalendarTime> to = wholeYear || month == 11 ? MonthStartTime(year + 1, 0)
                                                               : MonthStartTime(year, month + 1);
    if (!from || !to)
        return std::nullopt;
    return TimeSpan{*from, *to};
}

