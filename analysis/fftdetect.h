// Finding one new wave without being told its period: the strongest line of
// the spectrum of the hourly residual, refined by RefineWave.
#pragma once

#include <cstdint>

#include "model/waves.h"

// The lowest bin that can be a peak: bins 0 … 4 hold the slow drift of the
// residual, not a wave.
inline constexpr std::uint32_t FIRST_PEAK_BIN = 5;

// The residual of the record against the prediction with every wave and the
// mean level, transformed, gives a first period T0 = N·3600/k s at its
// strongest bin k (FIRST_PEAK_BIN ≤ k < N/2) and a half-width W = N·3600/k²
// s; the result is RefineWave(T0, W, REFINE_EPSILON), name not set. The
// WaveSet is not changed. With Options.VerboseFft a box with no owner
// announces each stage. A record too short to have a candidate bin, or a
// residual with no power in any, is reported to the user and gives a wave of
// speed 0. Ends the process with status 20, 21 or 22 when the storage of the
// transform is refused.
Wave DetectWaveByFft();

// "Méthode FFT": DetectWaveByFft, then the wave is appended under a name
// that gives its period, reported in the log and in a box. A full table or a
// record too short to fit is refused before the transform; nothing is
// appended when no wave was found.
void AddFftWave();

// The steps of DetectWaveByFft, on their own:

// The transform length for count hourly values: the smallest power of two
// not below count; 1 when count ≤ 1.
std::uint32_t FftLength(std::int32_t count);

// The bin j, FIRST_PEAK_BIN ≤ j < n/2, of greatest power re² + im² (taken in
// long double); the lowest of equal powers; 0 when none has positive power.
std::uint32_t SpectralPeakBin(const float* re, const float* im, std::uint32_t n);

// SpectralPeakBin of the transformed residual; 0 without a candidate bin.
std::uint32_t StrongestResidualBin();

// The transform's input: the residual of hour i (the stored value less
// PredictHeight(3600·i, 0), rounded to float) in entries 0 … RecordCount − 1
// and zeros up to n. FillResidual walks the prediction; FillResidualDirect
// calls PredictHeight at every hour, the definition the walk is checked against.
void FillResidual(float* input, std::uint32_t n);
void FillResidualDirect(float* input, std::uint32_t n);
