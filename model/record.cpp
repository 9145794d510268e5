#include "model/record.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "base/calendar.h"
#include "model/units.h"

HourlyRecord RecordSeries;

namespace {

std::uint64_t LastRecordRevision = 0;  // never reset: a revision is never given twice

double MetresOf(std::int32_t cm)
{
    return cm == MISSING_HEIGHT_CM ? std::nan("") : cm * METRES_PER_CM;
}

}  // namespace

void InstallRecord(std::int32_t days, std::vector<std::int32_t> values)
{
    assert(values.size() == static_cast<std::size_t>(days) * 24 + 1);
    values.back() = days > 0 ? values[values.size() - 2] : 0;
    RecordSeries.RecordDays = days;
    RecordSeries.RecordCount = days * 24;
    RecordSeries.MissingHours =
        static_cast<std::int32_t>(std::count(values.begin(), values.end() - 1, MISSING_HEIGHT_CM));
    RecordSeries.RecordValues = std::move(values);
    RecordSeries.Placeholder = false;
    RecordSeries.RecordRevision = ++LastRecordRevision;
}

double ObservedHeight(double t)
{
    const std::vector<std::int32_t>& v = RecordSeries.RecordValues;
    const std::int32_t count = RecordSeries.RecordCount;
    if (!(t >= 0))
        return MetresOf(v.front());
    if (!(t < 3600.0 * count))
        return MetresOf(v.back());
    auto h = static_cast<std::int32_t>(t * INV_3600);  // truncates toward zero
    if (h + 1 > count)
        return MetresOf(v.back());  // t × (1/3600) rounded up to the end
    double f = t - static_cast<double>(std::int64_t{3600} * h);
    // A missing hour of weight 0 adds ±0 below; one with a weight has no height.
    if ((v[h] == MISSING_HEIGHT_CM && f != 3600) || (v[h + 1] == MISSING_HEIGHT_CM && f != 0))
        return std::nan("");
    return (v[h] * (3600 - f) + v[h + 1] * f) * INV_3600 * METRES_PER_CM;
}

std::int64_t FirstMeasuredHour()
{
    const auto first = RecordSeries.RecordValues.begin();
    return std::find_if(first, first + RecordSeries.RecordCount, [](std::int32_t v) { return v != MISSING_HEIGHT_CM; }) -
           first;
}

std::int64_t MeasuredHoursBefore(std::int64_t end)
{
    end = std::clamp<std::int64_t>(end, 0, RecordSeries.RecordCount);
    if (RecordSeries.MissingHours == 0)
        return end;
    const auto first = RecordSeries.RecordValues.begin();
    return end - std::count(first, first + end, MISSING_HEIGHT_CM);
}

double UsableSpan()
{
    return static_cast<double>(RecordSeries.RecordDays - 2) * DAY_SECONDS;
}
