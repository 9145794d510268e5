// The hourly residual that the fit by demodulation works on, kept between
// fits.
//
// For each whole hour t = 0, 3600, … below the usable span: the record's
// height at t minus the prediction of the mean level and every active wave,
// each wave advanced hour by hour by its single-precision phase factor, the
// difference rounded to float. It does not depend on the period being
// fitted, so a sweep computes it once; it is kept with the per-hour sum of
// the waves while the record, the mean level and the waves stay the same,
// and a wave appended to the set adds its term at the end of each hour's sum
// (the same bits as summing every wave again).
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/singlecomplex.h"
#include "model/waves.h"

struct WaveTerm {
    double speed;  // rad/s
    double ampl;   // m
    double etab;   // rad
};

struct HourlyResidualCache {
    bool valid = false;
    std::uint64_t recordRevision = 0;
    double meanLevel = 0;            // m, the first term of every hour's sum
    std::vector<WaveTerm> terms;     // the waves summed, in the order of the set
    std::vector<double> observed;    // m, the record at each hour
    std::vector<double> predicted;   // m: mean level + Σ terms, per hour
    std::vector<float> residual;     // m: float(observed − predicted)
};

// The residual of the record against the current waves and mean level, one
// value per hour of the usable span (none when the span is empty).
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
