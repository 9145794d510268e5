#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "analysis/fft.h"

namespace {

TEST(FftHelpers, PowerOfTwoBitCountAndBitReversal)
{
    for (std::uint32_t x : {2u, 4u, 1024u, 0x80000000u})
        EXPECT_TRUE(IsPowerOf2(x)) << x;
    for (std::uint32_t x : {0u, 1u, 3u, 6u, 1023u, 0xFFFFFFFFu})
        EXPECT_FALSE(IsPowerOf2(x)) << x;

    struct BitsCase { std::uint32_t x, bits; };
    const BitsCase bits[] = {{2, 1}, {1024, 10}, {0x80000000u, 31}, {12, 2}};  // 12: its lowest set bit
    for (const BitsCase& c : bits)
        EXPECT_EQ(NumberOfBitsNeeded(c.x), c.bits) << c.x;

    struct ReverseCase { std::uint32_t index, bits, reversed; };
    const ReverseCase reversals[] = {
        {1, 3, 4}, {6, 3, 3}, {0b1011, 3, 0b110},  // bit 3 is ignored
        {5, 0, 0}, {0x12345678u, 32, 0x1E6A2C48u},
    };
    for (const ReverseCase& c : reversals)
        EXPECT_EQ(BitReversedIndex(c.index, c.bits), c.reversed) << c.index << " on " << c.bits << " bits";
}

// X[k] = Σ x[n]·e^(+2πi·k·n/8), worked out independently of the routine.
TEST(FftFloat, ForwardUsesThePositiveExponentOnTheWorkedEightSamples)
{
    const float in[8] = {1, 2, 3, 4, 0, -1, 5, 2};
    float re[8];
    float im[8];
    fft_float(8, 0, in, nullptr, re, im);
    struct Bin { double re, im; };
    const Bin expected[8] = {{16, 0}, {1.707107, 1.535534}, {-7, -5}, {0.292893, 5.535534},
                             {2, 0}, {0.292893, -5.535534}, {-7, 5}, {1.707107, -1.535534}};
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(re[k], expected[k].re, 2e-6) << "bin " << k;
        EXPECT_NEAR(im[k], expected[k].im, 2e-6) << "bin " << k;
    }
}

// The inverse undoes the forward transform to within float rounding, up to
// the length the detection uses for a year; a null ImagIn reads as zeros.
TEST(FftFloat, ForwardThenInverseGivesBackTheInput)
{
    struct Case { std::uint32_t n; bool complexInput; double tolerance; };
    const Case cases[] = {{2, false, 1e-6}, {8, true, 1e-6}, {1024, true, 2e-5}, {16384, false, 5e-5}};
    std::mt19937 random(2024);
    std::uniform_real_distribution<float> value(-5, 5);
    for (const Case& c : cases) {
        std::vector<float> re(c.n), im(c.n, 0.0f), binRe(c.n), binIm(c.n), backRe(c.n), backIm(c.n);
        for (std::uint32_t i = 0; i < c.n; ++i) {
            re[i] = value(random);
            if (c.complexInput)
                im[i] = value(random);
        }
        fft_float(c.n, 0, re.data(), c.complexInput ? im.data() : nullptr, binRe.data(), binIm.data());
        fft_float(c.n, 1, binRe.data(), binIm.data(), backRe.data(), backIm.data());
        double worst = 0;
        for (std::uint32_t i = 0; i < c.n; ++i)
            worst = std::max({worst, std::fabs(static_cast<double>(backRe[i] - re[i])),
                              std::fabs(static_cast<double>(backIm[i] - im[i]))});
        EXPECT_LE(worst, c.tolerance) << "N = " << c.n;
    }
}

TEST(FftFloatDeathTest, MisuseEndsTheProcessWithItsMessage)
{
    float a[4] = {};
    float b[4] = {};
    float c[4] = {};
    struct Case { std::function<void()> call; const char* message; };
    const Case cases[] = {
        {[&] { fft_float(3, 0, a, nullptr, b, c); }, "^Error in fft\\(\\):  NumSamples=3 is not power of two\n$"},
        {[&] { fft_float(1, 0, a, nullptr, b, c); }, "NumSamples=1 is not power of two"},
        // The size is checked first, then RealIn, RealOut and ImagOut in that order.
        {[&] { fft_float(6, 0, nullptr, nullptr, nullptr, nullptr); }, "NumSamples=6 is not power of two"},
        {[&] { fft_float(4, 0, nullptr, nullptr, nullptr, nullptr); }, "^Error in fft_float\\(\\):  RealIn == NULL\n$"},
        {[&] { fft_float(4, 1, a, a, nullptr, nullptr); }, "^Error in fft_float\\(\\):  RealOut == NULL\n$"},
        {[&] { fft_float(4, 0, a, nullptr, b, nullptr); }, "^Error in fft_float\\(\\):  ImagOut == NULL\n$"},
        {[] { NumberOfBitsNeeded(1); },
         "^>>> Error in fftmisc: argument 1 to NumberOfBitsNeeded is too small\\.\n$"},
    };
    for (const Case& d : cases)
        EXPECT_EXIT(d.call(), ::testing::ExitedWithCode(1), d.message);
}

}  // namespace
