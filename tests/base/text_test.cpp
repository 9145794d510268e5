#include <gtest/gtest.h>

#include "base/text.h"

namespace {

TEST(WithCrLf, AddsCrOnlyWhereMissingAndTextModeTakesItAway)
{
    EXPECT_EQ(WithCrLf("a\nb\r\n\nc"), "a\r\nb\r\n\r\nc");
    EXPECT_EQ(WithoutCr("a\r\nb\rc\r\n"), "a\nb\rc\n");
}

TEST(ReaderOf, EveryKindOfLineEndEndsALineAndLeadingByteOrderMarksGo)
{
    const TextReader in = ReaderOf("\xEF\xBB\xBF\xEF\xBB\xBF" "a\rb\r\nc\nd\r\r\n\xEF\xBB\xBF");
    EXPECT_EQ(in.text, "a\nb\nc\nd\n\n\xEF\xBB\xBF");
    EXPECT_EQ(LineNumberAt(in, 0), 1);
    EXPECT_EQ(LineNumberAt(in, in.text.find('d')), 4);
    EXPECT_EQ(LineNumberAt(in, in.text.size()), 6);
}

TEST(Windows1252, EveryByteSurvivesTheRoundTripThroughUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Utf8FromWindows1252(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Windows1252FromUtf8(utf8), all);
    EXPECT_EQ(Windows1252FromUtf8("→ \xFF"), "? ?");  // no code for the arrow; a lone byte is not UTF-8
}

// Heights as the tables print them: a decimal comma, and no sign on a
// height that rounds to zero.
TEST(FrenchDecimal, HasACommaAndNoNegativeZero)
{
    EXPECT_EQ(FrenchDecimal(-0.004, 2), "0,00");
    EXPECT_EQ(FrenchDecimal(-0.006, 2), "-0,01");
    EXPECT_EQ(FrenchDecimal(5.28, 1), "5,3");
    EXPECT_EQ(FrenchDecimal(-3, 0), "-3");
}

TEST(Scanning, NumbersFollowTheConventionsOfPercentIPercentDAndPercentLf)
{
    struct Case { char conversion; const char* text; long double value; const char* rest; };
    const Case cases[] = {
        {'i', "010\n", 8, "\n"}, {'i', "0x10", 16, ""},  {'i', " -12 x", -12, " x"}, {'i', "08", 0, "8"},
        {'d', "010", 10, ""},    {'d', "0x10", 0, "x10"}, {'d', "\n\n 2009\n", 2009, "\n"},
        {'L', " 3.5;", 3.5L, ";"}, {'L', "-1e3x", -1000, "x"},
    };
    for (const Case& c : cases) {
        TextReader in = ReaderOf(c.text);
        long n = -1;
        long double x = -1;
        const bool read = c.conversion == 'i' ? ScanInt(in, n) : c.conversion == 'd' ? ScanDecimal(in, n) : ScanReal(in, x);
        ASSERT_TRUE(read) << '%' << c.conversion << " on \"" << c.text << '"';
        EXPECT_EQ(c.conversion == 'L' ? x : n, c.value) << '%' << c.conversion << " on \"" << c.text << '"';
        EXPECT_EQ(in.text.substr(in.pos), c.rest) << '%' << c.conversion << " on \"" << c.text << '"';
    }
    TextReader none = ReaderOf("  abc");
    long v = 7;
    EXPECT_FALSE(ScanInt(none, v));
    EXPECT_EQ(v, 7) << "nothing is assigned on failure";
}

TEST(Scanning, ReadLineKeepsTheLineEndAndStopsAt99Characters)
{
    TextReader in = ReaderOf("Brest\r\n" + std::string(120, 'x') + "\n");
    std::string line;
    for (const std::string& expected : {std::string("Brest\n"), std::string(99, 'x'), std::string(21, 'x') + "\n"}) {
        ASSERT_TRUE(ReadLine(in, 100, line)) << expected;
        EXPECT_EQ(line, expected);
    }
    EXPECT_FALSE(ReadLine(in, 100, line));
    EXPECT_EQ(line, std::string(21, 'x') + "\n") << "left untouched at the end";
}

}  // namespace
