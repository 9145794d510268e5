// Fits of the lunar constituents against their nodally modulated form.
//
// With the nodal corrections, a wave fitted at the period of a lunar
// constituent is the A, φ for which A·F_d·cos(ω·t − φ + U_d) best follows the
// hourly residual, F_d and U_d being how WaveOnDay carries the constituent
// from the middle of the wave set's year to day d: A and φ are its amplitude
// and phase of that year, whatever the years the record covers. The sum of
// each day is taken as DemodulateOne takes it, its phase factor started
// again at each day, then turned to the day's start in double precision, so
// that no rounding of the hour's rotation gathers over many years.
#pragma once

#include <cstddef>
#include <vector>

#include "model/waves.h"

// True when the fit at this period (s) is weighted so: the nodal corrections
// are on and the period is a lunar constituent's.
bool FitsNodally(double period);

// The fit at this period of the residual (one value per hour from model time
// 0), one day after the other: the straightforward definition.
Wave FitNodallyDirect(const std::vector<float>& residual, double period);

// out[i] = FitNodallyDirect(residual, periods[i]) for each of count periods,
// their days summed together in lanes, with the same bits.
void FitNodally(const std::vector<float>& residual, const double* periods, std::size_t count, Wave* out);
