// The hourly residual that the fit by demodulation works on, kept between
// fits.
//
// For each whole hour t = 0, 3600, … below the usable span: the record's
// height at t minus the prediction of the mean level and every active wave,
// each wave advanced hour by hour by its single-precision phase factor, the
// difference rounded to float; 0 at an hour that was not measured, which
// adds nothing to a sum r·z (±0 leaves a sum as it is, and a sum that
// starts at +0 never becomes −0), while z still turns as it must; the fit
// divides by the measured hours alone. It does not depend on the period
// being fitted, so a sweep computes it once; it is kept with the per-hour sum of
// the waves while the record, the mean level and the waves stay the same,
// and a wave appended to the set adds its term at the end of each hour's sum
// (the same bits as summing every wave again).
//
// With the nodal corrections, each wave's phase factor starts again at each
// day from the wave as WaveOnDay carries it to that day.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/singlecomplex.h"
#include "model/modelstamp.h"
#include "model/waves.h"

struct WaveTerm {
    double speed;  // rad/s
    double ampl;   // m
    double etab;   // rad
};

// The parts of the model the residual is computed from.
inline constexpr unsigned RESIDUAL_PARTS = RECORD_PART | NODAL_PART | CALENDAR_PART | MEAN_LEVEL_PART | WAVES_PART;

struct HourlyResidualCache {
    ModelStamp stamp;                // of RESIDUAL_PARTS, with the waves summed: the first of the set
    std::vector<double> observed;    // m, the record at each hour; NaN where not measured
    std::vector<double> predicted;   // m: mean level + Σ terms, per hour
    std::vector<float> residual;     // m: float(observed − predicted), 0 where not measured
    std::size_t measuredHours = 0;   // of the hours of residual
};

// The residual of the record against the current waves and mean level, one
// value per hour of the usable span (none when the span is empty); with it,
// ResidualCache.measuredHours is up to date.
const std::vector<float>& HourlyResidual();

// The sum of one fit by demodulation at this hour turn over that residual,
// as DemodulateOne gives it. When exactly one wave has been appended since
// the residual was last brought up to date, its term is added in the same
// pass: a fit after each append (the known waves) costs one pass, not two.
ComplexF DemodulateCurrentResidual(ComplexF turn);

// The same values the straightforward way, every wave summed at every hour:
// what the cache is compared against.
std::vector<float> HourlyResidualDirect();

extern HourlyResidualCache ResidualCache;
