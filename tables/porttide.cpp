#include "tables/porttide.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "model/modelstamp.h"
#include "model/port.h"
#include "model/waves.h"
#include "tables/tidetimes.h"

namespace {

// A span of model time is scanned at once: a chart's or a grid's heights
// come in order, and each span is scanned once for all of them. The tides of
// a span reach two days beyond it each way, far more than the time between
// two tides plus the largest offset.
constexpr long SPAN = 16 * DAY_SECONDS;
constexpr long REACH = 2 * DAY_SECONDS;

struct KeptTides {
    ModelStamp stamp;
    std::optional<TideOffsets> offsets;
    std::optional<double> datumOffset;
    long from = 0;
    std::vector<TurningPoint> tides;  // in time order
};

KeptTides Kept;

std::vector<TurningPoint> TidesAround(long from, long to)
{
    MonthBounds span;
    span.start = from - REACH;
    span.end = to + REACH;
    std::vector<TurningPoint> tides = ScanMonth(span);
    std::reverse(tides.begin(), tides.end());
    return tides;
}

double Between(const std::vector<TurningPoint>& tides, double t)
{
    const auto after = std::upper_bound(tides.begin(), tides.end(), t, [](double time, const TurningPoint& p) {
        return time < static_cast<double>(p.t);
    });
    if (after == tides.begin() || after == tides.end())
        return PredictHeight(t, 0);
    const TurningPoint& before = *(after - 1);
    const double phase = (t - static_cast<double>(before.t)) / static_cast<double>(after->t - before.t);
    return before.height + (after->height - before.height) * (1 - std::cos(M_PI * phase)) / 2;
}

bool WithinSpans(double t)
{
    return std::isfinite(t) && std::fabs(t) < 1e15;
}

}  // namespace

double PortHeight(double t)
{
    if (!Header.Offsets || !WithinSpans(t))
        return PredictHeight(t, 0);
    const long from = static_cast<long>(std::floor(t / SPAN)) * SPAN;
    constexpr unsigned parts = NODAL_PART | CALENDAR_PART | MEAN_LEVEL_PART | WAVES_PART;
    if (!(IsCurrent(Kept.stamp) && Kept.offsets == Header.Offsets && Kept.datumOffset == Header.DatumOffset &&
          Kept.from == from)) {
        Kept.tides = TidesAround(from, from + SPAN);
        Kept.stamp = CurrentModelStamp(parts);
        Kept.offsets = Header.Offsets;
        Kept.datumOffset = Header.DatumOffset;
        Kept.from = from;
    }
    return Between(Kept.tides, t);
}

double PortHeightDirect(double t)
{
    if (!Header.Offsets || !WithinSpans(t))
        return PredictHeight(t, 0);
    // On the scan grid of PortHeight's spans, so that both meet the same tides.
    const long at = static_cast<long>(std::floor(t / SCAN_STEP)) * SCAN_STEP;
    return Between(TidesAround(at, at + SCAN_STEP), t);
}
