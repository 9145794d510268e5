#include "analysis/residual.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "analysis/demodulation.h"
#include "analysis/singlecomplex.h"
#include "model/modeloptions.h"
#include "model/record.h"
#include "model/units.h"

HourlyResidualCache ResidualCache;

namespace {

// Whole hours t = 0, 3600, … with t below the usable span.
std::size_t UsableHours()
{
    const double span = UsableSpan();
    std::size_t n = 0;
    for (double t = 0.0; span > t; t += 3600)
        ++n;
    return n;
}

WaveTerm TermOf(const Wave& w)
{
    return {w.speed, w.ampl, w.etab};
}

constexpr std::size_t HOURS_PER_DAY = 24;

// Where a wave's terms start: its phase factor and amplitude at hour 0, or
// with the nodal corrections at the first hour of each day, the wave carried
// to that day. Returned by value, so that the loops keep them in registers.
struct TermStart {
    ComplexF phase;
    double ampl;
};

TermStart StartOf(const WaveTerm& w)
{
    return {UnitOf(-w.etab), w.ampl};
}

TermStart StartOfDay(const WaveTerm& w, std::int64_t day)
{
    const Wave carried = WaveOnDay(Wave{w.speed, w.ampl, w.etab, ""}, day);
    const double angle = std::remainder(carried.speed * (DAY_SECONDS * static_cast<double>(day)) - carried.etab, TWO_PI);
    return {UnitOf(angle), carried.ampl};
}

// One wave's term hour after hour: its phase factor advanced by the hour's
// rotation, and with the nodal corrections started again at each day. The
// straightforward sum takes the terms through this; the kept sums run the
// same steps in their own loops.
class HourTerms {
public:
    explicit HourTerms(const WaveTerm& w)
        : term(w), start(StartOf(w)), hourStep(UnitOf(3600 * w.speed)), byDays(Model.NodalCorrections != 0)
    {
    }
    // The term of hour n; called for n = 0, 1, 2, … in turn.
    double Next(std::size_t n)
    {
        if (byDays && n % HOURS_PER_DAY == 0)
            start = StartOfDay(term, static_cast<std::int64_t>(n / HOURS_PER_DAY));
        const double value = static_cast<double>(start.phase.re) * start.ampl;
        start.phase = Times(start.phase, hourStep);
        return value;
    }

private:
    WaveTerm term;
    TermStart start;
    ComplexF hourStep;
    bool byDays;
};

// Calls each(n, term) for the hours n = 0 … hours − 1 of w, as HourTerms
// gives them, with the recurrence's state in locals.
template <typename Each>
void ForEachTerm(const WaveTerm& w, std::size_t hours, Each each)
{
    const bool byDays = Model.NodalCorrections != 0;
    const ComplexF hourStep = UnitOf(3600 * w.speed);
    TermStart start = StartOf(w);
    for (std::size_t first = 0; first < hours; first += HOURS_PER_DAY) {
        if (byDays)
            start = StartOfDay(w, static_cast<std::int64_t>(first / HOURS_PER_DAY));
        ComplexF phase = start.phase;
        const double ampl = start.ampl;
        const std::size_t end = std::min(first + HOURS_PER_DAY, hours);
        for (std::size_t n = first; n < end; ++n) {
            each(n, static_cast<double>(phase.re) * ampl);
            phase = Times(phase, hourStep);
        }
        start.phase = phase;
    }
}

// Adds the term of w at the end of each hour's sum.
void AddTerm(std::vector<double>& predicted, const WaveTerm& w)
{
    ForEachTerm(w, predicted.size(), [&predicted](std::size_t n, double term) { predicted[n] += term; });
}

// The record and the mean level, no wave summed yet.
void StartOver(HourlyResidualCache& c)
{
    const std::size_t hours = UsableHours();
    c.stamp = CurrentModelStamp(RESIDUAL_PARTS, 0);
    c.observed.resize(hours);
    for (std::size_t i = 0; i < hours; ++i)
        c.observed[i] = ObservedHeight(3600.0 * static_cast<double>(i));
    c.predicted.assign(hours, WaveSet.MeanLevel);
    c.measuredHours = static_cast<std::size_t>(MeasuredHoursBefore(static_cast<std::int64_t>(hours)));
}

// The cache can be extended when it summed a leading part of the current
// waves, everything else of the model as it is now.
bool CanExtend(const HourlyResidualCache& c)
{
    return IsCurrent(c.stamp, c.stamp.waves.size());
}

std::size_t WavesSummed(const HourlyResidualCache& c)
{
    return c.stamp.waves.size();
}

// The residual of one hour; 0 where it was not measured.
float ResidualOf(double observed, double predicted)
{
    return std::isnan(observed) ? 0.0f : static_cast<float>(observed - predicted);
}

void UpdateResidual(HourlyResidualCache& c)
{
    c.residual.resize(c.predicted.size());
    for (std::size_t i = 0; i < c.predicted.size(); ++i)
        c.residual[i] = ResidualOf(c.observed[i], c.predicted[i]);
}

}  // namespace

const std::vector<float>& HourlyResidual()
{
    HourlyResidualCache& c = ResidualCache;
    if (!CanExtend(c))
        StartOver(c);
    else if (WavesSummed(c) == static_cast<std::size_t>(WaveSet.count))
        return c.residual;
    for (auto j = WavesSummed(c); j < static_cast<std::size_t>(WaveSet.count); ++j)
        AddTerm(c.predicted, TermOf(WaveSet.waves[j]));
    c.stamp = CurrentModelStamp(RESIDUAL_PARTS);
    UpdateResidual(c);
    return c.residual;
}

ComplexF DemodulateCurrentResidual(ComplexF turn)
{
    HourlyResidualCache& c = ResidualCache;
    if (!CanExtend(c) || WavesSummed(c) + 1 != static_cast<std::size_t>(WaveSet.count)) {
        const std::vector<float>& residual = HourlyResidual();
        return DemodulateOne(residual.data(), residual.size(), turn);
    }
    const WaveTerm w = TermOf(WaveSet.waves[WavesSummed(c)]);
    c.stamp = CurrentModelStamp(RESIDUAL_PARTS);
    // AddTerm, UpdateResidual and DemodulateOne in one loop: the same
    // operations on each hour, two recurrences that run side by side.
    ComplexF z{1, 0};
    ComplexF sum{0, 0};
    double* predicted = c.predicted.data();
    const double* observed = c.observed.data();
    float* residual = c.residual.data();
    ForEachTerm(w, c.predicted.size(), [&](std::size_t n, double term) {
        predicted[n] += term;
        const float r = ResidualOf(observed[n], predicted[n]);
        residual[n] = r;
        sum.re += r * z.re;
        sum.im += r * z.im;
        z = Times(z, turn);
    });
    return sum;
}

std::vector<float> HourlyResidualDirect()
{
    std::vector<HourTerms> terms;
    for (int j = 0; j < WaveSet.count; ++j)
        terms.emplace_back(TermOf(WaveSet.waves[j]));
    std::vector<float> residual;
    const double span = UsableSpan();
    std::size_t n = 0;
    for (double t = 0.0; span > t; t += 3600, ++n) {
        double pred = WaveSet.MeanLevel;
        for (HourTerms& term : terms)
            pred += term.Next(n);
        residual.push_back(ResidualOf(ObservedHeight(t), pred));
    }
    return residual;
}
