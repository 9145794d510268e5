#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <ranges>

#include "base/calendar.h"
#include "base/text.h"
#include "files/converter.h"
#include "files/recordfile.h"
#include "model/port.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "tests/support/full_disk.h"
#include "tests/support/program_test.h"

namespace {

using ConverterTest = ProgramTest;

std::string SourceOf(const std::string& days, const std::vector<std::string>& tides, const char* eol = "\r\n")
{
    std::string text = std::string("Le Conquet") + eol + "2004" + eol + days + eol + eol;
    for (const std::string& tide : tides)
        text += tide + eol;
    return text;
}

// Writes source.txt when given, says yes to the confirmation, and returns the closing message.
std::string Convert(const std::optional<std::string>& source)
{
    headless::Reset();
    if (source)
        WriteFile("source.txt", *source);
    headless::QueueAnswer(MessageAnswer::Yes);
    ConvertTideTimes();
    EXPECT_EQ(headless::Messages().size(), 2u);
    EXPECT_EQ(headless::Messages().back().caption, "Convertisseur");
    return headless::Messages().back().text;
}

// The lines of a file without line ends, after checking that every line
// ends with CR LF and that no CR is doubled.
std::vector<std::string> CrLfLines(const std::string& path)
{
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos) << path;
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1) {
        EXPECT_TRUE(end > at && bytes[end - 1] == '\r') << path << ": LF alone at " << end;
        lines.push_back(bytes.substr(at, end - at - 1));
    }
    return lines;
}

