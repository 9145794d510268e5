#include "model/record.h"

#include <cassert>

#include "base/options.h"
#include "model/units.h"
#include "model/waves.h"

HourlyRecord RecordSeries;
FileHeaderValues Header;

namespace {
std::uint64_t LastRecordRevision = 0;  // never reset: a revision is never given twice
}

void InstallRecord(std::int32_t days, std::vector<std::int32_t> values)
{
    assert(values.size() == static_cast<std::size_t>(days) * 24 + 1);
    values.back() = days > 0 ? values[values.size() - 2] : 0;
    RecordSeries.RecordDays = days;
    RecordSeries.RecordCount = days * 24;
    RecordSeries.RecordValues = std::move(values);
    RecordSeries.RecordRevision = ++LastRecordRevision;
}

double ObservedHeight(double t)
{
    const std::vector<std::int32_t>& v = RecordSeries.RecordValues;
    const std::int32_t count = RecordSeries.RecordCount;
    if (!(t >= 0))
        return v.front() * METRES_PER_CM;
    if (!(t < 3600.0 * count))
        return v.back() * METRES_PER_CM;
    auto h = static_cast<std::int32_t>(t * INV_3600);  // truncates toward zero
    if (h + 1 > count)
        return v.back() * METRES_PER_CM;  // t × (1/3600) rounded up to the end
    double f = t - static_cast<double>(std::int64_t{3600} * h);
    return (v[h] * (3600 - f) + v[h + 1] * f) * INV_3600 * METRES_PER_CM;
}

double SourceHeight(double t, int first)
{
    auto wholeMinute = [](double s) { return 60.0 * static_cast<std::int64_t>(s * INV_60); };
    switch (Options.SourceMode) {
    case 0: return ObservedHeight(t);
    case 1: return PredictHeight(t, 0);
    case 2: return PredictHeight(t, first);
    case 3: return PredictHeight(wholeMinute(t), 0);
    case 4: return PredictHeight(wholeMinute(t), first);
    }
    return ObservedHeight(t);
}
