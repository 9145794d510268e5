#include "analysis/residual.h"

#include <bit>
#include <cstddef>

#include "analysis/demodulation.h"
#include "analysis/fitting.h"
#include "analysis/singlecomplex.h"
#include "model/record.h"

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

// Bits, not values: −0 and 0 can end in different sums, and NaN is itself.
bool Same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool Same(const WaveTerm& a, const WaveTerm& b)
{
    return Same(a.speed, b.speed) && Same(a.ampl, b.ampl) && Same(a.etab, b.etab);
}

// Adds the term of w at the end of each hour's sum.
void AddTerm(std::vector<double>& predicted, const WaveTerm& w)
{
    ComplexF phase = UnitOf(-w.etab);
    const ComplexF hourStep = UnitOf(3600 * w.speed);
    for (double& pred : predicted) {
        pred += static_cast<double>(phase.re) * w.ampl;
        phase = Times(phase, hourStep);
    }
}

void StartOver(HourlyResidualCache& c)
{
    const std::size_t hours = UsableHours();
    c.recordRevision = RecordSeries.RecordRevision;
    c.meanLevel = WaveSet.MeanLevel;
    c.terms.clear();
    c.observed.resize(hours);
    for (std::size_t i = 0; i < hours; ++i)
        c.observed[i] = ObservedHeight(3600.0 * static_cast<double>(i));
    c.predicted.assign(hours, WaveSet.MeanLevel);
    c.valid = true;
}

// The cache can be extended when it summed a leading part of the current
// waves, with the current record and mean level.
bool CanExtend(const HourlyResidualCache& c)
{
    if (!c.valid || c.recordRevision != RecordSeries.RecordRevision || !Same(c.meanLevel, WaveSet.MeanLevel))
        return false;
    if (c.terms.size() > static_cast<std::size_t>(WaveSet.count))
        return false;
    for (std::size_t j = 0; j < c.terms.size(); ++j)
        if (!Same(c.terms[j], TermOf(WaveSet.waves[j])))
            return false;
    return true;
}

void UpdateResidual(HourlyResidualCache& c)
{
    c.residual.resize(c.predicted.size());
    for (std::size_t i = 0; i < c.predicted.size(); ++i)
        c.residual[i] = static_cast<float>(c.observed[i] - c.predicted[i]);
}

}  // namespace

const std::vector<float>& HourlyResidual()
{
    HourlyResidualCache& c = ResidualCache;
    if (!CanExtend(c))
        StartOver(c);
    else if (c.terms.size() == static_cast<std::size_t>(WaveSet.count))
        return c.residual;
    for (auto j = static_cast<int>(c.terms.size()); j < WaveSet.count; ++j) {
        c.terms.push_back(TermOf(WaveSet.waves[j]));
        AddTerm(c.predicted, c.terms.back());
    }
    UpdateResidual(c);
    return c.residual;
}

ComplexF DemodulateCurrentResidual(ComplexF turn)
{
    HourlyResidualCache& c = ResidualCache;
    if (!CanExtend(c) || c.terms.size() + 1 != static_cast<std::size_t>(WaveSet.count)) {
        const std::vector<float>& residual = HourlyResidual();
        return DemodulateOne(residual.data(), residual.size(), turn);
    }
    c.terms.push_back(TermOf(WaveSet.waves[c.terms.size()]));
    const WaveTerm& w = c.terms.back();
    // AddTerm, UpdateResidual and DemodulateOne in one loop: the same
    // operations on each hour, two recurrences that run side by side.
    ComplexF phase = UnitOf(-w.etab);
    const ComplexF hourStep = UnitOf(3600 * w.speed);
    ComplexF z{1, 0};
    ComplexF sum{0, 0};
    for (std::size_t n = 0; n < c.predicted.size(); ++n) {
        c.predicted[n] += static_cast<double>(phase.re) * w.ampl;
        phase = Times(phase, hourStep);
        const auto r = static_cast<float>(c.observed[n] - c.predicted[n]);
        c.residual[n] = r;
        sum.re += r * z.re;
        sum.im += r * z.im;
        z = Times(z, turn);
    }
    return sum;
}

std::vector<float> HourlyResidualDirect()
{
    const int c = WaveSet.count;
    ComplexF phase[WAVE_CAPACITY];
    ComplexF hourStep[WAVE_CAPACITY];
    for (int j = 0; j < c; ++j) {
        phase[j] = UnitOf(-WaveSet.waves[j].etab);
        hourStep[j] = UnitOf(3600 * WaveSet.waves[j].speed);
    }
    std::vector<float> residual;
    const double span = UsableSpan();
    for (double t = 0.0; span > t; t += 3600) {
        double pred = WaveSet.MeanLevel;
        for (int j = 0; j < c; ++j) {
            pred += static_cast<double>(phase[j].re) * WaveSet.waves[j].ampl;
            phase[j] = Times(phase[j], hourStep[j]);
        }
        residual.push_back(static_cast<float>(ObservedHeight(t) - pred));
    }
    return residual;
}
