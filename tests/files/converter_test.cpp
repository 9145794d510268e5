#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "base/text.h"
#include "files/converter.h"
#include "files/recordfile.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using ConverterTest = ProgramTest;

const char* const CONFIRMATION =
    "Convertit horaires de marées -> Relevés horaires.\n\nFichier source : SOURCE.TXT\n"
    "Fichier cible : SORTIE.TXT\nFichier de Rapport : REPORT.TXT\n\nCommencer le traitement ?";

std::string SourceOf(const std::string& days, const std::vector<std::string>& tides, const char* eol = "\r\n")
{
    std::string text = std::string("Le Conquet") + eol + "2004" + eol + days + eol + eol;
    for (const std::string& tide : tides)
        text += tide + eol;
    return text;
}

void RunConverter()
{
    headless::QueueAnswer(MessageAnswer::Yes);
    ConvertTideTimes();
}

// The text of a file, line by line, without line ends.
std::vector<std::string> LinesOfFile(const std::string& path)
{
    std::vector<std::string> lines;
    TextReader in = ReaderOf(ReadFile(path));
    std::string line;
    while (ReadLine(in, 1000, line))
        lines.push_back(line.substr(0, line.find('\n')));
    return lines;
}

// The heights of "sortie.txt", after its port, year, days and blank lines.
std::vector<int> OutputHeights()
{
    std::vector<int> heights;
    const std::vector<std::string> lines = LinesOfFile("sortie.txt");
    for (std::size_t i = 4; i < lines.size(); ++i)
        heights.push_back(std::stoi(lines[i]));
    return heights;
}

// Every line end is CR LF, and no CR is doubled.
void ExpectCrLfOnly(const std::string& path)
{
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos) << path;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << path << " at " << i;
        }
}

const headless::MessageRecord& LastMessage()
{
    return headless::Messages().back();
}

// Tides at whole hours, one day: 00:00 1 m, 05:00 4.567 m, 11:00 -0.129 m,
// 17:00 3 m, 23:00 0.5 m.
const std::vector<std::string> ONE_DAY = {"0\t00\t1.0", "5\t00\t4.567", "11\t00\t-0.129", "17\t00\t3.0", "23\t00\t0.5"};

TEST_F(ConverterTest, DecliningTheConfirmationTouchesNoFile)
{
    WriteFile("source.txt", SourceOf("1", ONE_DAY));
    WriteFile("sortie.txt", "ancien contenu\r\n");
    headless::QueueAnswer(MessageAnswer::No);
    ConvertTideTimes();
    ASSERT_EQ(headless::Messages().size(), 1u);
    const headless::MessageRecord& box = headless::Messages()[0];
    EXPECT_EQ(box.owner, "none");
    EXPECT_EQ(box.caption, "Convertisseur pour Haliome");
    EXPECT_EQ(box.text, CONFIRMATION);
    EXPECT_EQ(box.buttons, MessageButtons::YesNo);
    EXPECT_EQ(ReadFile("sortie.txt"), "ancien contenu\r\n");
    EXPECT_FALSE(std::filesystem::exists("report.txt"));
}

