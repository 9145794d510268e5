#include "analysis/nodalfit.h"

#include <algorithm>
#include <cmath>

#include "analysis/demodulation.h"
#include "analysis/singlecomplex.h"
#include "model/astronomy.h"
#include "model/modeloptions.h"
#include "model/record.h"
#include "model/units.h"

namespace {

constexpr std::size_t HOURS_PER_DAY = 24;

std::size_t DaysOf(std::size_t hours)
{
    return (hours + HOURS_PER_DAY - 1) / HOURS_PER_DAY;
}

std::size_t HoursOfDay(std::size_t day, std::size_t hours)
{
    return std::min(HOURS_PER_DAY, hours - day * HOURS_PER_DAY);
}

// The hours of the day that were measured: a missing hour has no weight.
std::size_t MeasuredHoursOfDay(std::size_t day, std::size_t hours)
{
    const auto first = RecordSeries.RecordValues.begin() + static_cast<std::ptrdiff_t>(day * HOURS_PER_DAY);
    const auto end = first + static_cast<std::ptrdiff_t>(HoursOfDay(day, hours));
    return static_cast<std::size_t>(std::count_if(first, end, [](std::int32_t cm) { return cm != MISSING_HEIGHT_CM; }));
}

// Σ_d F_d·e^{i(ω·86400·d + U_d)}·daySums[d] over Σ F_d² per hour: for a
// residual A·F_d·cos(ω·t − φ + U_d) it tends to (A/2)·e^{iφ}.
Wave WaveOfDaySums(double period, const std::vector<ComplexF>& daySums, std::size_t hours)
{
    Wave w;
    w.speed = TWO_PI / period;
    if (hours == 0)
        return w;
    const Wave unit{w.speed, 1, 0, ""};
    double re = 0, im = 0, weight = 0;
    for (std::size_t d = 0; d < daySums.size(); ++d) {
        const Wave carried = WaveOnDay(unit, static_cast<std::int64_t>(d));  // ampl F_d, etab −U_d
        const double angle = std::remainder(w.speed * (DAY_SECONDS * static_cast<double>(d)) - carried.etab, TWO_PI);
        const double c = carried.ampl * std::cos(angle);
        const double s = carried.ampl * std::sin(angle);
        const auto x = static_cast<double>(daySums[d].re);
        const auto y = static_cast<double>(daySums[d].im);
        re += c * x - s * y;
        im += c * y + s * x;
        weight += static_cast<double>(MeasuredHoursOfDay(d, hours)) * carried.ampl * carried.ampl;
    }
    if (weight == 0)
        return w;  // no hour measured: nothing to fit
    const double x = re / weight;
    const double y = im / weight;
    w.ampl = 2 * std::sqrt(x * x + y * y);
    w.etab = std::atan2(y, x);
    return w;
}

}  // namespace

bool FitsNodally(double period)
{
    if (!Model.NodalCorrections)
        return false;
    const int c = ConstituentOfSpeed(TWO_PI / period);
    return c != NO_CONSTITUENT && IsNodallyModulated(c);
}

Wave FitNodallyDirect(const std::vector<float>& residual, double period)
{
    const std::size_t hours = residual.size();
    const ComplexF turn = HourTurnOf(period);
    std::vector<ComplexF> daySums(DaysOf(hours));
    for (std::size_t d = 0; d < daySums.size(); ++d)
        daySums[d] = DemodulateOne(residual.data() + d * HOURS_PER_DAY, HoursOfDay(d, hours), turn);
    return WaveOfDaySums(period, daySums, hours);
}

void FitNodally(const std::vector<float>& residual, const double* periods, std::size_t count, Wave* out)
{
    const std::size_t hours = residual.size();
    std::vector<ComplexF> turns(count);
    for (std::size_t i = 0; i < count; ++i)
        turns[i] = HourTurnOf(periods[i]);
    std::vector<std::vector<ComplexF>> daySums(count, std::vector<ComplexF>(DaysOf(hours)));
    std::vector<ComplexF> sums(count);
    for (std::size_t d = 0; d < DaysOf(hours); ++d) {
        DemodulateLanes(residual.data() + d * HOURS_PER_DAY, HoursOfDay(d, hours), turns.data(), count, sums.data());
        for (std::size_t i = 0; i < count; ++i)
            daySums[i][d] = sums[i];
    }
    for (std::size_t i = 0; i < count; ++i)
        out[i] = WaveOfDaySums(periods[i], daySums[i], hours);
}