// The heights of "sortie.txt", after its port, year, days and blank lines.
std::vector<int> OutputHeights()
{
    std::vector<int> heights;
    for (const std::string& line : CrLfLines("sortie.txt") | std::views::drop(4))
        heights.push_back(std::stoi(line));
    return heights;
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
    EXPECT_EQ(headless::Messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(ReadFile("sortie.txt"), "ancien contenu\r\n");
    EXPECT_FALSE(std::filesystem::exists("report.txt"));
}

TEST_F(ConverterTest, EachHourFollowsAQuarterSineTruncatedToCentimetresAndTheReportGivesItsPair)
{
    // A blank line repeats the tide before without breaking the curve.
    const std::vector<std::string> blank = {"0\t00\t1.0", "", "6\t00\t5.0", "12\t00\t1.0", "18\t00\t5.0", "23\t00\t1.0"};
    // Expected centimetres worked out by hand from the curve's description;
    // ONE_DAY last, for the report below.
    const struct { const std::vector<std::string>& tides; int hour; int cm; const char* why; } cases[] = {
        {blank, -1, 100, "the first two tides coincide: no curve before them"},
        {blank, 0, 100, "the first tide, repeated"},
        {blank, 3, 382, "1 + 4 sin(pi/4) = 3.828"},
        {ONE_DAY, -1, 117, "before the first tide: 1 + 3.567 (1 - cos(pi/2 / 5)) = 1.17458"},
        {ONE_DAY, 0, 100, "the first tide"},
        {ONE_DAY, 2, 309, "1 + 3.567 sin(2/5 pi/2) = 3.09663"},
        {ONE_DAY, 5, 456, "4.567 m truncated, not rounded"},
        {ONE_DAY, 8, 124, "4.567 - 4.696 sin(pi/4) = 1.24643"},
        {ONE_DAY, 11, -12, "-0.129 m truncated toward zero"},
        {ONE_DAY, 22, 58, "3 - 2.5 sin(5/6 pi/2) = 0.58519"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Convert(SourceOf("1", c.tides)), "Conversion terminée.") << c.why;
        const std::vector<int> heights = OutputHeights();
        ASSERT_EQ(heights.size(), 24u);  // from -1 h to 22 h
        EXPECT_EQ(heights[static_cast<std::size_t>(c.hour + 1)], c.cm) << c.hour << " h: " << c.why;
    }
    const std::vector<std::string> report = CrLfLines("report.txt");
    // Each tide after the first (the source ends with a line end, so the last
    // is read twice), the times of all but the last, then the pair of each
    // hour, before 00:00 with the first tide as upper end, and four steps to a
    // new pair: at 1, 6, 12 and 18 h.
    ASSERT_EQ(report.size(), 5u + 5u + 24u + 4u);
    EXPECT_EQ(report[10], "-1\t5.000000\t0.000000\t4.567000\t1.000000");
    EXPECT_EQ(report[12], "--> 1\t0.000000\t5.000000\t1.000000\t4.567000");
}

TEST_F(ConverterTest, TheDayChangesWhenTheHourGoesDownAndFieldsFollowPercentI)
{
    const struct { const char* first; const char* second; double time; int hour, minute; double height; const char* why; }
    cases[] = {
        {"23\t10\t5.0", "5\t25\t1.0", 29 + 25 / 60.0, 5, 25, 1.0, "6.25 h later, on the next day"},
        {"6\t00\t5.0", "07\t010\t1.0", 7 + 8 / 60.0, 7, 8, 1.0, "07 and 010 are octal"},
        {"6\t00\t5.0", "08\t30\t1.5", 24 + 8 / 60.0, 0, 8, 30.0, "08 reads as 0, then 8 is the minute"},
        {"6 0 5.0", "12  15   1.0", 12.25, 12, 15, 1.0, "blanks separate the fields"},
        {"6\t00\t5.0", "14\t45", 14.75, 14, 45, 5.0, "a missing height keeps the one before"},
    };
    for (const auto& c : cases) {
        Convert(SourceOf("1", {c.first, c.second}));
        const std::string input = std::string(c.first) + " then " + c.second + " (" + c.why + ")";
        double time = 0, height = 0;
        int hour = -1, minute = -1;
        const std::string first = ReadFile("report.txt");
        ASSERT_EQ(std::sscanf(first.c_str(), "%lf\t%i\t%i\t1\t%lf", &time, &hour, &minute, &height), 4) << first;
        EXPECT_NEAR(time, c.time, 1e-5) << input;
        EXPECT_EQ(hour, c.hour) << input;
        EXPECT_EQ(minute, c.minute) << input;
        EXPECT_NEAR(height, c.height, 1e-6) << input;
    }
}

TEST_F(ConverterTest, ItsOutputReadsBackAsARecordAnHourEarly)
{
    // Two days of semi-diurnal tides, and one tide after them.
    const std::vector<std::string> tides = {"3\t00\t6.5", "9\t12\t1.2", "15\t24\t6.3", "21\t36\t1.4", "3\t48\t6.6",
                                            "10\t00\t1.1", "16\t12\t6.2", "22\t24\t1.5", "4\t36\t6.4"};
    EXPECT_EQ(Convert(SourceOf("2", tides, "\n")), "Conversion terminée.");
    const std::string fromLf = ReadFile("sortie.txt");
    CrLfLines("sortie.txt");
    Convert(SourceOf("2", tides, "\r\n"));
    EXPECT_EQ(ReadFile("sortie.txt"), fromLf);
    RecordFilePath = "sortie.txt";
    LoadRecordFile();
    EXPECT_EQ(headless::Messages().size(), 2u) << "the record reader said something";
    EXPECT_EQ(Header.PortName, "Le Conquet\n");
    EXPECT_EQ(Header.Time_of_debut, YearStartTime(2004));
    ASSERT_EQ(RecordSeries.RecordCount, 48);
    // The first value is the hour before 00:00, so record hour h holds h - 1.
    EXPECT_EQ(RecordSeries.RecordValues[3 + 1], 650);        // 03:00
    EXPECT_EQ(RecordSeries.RecordValues[10 + 24 + 1], 110);  // 10:00 on the second day
}

TEST_F(ConverterTest, ASourceThatCannotBeConvertedLeavesTheOutputAsItWasAndSaysWhyNamingTheLine)
{
    const struct { std::string source; std::string why; } cases[] = {
        {"Le Conquet\r\n", "le fichier source.txt s'arrête avant le nombre de jours (ligne 3)"},
        {SourceOf("deux", ONE_DAY), "le nombre de jours (ligne 3) n'est pas un nombre"},
        {SourceOf("0", ONE_DAY), "le nombre de jours (0) n'est pas compris entre 1 et 36525"},
        {SourceOf("36526", ONE_DAY), "le nombre de jours (36526) n'est pas compris entre 1 et 36525"},
        {SourceOf("0x7FFFFFFF", ONE_DAY), "le nombre de jours (2147483647) n'est pas compris entre 1 et 36525"},
        {SourceOf("1", {}), "le fichier source.txt ne contient aucune marée après le nombre de jours"},
        {SourceOf("1", {"PM\t12\t5.0", "6\t00\t1.0"}), "la première marée, « PM\t12\t5.0 », ne commence pas par une heure"},
        {SourceOf("1", {"12\t00\t4.0"}), "il faut au moins deux marées"},
        {SourceOf("1", {"12\t00\t4.0", "", "fin"}), "il faut au moins deux marées"},
        {"Le Conquet\n2004\n1\n\n12\t00\t4.0", "il faut au moins deux marées"},
        // A port line over 99 characters once made the year the day count.
        {std::string(100, 'p') + "\r\n2004\r\n1\r\n\r\n0\t00\t1.0\r\n6\t00\t2.0\r\n",
         "la ligne 1, le nom du port, dépasse 99 caractères"},
        {"Le Conquet\n\xEF\xBB\xBF" "2004\n1\n\n0\t00\t1.0\n6\t00\t2.0\n",
         "la ligne 2, « \xEF\xBB\xBF" "2004 », n'est pas une année"},
        {"Le Conquet\n2004 mai\n1\n\n0\t00\t1.0\n6\t00\t2.0\n", "la ligne 2, « 2004 mai », n'est pas une année"},
        // The day rule looks at the hour only: 12:50 then 12:10 would go back 40 minutes.
        {SourceOf("1", {"12\t50\t5.0", "12\t10\t1.0"}), "la marée de la ligne 6, « 12\t10\t1.0 », vient avant "
                                                        "celle de la ligne 5"},
        {SourceOf("1", {"6\t00\t5.0", "12\t99\t1.0"}), "la marée de la ligne 6, « 12\t99\t1.0 », n'a pas une heure"},
        {SourceOf("1", {"24\t00\t5.0", "12\t00\t1.0"}), "la marée de la ligne 5, « 24\t00\t5.0 », n'a pas une heure"},
        {SourceOf("1", {"6\t00\t5.0", "12\t00\tinf"}), "la marée de la ligne 6, « 12\t00\tinf », n'a pas une "
                                                       "hauteur finie, entre -1000000 et 1000000 m"},
        {SourceOf("1", {"6\t00\tnan", "12\t00\t1"}), "la marée de la ligne 5, « 6\t00\tnan », n'a pas une hauteur"},
        {SourceOf("1", {"6\t00\t5.0", "12\t00\t1.0" + std::string(91, ' ')}), "la ligne 6 dépasse 99 caractères"},
    };
    for (const auto& c : cases) {
        WriteFile("sortie.txt", "ancien contenu\r\n");
        const std::string said = Convert(c.source);
        EXPECT_EQ(ReadFile("sortie.txt"), "ancien contenu\r\n") << c.why;
        EXPECT_EQ(said.rfind("Conversion impossible : " + c.why, 0), 0u) << said;
        EXPECT_NE(said.find("Fichier source : source.txt. Le fichier sortie.txt n'a pas été modifié."),
                  std::string::npos)
            << said;
        EXPECT_EQ(headless::Messages().back().icon, MessageIcon::Warning);
        const std::vector<std::string> report = CrLfLines("report.txt");
        ASSERT_EQ(report.size(), 1u) << c.why;
        EXPECT_EQ(report[0].rfind("Conversion impossible : " + c.why, 0), 0u) << report[0];
    }
}

TEST_F(ConverterTest, EntriesBeyondEightPerDayAndHoursAfterTheLastAreHeldAndReported)
{
    std::vector<std::string> tides;
    for (int hour = 0; hour < 20; hour += 2)  // ten tides, every two hours, 5 m then 1 m
        tides.push_back(std::to_string(hour) + "\t00\t" + (hour % 4 ? "1.0" : "5.0"));
    const std::string said = Convert(SourceOf("1", tides));
    const std::vector<int> heights = OutputHeights();
    ASSERT_EQ(heights.size(), 24u);
    for (int hour = 14; hour <= 22; ++hour)  // the eighth tide, 1 m at 14:00, holds: the ninth is not read
        EXPECT_EQ(heights[static_cast<std::size_t>(hour + 1)], 100) << hour << " h";
    const std::string notes =
        "La source contient plus de 8 marées (8 par jour sur 1 jours) : les suivantes n'ont pas été lues.\n"
        "Les 8 dernières heures tombent après la dernière marée de la source (14.000000 h) : elles en gardent "
        "la hauteur, 1.000000 m.\n";
    EXPECT_EQ(said, "Conversion terminée.\n\n" + notes);
    const std::string report = ReadFile("report.txt");
    EXPECT_EQ(report.substr(report.size() - notes.size() - 2), WithCrLf(notes));
}

TEST_F(ConverterTest, AFileThatCannotBeReadOrWrittenIsNamedWithTheReasonAndWhatWasThereStays)
{
    const std::string old = "ancien contenu\r\n";
    const auto nothing = [] {};
    const auto hugeSource = [] {
        WriteFile("source.txt", SourceOf("1", ONE_DAY));
        std::filesystem::resize_file("source.txt", MAX_CONVERTER_SOURCE_BYTES + 1);
    };
    const auto fullDisk = [] { SetDiskFullAfterBytes(100); };
    const auto outputToDevFull = [] {
        std::filesystem::remove("sortie.txt");
        std::filesystem::create_symlink("/dev/full", "sortie.txt");
    };
    const auto reportAFolder = [] {
        std::filesystem::remove("report.txt");
        std::filesystem::create_directory("report.txt");
    };
    const struct { std::function<void()> arrange; bool withSource; const char* said; bool written; } cases[] = {
        {nothing, false, "Erreur lors de l'ouverture des fichiers.\n\nLe fichier source source.txt ne peut pas être lu",
         false},
        {hugeSource, false, "Le fichier source source.txt dépasse 32 Mo, plus que n'en prennent 8 marées", false},
        {fullDisk, true,
         "Erreur lors de l'écriture des fichiers : le fichier sortie.txt n'a pas pu être écrit : le disque est plein ; "
         "il est resté tel qu'il était.\n\nLe fichier report.txt n'a pas été modifié non plus.", false},
        {outputToDevFull, true, "Erreur lors de l'écriture des fichiers : le fichier sortie.txt n'a pas pu être "
                                "écrit : le disque est plein", false},
        {reportAFolder, true, "Conversion terminée, mais le fichier report.txt n'a pas pu être écrit : ce nom est "
                              "celui d'un dossier ; il est resté tel qu'il était.", true},
    };
    for (const auto& c : cases) {
        for (const char* file : {"source.txt", "sortie.txt", "report.txt"})
            std::filesystem::remove_all(file);
        WriteFile("sortie.txt", old);
        WriteFile("report.txt", old);
        c.arrange();
        const std::string said = Convert(c.withSource ? std::optional(SourceOf("1", ONE_DAY)) : std::nullopt);
        SetDiskFullAfterBytes(-1);
        EXPECT_EQ(said.rfind(c.said, 0), 0u) << said;
        EXPECT_EQ(headless::Messages().back().icon, c.written ? MessageIcon::Warning : MessageIcon::Error) << said;
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status("sortie.txt"))) {
            EXPECT_EQ(ReadFile("sortie.txt") == old, !c.written) << said;
        }
        if (std::filesystem::is_regular_file("report.txt")) {
            EXPECT_EQ(ReadFile("report.txt"), old) << said;
        }
    }
}

