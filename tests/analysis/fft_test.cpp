#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "analysis/fft.h"

namespace {

TEST(BitReversedIndex, ReversesTheLowestBitsAndIgnoresTheOthers)
{
    struct Case { std::uint32_t index, bits, reversed; };
    const Case cases[] = {{1, 3, 4}, {6, 3, 3}, {0b1011, 3, 0b110} /* bit 3 is ignored */, {5, 0, 0},
                          {0x12345678u, 32, 0x1E6A2C48u}};
    for (const Case& c : cases)
        EXPECT_EQ(BitReversedIndex(c.index, c.bits), c.reversed) << c.index << " on " << c.bits << " bits";
}

// X[k] = Σ x[n]·e^(+2πi·k·n/8), worked out independently of the routine.
TEST(FftFloat, ForwardUsesThePositiveExponentOnTheWorkedEightSamples)
{
    const float in[8] = {1, 2, 3, 4, 0, -1, 5, 2};
    float re[8], im[8];
    fft_float(8, 0, in, nullptr, re, im);
    const double expected[8][2] = {{16, 0}, {1.707107, 1.535534}, {-7, -5}, {0.292893, 5.535534},
                                   {2, 0}, {0.292893, -5.535534}, {-7, 5}, {1.707107, -1.535534}};
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(re[k], expected[k][0], 2e-6) << "bin " << k;
        EXPECT_NEAR(im[k], expected[k][1], 2e-6) << "bin " << k;
    }
}

// The inverse undoes the forward transform to within float rounding, up to
// the length the detection uses for a year.
TEST(FftFloat, ForwardThenInverseGivesBackTheInput)
{
    std::mt19937 random(2024);
    std::uniform_real_distribution<float> value(-5, 5);
    for (const auto& [n, tolerance] : {std::pair{2u, 1e-6}, std::pair{16384u, 5e-5}}) {
        std::vector<float> re(n), im(n), binRe(n), binIm(n), backRe(n), backIm(n);
        std::generate(re.begin(), re.end(), [&] { return value(random); });
        std::generate(im.begin(), im.end(), [&] { return value(random); });
        fft_float(n, 0, re.data(), im.data(), binRe.data(), binIm.data());
        fft_float(n, 1, binRe.data(), binIm.data(), backRe.data(), backIm.data());
        for (std::uint32_t i = 0; i < n; ++i) {
            ASSERT_NEAR(backRe[i], re[i], tolerance) << "N = " << n << ", sample " << i;
            ASSERT_NEAR(backIm[i], im[i], tolerance) << "N = " << n << ", sample " << i;
        }
    }
}

TEST(FftFloatDeathTest, MisuseEndsTheProcessWithItsMessage)
{
    float a[4] = {}, b[4] = {}, c[4] = {};
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { fft_float(3, 0, a, nullptr, b, c); }, "^Error in fft\\(\\):  NumSamples=3 is not power of two\n$"},
        // The size is checked first, then RealIn, RealOut and ImagOut in that order.
        {[&] { fft_float(6, 0, nullptr, nullptr, nullptr, nullptr); }, "NumSamples=6 is not power of two"},
        {[&] { fft_float(4, 0, nullptr, nullptr, nullptr, nullptr); }, "^Error in fft_float\\(\\):  RealIn == NULL\n$"},
        {[&] { fft_float(4, 1, a, a, nullptr, nullptr); }, "^Error in fft_float\\(\\):  RealOut == NULL\n$"},
        {[&] { fft_float(4, 0, a, nullptr, b, nullptr); }, "^Error in fft_float\\(\\):  ImagOut == NULL\n$"},
        {[] { NumberOfBitsNeeded(1); }, "^>>> Error in fftmisc: argument 1 to NumberOfBitsNeeded is too small\\.\n$"},
    };
    for (const auto& [call, message] : cases)
        EXPECT_EXIT(call(), ::testing::ExitedWithCode(1), message);
}

}  // namespace
