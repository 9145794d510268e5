#include <gtest/gtest.h>

#include "base/text.h"

namespace {

TEST(WithCrLf, AddsCrOnlyWhereMissing)
{
    EXPECT_EQ(WithCrLf("a\nb\r\n\nc"), "a\r\nb\r\n\r\nc");
    EXPECT_EQ(WithoutCr("a\r\nb\rc\r\n"), "a\nb\rc\n");
}

TEST(Windows1252, EveryByteSurvivesTheRoundTripThroughUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::string utf8 = Utf8FromWindows1252(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Windows1252FromUtf8(utf8), all);
}

TEST(Windows1252, EncodesFrenchTextAndReplacesWhatItCannotHold)
{
    EXPECT_EQ(Windows1252FromUtf8("Sidérale €"), "Sid\xE9rale \x80");
    EXPECT_EQ(Utf8FromWindows1252("Sid\xE9rale"), "Sidérale");
    EXPECT_EQ(Windows1252FromUtf8("→ \xFF"), "? ?");  // no code for the arrow; a lone byte is not UTF-8
    EXPECT_FALSE(IsValidUtf8("Sid\xE9rale"));
    EXPECT_EQ(FirstChars("ééé", 2), "éé");
}

TEST(Scanning, IntegersFollowTheConventionsOfPercentIAndPercentD)
{
    struct Case { const char* text; bool decimal; long value; const char* rest; };
    const Case cases[] = {
        {"010\n", false, 8, "\n"},  {"0x10", false, 16, ""}, {" -12 x", false, -12, " x"},
        {"08", false, 0, "8"},      {"010", true, 10, ""},   {"\n\n 2009\n", true, 2009, "\n"},
    };
    for (const Case& c : cases) {
        TextReader in = ReaderOf(c.text);
        long v = -1;
        ASSERT_TRUE(c.decimal ? ScanDecimal(in, v) : ScanInt(in, v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(in.text.substr(in.pos), c.rest) << c.text;
    }
    TextReader none = ReaderOf("  abc");
    long v = 7;
    EXPECT_FALSE(ScanInt(none, v));
    EXPECT_EQ(v, 7);
}

TEST(Scanning, ReadLineKeepsTheLineEndAndStopsAtTheSizeLimit)
{
    TextReader in = ReaderOf("Brest\r\n" + std::string(120, 'x') + "\n");
    std::string line;
    ASSERT_TRUE(ReadLine(in, 100, line));
    EXPECT_EQ(line, "Brest\n");
    ASSERT_TRUE(ReadLine(in, 100, line));
    EXPECT_EQ(line, std::string(99, 'x'));
    ASSERT_TRUE(ReadLine(in, 100, line));
    EXPECT_EQ(line, std::string(21, 'x') + "\n");
    EXPECT_FALSE(ReadLine(in, 100, line));
    EXPECT_EQ(line, std::string(21, 'x') + "\n");
}

TEST(Scanning, LiteralsMatchUpToTheFirstDifferenceAndBlanksMatchAnyWhitespace)
{
    TextReader in = ReaderOf("0.0;3.5;0.0;Niveau\n  Moyen\nx");
    long double mean = 0;
    ASSERT_TRUE(MatchLiteral(in, "0.0;"));
    ASSERT_TRUE(ScanReal(in, mean));
    EXPECT_EQ(mean, 3.5L);
    EXPECT_TRUE(MatchLiteral(in, ";0.0;Niveau Moyen\n"));
    EXPECT_EQ(in.text.substr(in.pos), "x");

    TextReader other = ReaderOf("0.5;1");
    EXPECT_FALSE(MatchLiteral(other, "0.0;"));
    EXPECT_EQ(other.text.substr(other.pos), "5;1");
}

}  // namespace
