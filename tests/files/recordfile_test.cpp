#include <gtest/gtest.h>

#include <filesystem>

#include "base/log.h"
#include "base/text.h"
#include "files/recordfile.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using RecordFileTest = ProgramTest;

std::string ValueLines(const std::vector<std::string>& values, const char* eol = "\r\n")
{
    std::string text;
    for (const std::string& v : values)
        text += v + eol;
    return text;
}

// A record file as the program writes them: CR LF, a blank line after the days.
std::string RecordText(const std::string& port, const std::string& year, const std::string& days,
                       const std::vector<std::string>& values, const char* eol = "\r\n")
{
    return port + eol + year + eol + days + eol + eol + ValueLines(values, eol);
}

std::vector<std::string> Heights(int n, int first = 0)
{
    std::vector<std::string> values;
    for (int i = 0; i < n; ++i)
        values.push_back(std::to_string(first + i));
    return values;
}

TEST_F(RecordFileTest, RealRecordsLoadWithTheirPlainMeanAsMeanLevel)
{
    // Plain means from the records' README (mean of all values × 0.01).
    struct Case { const char* file; const char* port; int year; int days; double mean; };
    const Case cases[] = {
        {"VLISSINGEN2009.TXT", "Vlissingen\n", 2009, 365, 3.000652},
        {"VLISSINGEN2012.TXT", "Vlissingen\n", 2012, 366, 3.000240},
        {"HONOLULU2010.TXT", "Honolulu\n", 2010, 365, 1.418003},
    };
    for (const Case& c : cases) {
        RecordFilePath = RecordsDir() + "/" + c.file;
        LoadRecordFile();
        EXPECT_EQ(Header.PortName, c.port);
        EXPECT_EQ(Header.StartYear, c.year);
        EXPECT_EQ(Header.Time_of_debut, YearStartTime(c.year));
        EXPECT_EQ(RecordSeries.RecordDays, c.days);
        EXPECT_EQ(RecordSeries.RecordCount, 24 * c.days);
        EXPECT_NEAR(WaveSet.MeanLevel, c.mean, 1e-6) << c.file;
    }
    EXPECT_EQ(RecordSeries.RecordValues[0], 124);  // the first value line of the Honolulu file
    EXPECT_EQ(RecordSeries.RecordValues[8759], 141);  // its last
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(RecordFileTest, LineFeedsAloneReadLikeCrLfAndNoCrStaysInThePortName)
{
    WriteFile("crlf.txt", RecordText("Port-Tudy", "2004", "1", Heights(24)));
    WriteFile("lf.txt", RecordText("Port-Tudy", "2004", "1", Heights(24), "\n"));
    RecordFilePath = "crlf.txt";
    LoadRecordFile();
    const std::vector<std::int32_t> fromCrLf = RecordSeries.RecordValues;
    EXPECT_EQ(Header.PortName, "Port-Tudy\n");
    RecordFilePath = "lf.txt";
    LoadRecordFile();
    EXPECT_EQ(Header.PortName, "Port-Tudy\n");
    EXPECT_EQ(RecordSeries.RecordValues, fromCrLf);
    EXPECT_EQ(RecordSeries.RecordCount, 24);
    EXPECT_EQ(RecordSeries.RecordValues[23], 23);  // 23:00 on 1 January
    EXPECT_NEAR(WaveSet.MeanLevel, 0.115, 1e-12);
}

TEST_F(RecordFileTest, YearAndDaysFollowPercentIButValuesAreDecimal)
{
    std::vector<std::string> values = Heights(16 * 24, -40);
    values[0] = "010";
    WriteFile("PORT.TXT", RecordText("Brest", "0x7D9", "020", values));
    LoadRecordFile();
    EXPECT_EQ(Header.StartYear, 2009);
    EXPECT_EQ(RecordSeries.RecordDays, 16);
    EXPECT_EQ(RecordSeries.RecordValues[0], 10);
    EXPECT_EQ(RecordSeries.RecordValues[1], -39);
}

TEST_F(RecordFileTest, ALongPortLineIsCutAt99CharactersAndTheYearIsLookedForInTheRest)
{
    WriteFile("PORT.TXT", std::string(99, 'A') + "2004\r\n1\r\n\r\n" + ValueLines(Heights(24)));
    LoadRecordFile();
    EXPECT_EQ(Header.PortName, std::string(99, 'A'));
    EXPECT_EQ(Header.StartYear, 2004);
    EXPECT_EQ(RecordSeries.RecordDays, 1);
}

TEST_F(RecordFileTest, APortLineInWindows1252IsTakenAsSuch)
{
    WriteFile("PORT.TXT", RecordText("Saint-Val\xE9ry", "2004", "1", Heights(24)));
    LoadRecordFile();
    EXPECT_EQ(Header.PortName, "Saint-Valéry\n");
}

TEST_F(RecordFileTest, ADayCountOfZeroGivesAnEmptySeriesAndKeepsTheMeanLevel)
{
    WaveSet.MeanLevel = 4.25;
    WriteFile("PORT.TXT", RecordText("Brest", "2004", "0", {}));
    LoadRecordFile();
    EXPECT_EQ(RecordSeries.RecordCount, 0);
    EXPECT_EQ(RecordSeries.RecordValues.size(), 1u);
    EXPECT_EQ(WaveSet.MeanLevel, 4.25);
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(RecordFileTest, AFileThatIsNotARecordIsRefusedAndChangesNothing)
{
    WriteFile("good.txt", RecordText("Brest", "2004", "1", Heights(24, 100)));
    RecordFilePath = "good.txt";
    LoadRecordFile();
    const std::vector<std::int32_t> before = RecordSeries.RecordValues;
    const double meanBefore = WaveSet.MeanLevel;
    const struct { const char* year; const char* days; const char* why; } cases[] = {
        {"deux mille", "1", "l'année (ligne 2) n'est pas un nombre"},
        {"2004", "un", "le nombre de jours (ligne 3) n'est pas un nombre"},
        {"2004", "-5", "le nombre de jours (-5) n'est pas compris entre 0 et 36525"},
        {"2004", "36526", "le nombre de jours (36526) n'est pas compris entre 0 et 36525"},
        {"2004", "99999999999999999999999", "n'est pas compris entre 0 et 36525"},
        {"2004", "0x100000000", "n'est pas compris entre 0 et 36525"},  // × 24 would overflow 32 bits
    };
    for (const auto& c : cases) {
        headless::Reset();
        WriteFile("bad.txt", RecordText("Ailleurs", c.year, c.days, Heights(24)));
        RecordFilePath = "bad.txt";
        LoadRecordFile();
        ASSERT_EQ(headless::Messages().size(), 1u) << c.why;
        EXPECT_NE(headless::Messages()[0].text.find(c.why), std::string::npos) << headless::Messages()[0].text;
        EXPECT_NE(headless::Messages()[0].text.find("bad.txt"), std::string::npos);
        EXPECT_EQ(RecordSeries.RecordValues, before);
        EXPECT_EQ(Header.PortName, "Brest\n");
        EXPECT_EQ(Header.StartYear, 2004);
        EXPECT_EQ(WaveSet.MeanLevel, meanBefore);
    }
}

TEST_F(RecordFileTest, AShortFileKeepsWhatWasReadAndFillsTheRestWithTheirMean)
{
    std::vector<std::string> values = Heights(20, 100);  // 100 … 119, mean 109.5
    values.push_back("pas un nombre");
    values.push_back("500");  // after the unreadable line: not taken
    WriteFile("PORT.TXT", RecordText("Brest", "2004", "1", values));
    LoadRecordFile();
    ASSERT_EQ(RecordSeries.RecordCount, 24);
    EXPECT_EQ(RecordSeries.RecordValues[19], 119);
    for (int i = 20; i < 24; ++i)
        EXPECT_EQ(RecordSeries.RecordValues[i], 110) << i;
    EXPECT_EQ(RecordSeries.RecordValues[24], 110);
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].caption, "Relevé horaire incomplet");
    EXPECT_NE(headless::Messages()[0].text.find("seules les 20 premières"), std::string::npos);
    EXPECT_NE(headless::Messages()[0].text.find("Les 4 valeurs manquantes"), std::string::npos);
}

