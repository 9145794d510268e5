// Complex demodulation of one residual at many trial periods in one pass.
//
// Each trial period is a lane: its sum S = Σ r[n]·Zₙ, with Z₀ = 1 and
// Zₙ₊₁ = Zₙ·turn, is accumulated with exactly the single-precision
// operations, in exactly the order, of the single fit, so every lane gives
// the bits the single fit gives. Vector code is chosen at run time from
// what the processor offers; every variant gives the same bits.
#pragma once

#include <cstddef>

#include "analysis/singlecomplex.h"
#include "base/computation.h"

// e^(i·3600·2π/period), the angle rounded to single precision: the hour's
// turn of a fit at this period (s).
ComplexF HourTurnOf(double period);

// sums[l] = Σ residual[n]·Zₙ for the turn of lane l, n = 0 … hours − 1,
// with the vector code of Computation.
void DemodulateLanes(const float* residual, std::size_t hours, const ComplexF* turns,
                     std::size_t lanes, ComplexF* sums);

// The same for one lane, written as the single fit has always been.
ComplexF DemodulateOne(const float* residual, std::size_t hours, ComplexF turn);