TEST_F(ConverterTest, EachHourFollowsAQuarterSineAndTidesAtWholeHoursKeepTheirHeightTruncated)
{
    WriteFile("source.txt", SourceOf("1", ONE_DAY));
    RunConverter();
    EXPECT_EQ(LastMessage().text, "Conversion terminée.");
    EXPECT_EQ(LastMessage().caption, "Convertisseur");
    EXPECT_EQ(LastMessage().owner, "none");
    const std::vector<int> heights = OutputHeights();
    ASSERT_EQ(heights.size(), 24u);  // from -1 h to 22 h
    // Expected centimetres worked out by hand from the curve's description.
    const struct { int hour; int cm; const char* why; } cases[] = {
        {-1, 117, "before the first tide: 1 + 3.567 (1 - cos(pi/2 / 5)) = 1.17458"},
        {0, 100, "the first tide"},
        {2, 309, "1 + 3.567 sin(2/5 pi/2) = 3.09663"},
        {5, 456, "4.567 m truncated, not rounded"},
        {8, 124, "4.567 - 4.696 sin(pi/4) = 1.24643"},
        {11, -12, "-0.129 m truncated toward zero"},
        {17, 300, "a tide"},
        {22, 58, "3 - 2.5 sin(5/6 pi/2) = 0.58519"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(heights[static_cast<std::size_t>(c.hour + 1)], c.cm) << c.hour << " h: " << c.why;
}

TEST_F(ConverterTest, TheReportListsTheTidesTheirTimesThenThePairOfEachHour)
{
    WriteFile("source.txt", SourceOf("1", ONE_DAY));
    RunConverter();
    const std::vector<std::string> report = LinesOfFile("report.txt");
    const std::vector<std::string> head = {
        // Each tide after the first; the source ends with a line end, so the
        // last is read twice.
        "5.000000\t5\t0\t1\t4.567000", "11.000000\t11\t0\t2\t-0.129000", "17.000000\t17\t0\t3\t3.000000",
        "23.000000\t23\t0\t4\t0.500000", "23.000000\t23\t0\t5\t0.500000",
        // The times of all but the last.
        "0.000000", "5.000000", "11.000000", "17.000000", "23.000000",
        // The first hours: before 00:00 the first tide is the upper end.
        "-1\t5.000000\t0.000000\t4.567000\t1.000000", "0\t5.000000\t0.000000\t4.567000\t1.000000",
        "--> 1\t0.000000\t5.000000\t1.000000\t4.567000", "1\t0.000000\t5.000000\t1.000000\t4.567000",
        "2\t0.000000\t5.000000\t1.000000\t4.567000",
    };
    ASSERT_EQ(report.size(), 5u + 5u + 24u + 4u);  // four steps to a new pair: at 1, 6, 12 and 18 h
    for (std::size_t i = 0; i < head.size(); ++i)
        EXPECT_EQ(report[i], head[i]) << i;
    EXPECT_EQ(report.back(), "22\t17.000000\t23.000000\t3.000000\t0.500000");
    ExpectCrLfOnly("report.txt");
}

TEST_F(ConverterTest, TheDayChangesWhenTheHourGoesDownAndFieldsFollowPercentI)
{
    const struct {
        const char* first;
        const char* second;
        double time;
        int hour, minute;
        double height;
        const char* why;
    } cases[] = {
        {"23\t10\t5.0", "5\t25\t1.0", 29 + 25 / 60.0, 5, 25, 1.0, "6.25 h later, on the next day"},
        {"12\t50\t5.0", "12\t10\t1.0", 12 + 10 / 60.0, 12, 10, 1.0, "40 minutes back: the hour did not go down"},
        {"6\t00\t5.0", "07\t30\t1.0", 7.5, 7, 30, 1.0, "07 is octal 7"},
        {"6\t00\t5.0", "08\t30\t1.5", 24 + 8 / 60.0, 0, 8, 30.0, "08 reads as 0, then 8 is the minute"},
        {"6 0 5.0", "12  15   1.0", 12.25, 12, 15, 1.0, "blanks separate the fields"},
        {"6\t00\t5.0", "14\t45", 14.75, 14, 45, 5.0, "a missing height keeps the one before"},
    };
    for (const auto& c : cases) {
        headless::Reset();
        WriteFile("source.txt", SourceOf("1", {c.first, c.second}));
        RunConverter();
        const std::vector<std::string> report = LinesOfFile("report.txt");
        ASSERT_FALSE(report.empty()) << c.why;
        double time = 0, height = 0;
        int hour = -1, minute = -1;
        long index = 0;
        ASSERT_EQ(std::sscanf(report[0].c_str(), "%lf\t%i\t%i\t%li\t%lf", &time, &hour, &minute, &index, &height), 5);
        EXPECT_NEAR(time, c.time, 1e-5) << c.why;
        EXPECT_EQ(hour, c.hour) << c.why;
        EXPECT_EQ(minute, c.minute) << c.why;
        EXPECT_EQ(index, 1) << c.why;
        EXPECT_NEAR(height, c.height, 1e-6) << c.why;
    }
}

TEST_F(ConverterTest, ItsOutputReadsBackAsARecordAnHourEarly)
{
    // Two days of semi-diurnal tides with LF line ends, and one tide after them.
    const std::vector<std::string> tides = {"3\t00\t6.5", "9\t12\t1.2", "15\t24\t6.3", "21\t36\t1.4", "3\t48\t6.6",
                                            "10\t00\t1.1", "16\t12\t6.2", "22\t24\t1.5", "4\t36\t6.4"};
    WriteFile("source.txt", SourceOf("2", tides, "\n"));
    RunConverter();
    const std::string fromLf = ReadFile("sortie.txt");
    EXPECT_EQ(fromLf.substr(0, 23), "Le Conquet\r\n2004\r\n2\r\n\r\n");
    ExpectCrLfOnly("sortie.txt");
    WriteFile("source.txt", SourceOf("2", tides, "\r\n"));
    RunConverter();
    EXPECT_EQ(ReadFile("sortie.txt"), fromLf);
    EXPECT_EQ(LastMessage().text, "Conversion terminée.");

    RecordFilePath = "sortie.txt";
    LoadRecordFile();
    EXPECT_EQ(headless::Messages().size(), 4u) << "the record reader said something";
    EXPECT_EQ(Header.PortName, "Le Conquet\n");
    EXPECT_EQ(Header.StartYear, 2004);
    EXPECT_EQ(Header.Time_of_debut, YearStartTime(2004));
    ASSERT_EQ(RecordSeries.RecordCount, 48);
    // The first value is the hour before 00:00, so record hour h holds h - 1.
    const std::vector<std::int32_t>& v = RecordSeries.RecordValues;
    EXPECT_EQ(v[3 + 1], 650);   // 03:00
    EXPECT_EQ(v[10 + 24 + 1], 110);  // 10:00 on the second day
    // Between two tides the heights run one way, inside the pair's range.
    const double times[] = {3, 9.2, 15.4, 21.6, 27.8, 34, 40.2, 46.4};
    const double heights[] = {6.5, 1.2, 6.3, 1.4, 6.6, 1.1, 6.2, 1.5};
    for (int k = 0; k + 1 < 8; ++k) {
        const int rising = heights[k + 1] > heights[k] ? 1 : -1;
        for (int x = static_cast<int>(std::ceil(times[k])); x < times[k + 1]; ++x) {
            const std::int32_t here = v[static_cast<std::size_t>(x + 1)];
            if (x - 1 >= times[k]) {
                EXPECT_GE(here * rising, v[static_cast<std::size_t>(x)] * rising) << x << " h";
            }
            EXPECT_TRUE(here >= std::lround(std::min(heights[k], heights[k + 1]) * 100) - 1 &&
                        here <= std::lround(std::max(heights[k], heights[k + 1]) * 100)) << x << " h: " << here;
        }
    }
}

TEST_F(ConverterTest, ASourceThatCannotBeConvertedLeavesTheOutputEmptyAndSaysWhy)
{
    const struct { std::string source; std::string why; } cases[] = {
        {"", "le fichier source.txt s'arrête avant le nombre de jours (ligne 3)"},
        {"Le Conquet\r\n", "le fichier source.txt s'arrête avant le nombre de jours (ligne 3)"},
        {"Le Conquet\r\n2004\r\n", "le nombre de jours (ligne 3) n'est pas un nombre"},
        {SourceOf("deux", ONE_DAY), "le nombre de jours (ligne 3) n'est pas un nombre"},
        {SourceOf("0", ONE_DAY), "le nombre de jours (0) n'est pas compris entre 1 et 36525"},
        {SourceOf("-3", ONE_DAY), "le nombre de jours (-3) n'est pas compris entre 1 et 36525"},
        {SourceOf("36526", ONE_DAY), "le nombre de jours (36526) n'est pas compris entre 1 et 36525"},
        {SourceOf("0x7FFFFFFF", ONE_DAY), "le nombre de jours (2147483647) n'est pas compris entre 1 et 36525"},
        {SourceOf("1", {}), "le fichier source.txt ne contient aucune marée après le nombre de jours"},
        {SourceOf("1", {"PM\t12\t5.0", "6\t00\t1.0"}),
         "la première marée, « PM\t12\t5.0 », ne commence pas par une heure"},
        {SourceOf("1", {"12\t00\t4.0"}), "il faut au moins deux marées"},
        {SourceOf("1", {"12\t00\t4.0", "", "fin"}), "il faut au moins deux marées"},
        {"Le Conquet\n2004\n1\n\n12\t00\t4.0", "il faut au moins deux marées"},
    };
    for (const auto& c : cases) {
        headless::Reset();
        WriteFile("source.txt", c.source);
        WriteFile("sortie.txt", "ancien contenu\r\n");
        RunConverter();
        EXPECT_EQ(ReadFile("sortie.txt"), "") << c.why;
        const std::string report = ReadFile("report.txt");
        EXPECT_EQ(report.rfind("Conversion impossible : " + c.why, 0), 0u) << report;
        EXPECT_EQ(report.substr(report.size() - 3), ".\r\n") << report;
        ASSERT_EQ(headless::Messages().size(), 2u) << c.why;
        EXPECT_EQ(LastMessage().caption, "Convertisseur");
        EXPECT_EQ(LastMessage().icon, MessageIcon::Warning);
        EXPECT_EQ(LastMessage().text.rfind("Conversion impossible : " + c.why, 0), 0u) << LastMessage().text;
        EXPECT_NE(LastMessage().text.find("Le fichier sortie.txt est resté vide."), std::string::npos);
    }
}

TEST_F(ConverterTest, HoursAfterTheLastTideKeepItsHeightAndTheUserIsTold)
{
    WriteFile("source.txt", SourceOf("1", {"0\t00\t1.0", "6\t00\t5.0", "12\t00\t2.0"}));
    RunConverter();
    const std::vector<int> heights = OutputHeights();
    ASSERT_EQ(heights.size(), 24u);
    for (int hour = 12; hour <= 22; ++hour)
        EXPECT_EQ(heights[static_cast<std::size_t>(hour + 1)], 200) << hour << " h";
    const std::string note = "Les 10 dernières heures tombent après la dernière marée de la source (12.000000 h) : "
                             "elles en gardent la hauteur, 2.000000 m.\n";
    EXPECT_EQ(LastMessage().text, "Conversion terminée.\n\n" + note);
    EXPECT_EQ(LinesOfFile("report.txt").back() + "\n", note);
    ExpectCrLfOnly("report.txt");
}

TEST_F(ConverterTest, TidesBeyondEightPerDayAreLeftUnreadAndTheUserIsTold)
{
    std::vector<std::string> tides;
    for (int hour = 0; hour < 20; hour += 2)  // ten tides, every two hours
        tides.push_back(std::to_string(hour) + "\t00\t" + (hour % 4 ? "1.0" : "5.0"));
    WriteFile("source.txt", SourceOf("1", tides));
    RunConverter();
    EXPECT_EQ(LinesOfFile("report.txt")[7], "0.000000") << "seven lines for tides 1 to 7, then the times";
    const std::vector<int> heights = OutputHeights();
    EXPECT_EQ(heights[14 + 1], 100);  // the eighth tide, 14:00
    EXPECT_EQ(heights[16 + 1], 100);  // held: the ninth, 5 m at 16:00, is not read
    const std::string text = LastMessage().text;
    EXPECT_NE(text.find("La source contient plus de 8 marées (8 par jour sur 1 jours) : les suivantes n'ont pas "
                        "été lues.\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("Les 8 dernières heures"), std::string::npos) << text;
    EXPECT_NE(ReadFile("report.txt").find("La source contient plus de 8 marées"), std::string::npos);
}

TEST_F(ConverterTest, ABlankLineRepeatsTheTideBeforeWithoutBreakingTheCurve)
{
    WriteFile("source.txt",
              SourceOf("1", {"0\t00\t1.0", "", "6\t00\t5.0", "12\t00\t1.0", "18\t00\t5.0", "23\t00\t1.0"}));
    RunConverter();
    const std::vector<int> heights = OutputHeights();
    ASSERT_EQ(heights.size(), 24u);
    EXPECT_EQ(heights[0], 100);  // the first two tides coincide: no curve before them
    EXPECT_EQ(heights[1], 100);
    EXPECT_EQ(heights[3 + 1], 382);  // 1 + 4 sin(pi/4) = 3.828
    EXPECT_EQ(heights[6 + 1], 500);
}

TEST_F(ConverterTest, AFileThatCannotBeOpenedStopsEverythingAndLeavesAnOpenedOutputEmpty)
{
    const struct { const char* directory; bool withSource; const char* outputAfter; } cases[] = {
        {nullptr, false, "ancien contenu\r\n"},      // no source: nothing else is opened
        {"sortie.txt", true, nullptr},
        {"report.txt", true, ""},                     // the output was opened, so emptied
    };
    for (const auto& c : cases) {
        headless::Reset();
        std::filesystem::remove_all("source.txt");
        std::filesystem::remove_all("sortie.txt");
        std::filesystem::remove_all("report.txt");
        if (c.withSource)
            WriteFile("source.txt", SourceOf("1", ONE_DAY));
        if (c.directory)
            std::filesystem::create_directory(c.directory);
        if (c.outputAfter)
            WriteFile("sortie.txt", "ancien contenu\r\n");
        RunConverter();
        ASSERT_EQ(headless::Messages().size(), 2u);
        EXPECT_EQ(LastMessage().text, "Erreur lors de l'ouverture des fichiers.");
        EXPECT_EQ(LastMessage().caption, "Convertisseur");
        EXPECT_EQ(LastMessage().icon, MessageIcon::Error);
        EXPECT_EQ(LastMessage().owner, "none");
        if (c.outputAfter) {
            EXPECT_EQ(ReadFile("sortie.txt"), c.outputAfter);
        }
        EXPECT_FALSE(std::filesystem::is_regular_file("report.txt"));
    }
}

}  // namespace
