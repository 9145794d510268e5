// The discrete Fourier transform of a power-of-two number of samples, in
// single precision, radix 2 with decimation in time. The routines keep no
// state and allocate nothing: the caller owns every array. Misuse is
// reported on the standard error stream and ends the process with status 1;
// callers that take their sizes from the user check them first.
#pragma once

#include <cstdint>

// True when x ≥ 2 has a single bit set. 1 is not accepted.
bool IsPowerOf2(std::uint32_t x);

// Position of the lowest set bit of x, from 0: the base-2 logarithm of a
// power of two. Ends the process when x < 2.
std::uint32_t NumberOfBitsNeeded(std::uint32_t x);

// The lowest `bits` bits of index in reverse order (bit 0 becomes bit
// bits − 1); higher bits of index are ignored, and bits = 0 gives 0.
std::uint32_t BitReversedIndex(std::uint32_t index, std::uint32_t bits);

// Forward (inverse = 0): X[k] = Σₙ x[n]·e^(+2πi·k·n/N), not scaled.
// Inverse (inverse ≠ 0): x[n] = (1/N)·Σₖ X[k]·e^(−2πi·k·n/N).
// Every array holds NumSamples values; a null ImagIn stands for zeros. The
// inputs are not modified; the outputs must be distinct from each other and
// from the inputs. Ends the process when NumSamples is not a power of two
// or RealIn, RealOut or ImagOut is null, before anything is written.
void fft_float(std::uint32_t NumSamples, int inverse, const float* RealIn, const float* ImagIn,
               float* RealOut, float* ImagOut);
