#include "analysis/fft.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "model/units.h"

bool IsPowerOf2(std::uint32_t x)
{
    return x >= 2 && (x & (x - 1)) == 0;
}

std::uint32_t NumberOfBitsNeeded(std::uint32_t x)
{
    if (x < 2) {
        std::fprintf(stderr, ">>> Error in fftmisc: argument %d to NumberOfBitsNeeded is too small.\n",
                     static_cast<int>(x));
        std::exit(1);
    }
    std::uint32_t i = 0;
    while ((x & (std::uint32_t{1} << i)) == 0)
        ++i;
    return i;
}

std::uint32_t BitReversedIndex(std::uint32_t index, std::uint32_t bits)
{
    std::uint32_t reversed = 0;
    for (std::uint32_t i = 0; i < bits; ++i) {
        reversed = (reversed << 1) | (index & 1);
        index >>= 1;
    }
    return reversed;
}

namespace {

void ExitUnlessPowerOf2(std::uint32_t NumSamples)
{
    if (IsPowerOf2(NumSamples))
        return;
    std::fprintf(stderr, "Error in fft():  NumSamples=%u is not power of two\n", NumSamples);
    std::exit(1);
}

void ExitIfNull(const float* array, const char* name)
{
    if (array)
        return;
    std::fprintf(stderr, "Error in fft_float():  %s == NULL\n", name);
    std::exit(1);
}

void CopyBitReversed(std::uint32_t n, const float* RealIn, const float* ImagIn, float* RealOut,
                     float* ImagOut)
{
    const std::uint32_t bits = NumberOfBitsNeeded(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        std::uint32_t j = BitReversedIndex(i, bits);
        RealOut[j] = RealIn[i];
        ImagOut[j] = ImagIn ? ImagIn[i] : 0.0f;
    }
}

// cos(n·δ) and sin(n·δ) for n = 0, 1, … by the three-term recurrence
// x(n) = 2·cos δ·x(n−1) − x(n−2), started from the values at −1 and −2.
struct Twiddle {
    double m;          // 2·cos δ
    double cp, cpp;    // cosines one and two steps back
    double sp, spp;    // sines one and two steps back
};

Twiddle TwiddleAtBlockStart(double delta)
{
    const double c1 = std::cos(-delta);
    return Twiddle{2 * c1, c1, std::cos(-2 * delta), std::sin(-delta), std::sin(-2 * delta)};
}

void Advance(Twiddle& t, double& c, double& s)
{
    c = t.m * t.cp - t.cpp;
    t.cpp = t.cp;
    t.cp = c;
    s = t.m * t.sp - t.spp;
    t.spp = t.sp;
    t.sp = s;
}

// One stage of blocks of length 2·half. The recurrence restarts at each
// block, so its rounding never builds up over more than one block.
void ButterflyStage(std::uint32_t n, std::uint32_t half, double theta, float* re, float* im)
{
    const std::uint32_t length = 2 * half;
    const double delta = theta / length;
    const Twiddle start = TwiddleAtBlockStart(delta);
    for (std::uint32_t i = 0; i < n; i += length) {
        Twiddle t = start;
        for (std::uint32_t j = i; j < i + half; ++j) {
            const std::uint32_t k = j + half;
            double c = 0, s = 0;
            Advance(t, c, s);
            const double qr = c * static_cast<double>(re[k]) - s * static_cast<double>(im[k]);
            const double qi = c * static_cast<double>(im[k]) + s * static_cast<double>(re[k]);
            re[k] = static_cast<float>(static_cast<double>(re[j]) - qr);
            im[k] = static_cast<float>(static_cast<double>(im[j]) - qi);
            re[j] = static_cast<float>(static_cast<double>(re[j]) + qr);
            im[j] = static_cast<float>(static_cast<double>(im[j]) + qi);
        }
    }
}

void DivideBy(std::uint32_t n, float* values)
{
    for (std::uint32_t i = 0; i < n; ++i)
        values[i] = static_cast<float>(static_cast<double>(values[i]) / n);
}

}  // namespace

void fft_float(std::uint32_t NumSamples, int inverse, const float* RealIn, const float* ImagIn,
               float* RealOut, float* ImagOut)
{
    ExitUnlessPowerOf2(NumSamples);
    const double theta = inverse ? -TWO_PI : TWO_PI;
    ExitIfNull(RealIn, "RealIn");
    ExitIfNull(RealOut, "RealOut");
    ExitIfNull(ImagOut, "ImagOut");

    CopyBitReversed(NumSamples, RealIn, ImagIn, RealOut, ImagOut);
    // L = 2·half ≤ NumSamples, written so that it cannot overflow at 2³¹.
    for (std::uint32_t half = 1; half <= NumSamples / 2; half *= 2)
        ButterflyStage(NumSamples, half, theta, RealOut, ImagOut);
    if (inverse) {
        DivideBy(NumSamples, RealOut);
        DivideBy(NumSamples, ImagOut);
    }
}
