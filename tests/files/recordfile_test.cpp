#include <gtest/gtest.h>

#include <filesystem>

#include "base/calendar.h"
#include "base/log.h"
#include "base/text.h"
#include "files/recordfile.h"
#include "model/port.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using RecordFileTest = ProgramTest;

// Value lines first, first + 1, …
std::string Heights(int count, int first = 0, const char* eol = "\r\n")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(first + i) + eol;
    return text;
}

// A record file as the program writes them: a blank line after the days.
std::string RecordText(const std::string& port, const std::string& year, const std::string& days,
                       const std::string& heights, const char* eol = "\r\n")
{
    return port + eol + year + eol + days + eol + eol + heights;
}

const headless::MessageRecord& OnlyMessage()
{
    EXPECT_EQ(headless::Messages().size(), 1u);
    return headless::Messages().at(0);
}

TEST_F(RecordFileTest, RealRecordsLoadWithTheirPlainMeanAsMeanLevel)
{
    // Plain means from the records' README (mean of all values × 0.01).
    const struct { const char* file; int year; int days; double mean; } cases[] = {
        {"VLISSINGEN2009.TXT", 2009, 365, 3.000652},
        {"VLISSINGEN2012.TXT", 2012, 366, 3.000240},
        {"HONOLULU2010.TXT", 2010, 365, 1.418003},
    };
    for (const auto& c : cases) {
        RecordFilePath = RecordsDir() + "/" + c.file;
        LoadRecordFile();
        EXPECT_EQ(Header.StartYear, c.year) << c.file;
        EXPECT_EQ(RecordSeries.RecordDays, c.days) << c.file;
        EXPECT_NEAR(WaveSet.MeanLevel, c.mean, 1e-6) << c.file;
    }
    EXPECT_EQ(Header.PortName, "Honolulu\n");
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(RecordFileTest, EveryKindOfLineEndAndALeadingByteOrderMarkReadAlike)
{
    for (const char* eol : {"\r\n", "\n", "\r"})
        for (const char* start : {"", "\xEF\xBB\xBF"}) {
            WriteFile("PORT.TXT", start + RecordText("Saint-Val\xE9ry", "2004", "1", Heights(24, 0, eol), eol));
            LoadRecordFile();
            EXPECT_EQ(Header.PortName, "Saint-Valéry\n");
            ASSERT_EQ(RecordSeries.RecordCount, 24);
            EXPECT_EQ(RecordSeries.RecordValues[23], 23);  // 23:00 on 1 January
            EXPECT_NEAR(WaveSet.MeanLevel, 0.115, 1e-12);  // (0 + … + 23) / 24 cm
        }
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(RecordFileTest, YearAndDaysFollowPercentIButValuesAreDecimal)
{
    WriteFile("PORT.TXT", RecordText("Brest", "0x7D9", "020", "010\r\n" + Heights(16 * 24 - 1, -39)));
    LoadRecordFile();
    EXPECT_EQ(Header.StartYear, 2009);
    EXPECT_EQ(RecordSeries.RecordDays, 16);  // octal
    EXPECT_EQ(RecordSeries.RecordValues[0], 10);
    EXPECT_EQ(RecordSeries.RecordValues[1], -39);
}

TEST_F(RecordFileTest, AFileThatIsNotARecordIsRefusedAndChangesNothing)
{
    RecordFilePath = "bad.txt";
    WriteFile("bad.txt", RecordText("Brest", "2004", "1", Heights(24, 100)));
    LoadRecordFile();
    const std::vector<std::int32_t> before = RecordSeries.RecordValues;
    const double meanBefore = WaveSet.MeanLevel;
    const std::string ailleurs = "Ailleurs";
    const struct { std::string port; const char* year; const char* days; const char* why; bool huge = false; } cases[] = {
        {ailleurs, "deux mille", "1", "l'année (ligne 2) n'est pas un nombre"},
        {ailleurs, "2004", "un", "le nombre de jours (ligne 3) n'est pas un nombre"},
        {ailleurs, "2004", "-1", "le nombre de jours (-1) n'est pas compris entre 0 et 36525"},
        {ailleurs, "2004", "36526", "le nombre de jours (36526) n'est pas compris entre 0 et 36525"},
        {ailleurs, "2004", "99999999999999999999999", "n'est pas compris entre 0 et 36525"},
        {ailleurs, "2004", "0x100000000", "n'est pas compris entre 0 et 36525"},  // × 24 would overflow 32 bits
        {std::string(100, 'p'), "2004", "1", "sa ligne 1, le nom du port, dépasse 99 caractères"},
        {"Brest", "2004", "1", "« bad.txt » n'a pas été chargé :\nil dépasse 32 Mo", true},  // more than a century
    };
    for (const auto& c : cases) {
        headless::Reset();
        WriteFile("bad.txt", RecordText(c.port, c.year, c.days, Heights(24)));
        if (c.huge)  // zeros, without writing them
            std::filesystem::resize_file("bad.txt", MAX_RECORD_FILE_BYTES + 1);
        LoadRecordFile();
        const std::string text = OnlyMessage().text;
        EXPECT_NE(text.find(c.why), std::string::npos) << "year " << c.year << ", days " << c.days << ": " << text;
        EXPECT_NE(text.find("bad.txt"), std::string::npos) << text;
        EXPECT_EQ(RecordSeries.RecordValues, before) << "days " << c.days;
        EXPECT_EQ(Header.PortName, "Brest\n") << "days " << c.days;
        EXPECT_EQ(WaveSet.MeanLevel, meanBefore) << "days " << c.days;
    }
}

// A "-" alone on its line is an hour that was not measured; the lowest
// int32, which marks such an hour in memory, is no height and ends the
// reading like any unreadable line, and the message says where. The hours
// not read stay missing rather than take heights that would pull the mean
// level and the fits.
TEST_F(RecordFileTest, DashesAreMissingHoursAndTheHoursAfterAShortFileStayMissing)
{
    struct Case { const char* what; std::string heights; int read; std::string where; };
    const Case cases[] = {
        {"a dash, then an unreadable line", "-\r\n" + Heights(18, 101) + "pas un nombre\r\n500\r\n", 19,
         "la ligne 24, « pas un nombre », n'est ni une hauteur en centimètres, un nombre entier entre "
         "-2147483647 et 2147483647, ni « - »"},
        {"-2147483648 as a height", "-\r\n" + Heights(18, 101) + "-2147483648\r\n500\r\n", 19,
         "la ligne 24, « -2147483648 », n'est ni"},
        {"a dash with more on its line", "-\r\n" + Heights(18, 101) + "- 5\r\n", 19, "la ligne 24, « - 5 »"},
        {"a file cut short", "-\r\n" + Heights(18, 101), 19, "le fichier s'arrête à la ligne 23"},
    };
    for (const Case& c : cases) {
        headless::Reset();
        WriteFile("PORT.TXT", RecordText("Brest", "2004", "1", c.heights));
        LoadRecordFile();
        ASSERT_EQ(RecordSeries.RecordCount, 24) << c.what;
        EXPECT_EQ(RecordSeries.RecordValues[0], MISSING_HEIGHT_CM) << c.what;
        EXPECT_EQ(RecordSeries.RecordValues[18], 118) << c.what;
        for (int i = c.read; i < 24; ++i)
            EXPECT_EQ(RecordSeries.RecordValues[i], MISSING_HEIGHT_CM) << c.what << ", hour " << i;
        EXPECT_EQ(RecordSeries.MissingHours, 1 + 24 - c.read) << c.what;
        EXPECT_NEAR(WaveSet.MeanLevel, 1.095, 1e-12) << c.what << ": the mean of 101 … 118 cm";
        EXPECT_EQ(OnlyMessage().caption, "Relevé horaire incomplet") << c.what;
        EXPECT_NE(OnlyMessage().text.find(Format("seules les %i premières ont pu être lues : ", c.read) + c.where),
                  std::string::npos)
            << OnlyMessage().text;
        EXPECT_NE(OnlyMessage().text.find(Format("Les %i heures suivantes sont tenues pour manquantes", 24 - c.read)),
                  std::string::npos) << c.what;
    }
}

TEST_F(RecordFileTest, AMissingFileGivesTheDefaultSeriesSilently)
{
    Header.StartYear = 2010;
    WaveSet.MeanLevel = 2.5;
    RecordFilePath = "absent.txt";
    LoadRecordFile();
    EXPECT_EQ(RecordSeries.RecordDays, 365);
    EXPECT_EQ(RecordSeries.RecordValues, std::vector<std::int32_t>(365 * 24 + 1, 0));
    EXPECT_EQ(Header.Time_of_debut, YearStartTime(2010));
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
    headless::QueueFileChoice(workDir + "/annee.txt");
    ImportRecordFile();
    EXPECT_EQ(RecordSeries.RecordDays, 3);
    EXPECT_EQ(headless::RepaintCount(), 2);
    // 1230764400: 00:00 on 1 January 2009 in Paris.
    EXPECT_EQ(LogContents(), welcome + "\nImportation d'un fichier de valeurs\nTime_of_debut = 0\n\n"
                                       "\nImportation d'un fichier de valeurs\nTime_of_debut = 1230764400\n\n");
    EXPECT_EQ(headless::FileDialogs()[0].options.filterPattern, "*.TXT");
    EXPECT_TRUE(headless::FileDialogs()[0].options.fileMustExist);
}

}  // namespace