TEST_F(RecordFileTest, AMissingFileGivesTheDefaultSeriesSilently)
{
    Header.StartYear = 2010;
    WaveSet.MeanLevel = 2.5;
    RecordFilePath = "absent.txt";
    LoadRecordFile();
    EXPECT_EQ(RecordSeries.RecordDays, 365);
    EXPECT_EQ(RecordSeries.RecordCount, 8760);
    EXPECT_EQ(RecordSeries.RecordValues, std::vector<std::int32_t>(8761, 0));
    EXPECT_EQ(Header.Time_of_debut, YearStartTime(2010));
    EXPECT_EQ(Header.PortName, "Brest");
    EXPECT_EQ(WaveSet.MeanLevel, 2.5);
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(RecordFileTest, ImportLogsTheTimeOriginWhetherConfirmedOrCancelled)
{
    OpenLog();
    const std::string welcome = LogContents();
    WriteFile("annee.txt", RecordText("Brest", "2009", "3", Heights(72)));

    headless::QueueFileChoice(std::nullopt);
    ImportRecordFile();
    EXPECT_EQ(RecordFilePath, "PORT.TXT");
    EXPECT_EQ(headless::RepaintCount(), 1);
    EXPECT_EQ(LogContents(), welcome + "\nImportation d'un fichier de valeurs\nTime_of_debut = 0\n\n");

    headless::QueueFileChoice(workDir + "/annee.txt");
    ImportRecordFile();
    EXPECT_EQ(RecordFilePath, workDir + "/annee.txt");
    EXPECT_EQ(RecordSeries.RecordDays, 3);
    EXPECT_EQ(headless::RepaintCount(), 2);
    EXPECT_EQ(LogContents(), welcome + "\nImportation d'un fichier de valeurs\nTime_of_debut = 0\n\n"
                                       "\nImportation d'un fichier de valeurs\nTime_of_debut = 1230764400\n\n");
    const headless::FileDialogRecord& dialog = headless::FileDialogs()[0];
    EXPECT_EQ(dialog.options.title, "Importer un fichier de relevé horaires");
    EXPECT_EQ(dialog.options.filterName, "Fichier de relevé horaires");
    EXPECT_EQ(dialog.options.filterPattern, "*.TXT");
    EXPECT_TRUE(dialog.options.fileMustExist);
    EXPECT_TRUE(dialog.options.defaultExtension.empty());
}

TEST_F(RecordFileTest, AFileRemovedBeforeItIsReadLeavesTheDefaultSeriesAndTheMeanLevel)
{
    WriteFile("annee.txt", RecordText("Brest", "2009", "3", Heights(72, 200)));
    RecordFilePath = "annee.txt";
    LoadRecordFile();
    const double mean = WaveSet.MeanLevel;
    std::filesystem::remove("annee.txt");
    headless::QueueFileChoice("annee.txt");
    ImportRecordFile();
    EXPECT_EQ(RecordSeries.RecordDays, 365);
    EXPECT_EQ(RecordSeries.RecordValues[100], 0);
    EXPECT_EQ(Header.Time_of_debut, YearStartTime(2009));
    EXPECT_EQ(WaveSet.MeanLevel, mean);
}

}  // namespace
