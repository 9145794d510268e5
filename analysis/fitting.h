// Determination of the model from the hourly record: the mean level, and
// one wave of a given period fitted to what the waves already in the set
// leave unexplained.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "analysis/singlecomplex.h"
#include "model/modelstamp.h"
#include "model/waves.h"
#include "platform/platform.h"

// Mean of the record's measured heights (m). Stores it in MeanLevel and
// returns it. silent = 0 also shows it in a message box and writes it to the
// log. A record without a measured hour has no mean: MeanLevel keeps its value.
double DetermineMeanLevel(int silent);

// The wave of this period (s) that best fits the residual left by all active
// waves over the measured hours: speed, ampl and etab set, name empty. Fits
// by demodulation when Options.UseFourier is set (with the same bits as
// FitByDemodulation), by phase search otherwise. Sets CurrentPeriod.
Wave DetermineWave(double period);

// Sums of fits by demodulation already done, by the bits of the hour's turn
// angle in single precision, which is all of the period that they see; kept
// while the residual they were taken from stays the same.
struct DemodulationMemo {
    ModelStamp stamp;  // of RESIDUAL_PARTS
    std::unordered_map<std::uint32_t, ComplexF> sums;
};

// out[i] = DetermineWave(periods[i]) for each of count periods (s), the fits
// by demodulation done together in one pass over the residual, on several
// threads for a long record; memo (may be null) supplies and keeps sums.
// CurrentPeriod ends as the last period.
void DetermineWaves(const double* periods, std::size_t count, Wave* out, DemodulationMemo* memo = nullptr);

// Complex demodulation of the hourly residual, in single precision as the
// program has always done it: the straightforward definition that the fast
// fits are checked against. With the nodal corrections, the period of a
// lunar constituent is fitted against its modulated form (FitNodallyDirect).
Wave FitByDemodulation(double period);

// Newton search of the time at which the residual folded at the period is
// largest; the folded mean there is the amplitude.
Wave FitByPhaseSearch(double period);

// The residual against the prediction of all waves, at whole second s, with
// the observed rate and second derivative taken from the hour segments.
double Residual(std::int64_t s);       // m
double ResidualRate(std::int64_t s);   // m/s
double ResidualAccel(std::int64_t s);  // m/s²

// Mean of g at x, x + CurrentPeriod, … over the usable span (s), leaving
// out the samples next to an hour that was not measured.
double FoldedMean(double (*g)(std::int64_t), double x);

// Time (s) in [0, 2.5·CurrentPeriod] at which the folded residual peaks.
double FindPeakTime(double x0, double tolerance);

// Before a wave is fitted and appended: true when the table has room and the
// record a usable span with a measured hour; otherwise the user is told
// (message box owned by owner, and a log line) and the caller appends nothing.
bool CanAddFittedWaveOrReport(Window owner);

extern double CurrentPeriod;  // s, the period of the last DetermineWave