// The question names the files used; "source.txt" itself comes first.
TEST_F(ConverterTest, TheSourceIsFoundWhateverTheCaseOfItsName)
{
    const struct { std::vector<const char*> present; const char* used; } cases[] = {
        {{"SOURCE.TXT"}, "SOURCE.TXT"},
        {{"Source.Txt", "SOURCE.TXT"}, "SOURCE.TXT"},  // in alphabetical order
        {{"SOURCE.TXT", "source.txt"}, "source.txt"},
    };
    for (const auto& c : cases) {
        for (const auto& entry : std::filesystem::directory_iterator("."))
            std::filesystem::remove(entry.path());
        for (const char* name : c.present)
            WriteFile(name, name == std::string(c.used) ? SourceOf("1", ONE_DAY) : "autre\r\n");
        EXPECT_EQ(Convert(std::nullopt).rfind("Conversion terminée.", 0), 0u) << c.used;
        EXPECT_EQ(headless::Messages()[0].text,
                  std::string("Convertit horaires de marées -> Relevés horaires.\n\nFichier source : ") + c.used +
                      "\nFichier cible : sortie.txt\nFichier de Rapport : report.txt\n\nCommencer le traitement ?");
        EXPECT_EQ(OutputHeights().size(), 24u) << c.used;
    }
}

}  // namespace
