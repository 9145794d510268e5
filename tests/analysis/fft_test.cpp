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
    struct PowerCase { std::uint32_t x; bool power; };
    const PowerCase powers[] = {{0, false}, {1, false}, {2, true}, {3, false}, {4, true}, {6, false},
                                {1023, false}, {1024, true}, {0x80000000u, true}, {0xFFFFFFFFu, false}};
    for (const PowerCase& c : powers)
        EXPECT_EQ(IsPowerOf2(c.x), c.power) << c.x;

    struct BitsCase { std::uint32_t x, bits; };
    const BitsCase bits[] = {{2, 1}, {4, 2}, {1024, 10}, {16384, 14}, {0x80000000u, 31}, {3, 0}, {12, 2}};
    for (const BitsCase& c : bits)
        EXPECT_EQ(NumberOfBitsNeeded(c.x), c.bits) << c.x;

    struct ReverseCase { std::uint32_t index, bits, reversed; };
    const ReverseCase reversals[] = {
        {1, 3, 4}, {6, 3, 3}, {0, 3, 0}, {7, 3, 7}, {0b1011, 3, 0b110},  // bit 3 is ignored
        {5, 0, 0}, {1, 1, 1}, {1, 32, 0x80000000u}, {0x12345678u, 32, 0x1E6A2C48u},
    };
    for (const ReverseCase& c : reversals)
        EXPECT_EQ(BitReversedIndex(c.index, c.bits), c.reversed) << c.index << " on " << c.bits << " bits";
}

// X[k] = Σ x[n]·e^(+2πi·k·n/8), worked out independently of the routine.
TEST(FftFloat, ForwardUsesThePositiveExponentOnTheWorkedEightSamples)
{
    const float in[8] = {1, 2, 3, 4, 0, -1, 5, 2};
    const float inCopy[8] = {1, 2, 3, 4, 0, -1, 5, 2};
    float re[8];
    float im[8];
    fft_float(8, 0, in, nullptr, re, im);
    struct Bin { double re, im; };
    const Bin expected[8] = {{16, 0}, {1.707107, 1.535534}, {-7, -5}, {0.292893, 5.535534},
                             {2, 0}, {0.292893, -5.535534}, {-7, 5}, {1.707107, -1.535534}};
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(re[k], expected[k].re, 2e-6) << "bin " << k;
        EXPECT_NEAR(im[k], expected[k].im, 2e-6) << "bin " << k;
        EXPECT_EQ(in[k], inCopy[k]) << "the input is left as it was";
    }
}

// Tolerances: float keeps 24 bits; each of the log2(N) stages can add half
// an ulp of the largest value, N/2 here.
TEST(FftFloat, SimpleSignalsGiveTheirLines)
{
    constexpr std::uint32_t N = 64;
    constexpr double TOLERANCE = 1e-4;
    std::vector<float> input(N), re(N), im(N);
    auto transform = [&](const std::function<double(double)>& f) {
        for (std::uint32_t n = 0; n < N; ++n)
            input[n] = static_cast<float>(f(n));
        fft_float(N, 0, input.data(), nullptr, re.data(), im.data());
    };
    struct Line { std::uint32_t bin; double re, im; };
    struct Case {
        const char* name;
        std::function<double(double)> signal;
        std::vector<Line> lines;  // every other bin is 0
    };
    const Case cases[] = {
        {"constant 1.5", [](double) { return 1.5; }, {{0, 96, 0}}},
        {"cos, 3 turns", [](double n) { return std::cos(2 * M_PI * 3 * n / N); }, {{3, 32, 0}, {61, 32, 0}}},
        // sin = (e^(iθ) − e^(−iθ))/2i: with the positive exponent bin m holds +iN/2.
        {"sin, 5 turns", [](double n) { return std::sin(2 * M_PI * 5 * n / N); }, {{5, 0, 32}, {59, 0, -32}}},
    };
    for (const Case& c : cases) {
        transform(c.signal);
        for (std::uint32_t k = 0; k < N; ++k) {
            Line want{k, 0, 0};
            for (const Line& line : c.lines)
                if (line.bin == k)
                    want = line;
            EXPECT_NEAR(re[k], want.re, TOLERANCE) << c.name << ", bin " << k;
            EXPECT_NEAR(im[k], want.im, TOLERANCE) << c.name << ", bin " << k;
        }
    }
}

TEST(FftFloat, ANullImaginaryInputIsTheSameAsZeros)
{
    constexpr std::uint32_t N = 256;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-3, 3);
    std::vector<float> input(N), zeros(N, 0.0f), re1(N), im1(N), re2(N), im2(N);
    for (float& v : input)
        v = value(random);
    fft_float(N, 0, input.data(), nullptr, re1.data(), im1.data());
    fft_float(N, 0, input.data(), zeros.data(), re2.data(), im2.data());
    EXPECT_EQ(re1, re2);
    EXPECT_EQ(im1, im2);
}

// The inverse undoes the forward transform to within float rounding, at
// the sizes the detection uses; the twiddle recurrence restarts at each
// block, so its error stays small even for long blocks.
TEST(FftFloat, ForwardThenInverseGivesBackTheInput)
{
    struct Case { std::uint32_t n; bool complexInput; double tolerance; };
    const Case cases[] = {{2, false, 1e-6}, {8, true, 1e-6}, {1024, true, 2e-5}, {16384, false, 5e-5}};
    std::mt19937 random(2024);
    std::uniform_real_distribution<float> value(-5, 5);
    for (const Case& c : cases) {
        std::vector<float> re(c.n), im(c.n, 0.0f), specRe(c.n), specIm(c.n), backRe(c.n), backIm(c.n);
        for (std::uint32_t i = 0; i < c.n; ++i) {
            re[i] = value(random);
            if (c.complexInput)
                im[i] = value(random);
        }
        fft_float(c.n, 0, re.data(), c.complexInput ? im.data() : nullptr, specRe.data(), specIm.data());
        fft_float(c.n, 1, specRe.data(), specIm.data(), backRe.data(), backIm.data());
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
        {[&] { fft_float(0, 1, a, nullptr, b, c); }, "NumSamples=0 is not power of two"},
        // The size is checked first, then RealIn, RealOut and ImagOut in that order.
        {[&] { fft_float(6, 0, nullptr, nullptr, nullptr, nullptr); }, "NumSamples=6 is not power of two"},
        {[&] { fft_float(4, 0, nullptr, nullptr, nullptr, nullptr); }, "^Error in fft_float\\(\\):  RealIn == NULL\n$"},
        {[&] { fft_float(4, 1, a, a, nullptr, nullptr); }, "^Error in fft_float\\(\\):  RealOut == NULL\n$"},
        {[&] { fft_float(4, 0, a, nullptr, b, nullptr); }, "^Error in fft_float\\(\\):  ImagOut == NULL\n$"},
        {[] { NumberOfBitsNeeded(1); },
         "^>>> Error in fftmisc: argument 1 to NumberOfBitsNeeded is too small\\.\n$"},
        {[] { NumberOfBitsNeeded(0); }, "argument 0 to NumberOfBitsNeeded is too small"},
    };
    for (const Case& d : cases)
        EXPECT_EXIT(d.call(), ::testing::ExitedWithCode(1), d.message);
}

}  // namespace
