#include <gtest/gtest.h>

#include <cmath>

#include <filesystem>

#include "base/log.h"
#include "base/text.h"
#include "files/wavefile.h"
#include "model/record.h"
#include "model/units.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

class WaveFileTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        OpenLog();
        welcome = LogContents();
    }
    std::string NewLog() { return LogContents().substr(welcome.size()); }
    std::string welcome;
};

const char* const FILE_HEAD = "Brest\r\n1996\r\nspeed;ampl;etab;name\r\n0.0;6.020000;0.0;Niveau Moyen\r\n";

void SetTwoWaveModel()
{
    WaveSet.MeanLevel = 6.02;
    AppendWave(WaveOf(12.4206012, 1.5, -0.25, "M2 : Onde Lunaire semi-diurne. 12h25m28s"));
    AppendWave(WaveOf(12, 1.0 / 3, 3.14159265, "  Onde; avec ; points-virgules é"));
}

TEST_F(WaveFileTest, SavingWritesTheModelInWindows1252WithCrLf)
{
    SetTwoWaveModel();
    SaveWaveFile();
    EXPECT_EQ(ReadFile("PORT.TID"),
              std::string(FILE_HEAD) +
                  "44714.164320;1.500000;-0.250000;M2 : Onde Lunaire semi-diurne. 12h25m28s\r\n"
                  "43200.000000;0.333333;3.141593;  Onde; avec ; points-virgules \xE9\r\n");
    EXPECT_EQ(NewLog(), "\nEnregistrement.\n\n");
    EXPECT_EQ(headless::RepaintCount(), 0);
}

TEST_F(WaveFileTest, SavedReadAndSavedAgainIsByteIdentical)
{
    SetTwoWaveModel();
    Header.PortName = "Île-Tudy\n";
    Header.StartYear = 2009;
    SaveWaveFile();
    const std::string first = ReadFile("PORT.TID");
    WaveSet = WaveTable{};
    ASSERT_TRUE(ReadWaveFile(first));
    EXPECT_EQ(Header.PortName, "Île-Tudy\n");
    EXPECT_EQ(Header.StartYear, 2009);
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[1].name, "  Onde; avec ; points-virgules é");
    EXPECT_NEAR(2 * M_PI / WaveSet.waves[0].speed, 44714.164320, 1e-9);  // rounded to six decimals
    EXPECT_EQ(WaveSet.waves[1].ampl, 0.333333);
    EXPECT_EQ(WaveSet.MeanLevel, 6.02);
    SaveWaveFile();
    EXPECT_EQ(ReadFile("PORT.TID"), first);
}

TEST_F(WaveFileTest, LineFeedsAloneReadLikeCrLfAndNamesNeverKeepACr)
{
    const std::string lf = "Concarneau\n2004\nspeed;ampl;etab;name\n0.0;2.5;0.0;Niveau Moyen\n"
                           "44714.16;1.2;0.5;M2\n43200;0.4;1.5;S2";
    std::string crlf = WithCrLf(lf) + "\r";
    ASSERT_TRUE(ReadWaveFile(lf));
    const std::string fromLf = WaveFileText();
    ASSERT_TRUE(ReadWaveFile(crlf));
    EXPECT_EQ(WaveFileText(), fromLf);
    EXPECT_EQ(Header.PortName, "Concarneau\n");
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[0].name, "M2");
    EXPECT_EQ(WaveSet.waves[1].name, "S2");
    EXPECT_EQ(WaveSet.MeanLevel, 2.5);
}

TEST_F(WaveFileTest, PeriodZeroLinesAddNoWaveAndTheFileReplacesEveryWave)
{
    for (int i = 0; i < 5; ++i)
        AppendWave(WaveOf(10 + i, 1, 0, "old"));
    ASSERT_TRUE(ReadWaveFile("P\n2004\nh\n0.0;1.0;0.0;Niveau Moyen\n"
                             "0.0;9;9;pseudo\n"
                             "43200;0.5;0.25;\n"
                             "1e5;0.1;-1;  espaces en t\xEAte\n"));  // Windows-1252 on disk
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[0].name, "");
    EXPECT_DOUBLE_EQ(WaveSet.waves[0].speed, TWO_PI / 43200);
    EXPECT_EQ(WaveSet.waves[1].name, "  espaces en tête");
    EXPECT_DOUBLE_EQ(WaveSet.waves[1].speed, TWO_PI / 1e5);
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(WaveFileTest, AModelWithoutWavesIsFourLinesAndReadsBackWithItsMeanLevel)
{
    WaveSet.MeanLevel = 6.02;
    SaveWaveFile();
    EXPECT_EQ(ReadFile("PORT.TID"), FILE_HEAD);
    AppendWave(WaveOf(12, 1, 0));
    WaveSet.MeanLevel = 0;
    ASSERT_TRUE(ReadWaveFile(ReadFile("PORT.TID")));
    EXPECT_EQ(WaveSet.count, 0);
    EXPECT_EQ(WaveSet.MeanLevel, 6.02);
}

TEST_F(WaveFileTest, WithoutItsMeanLevelLineTheFileKeepsTheMeanLevelAndItsWaves)
{
    WaveSet.MeanLevel = 1.75;
    ASSERT_TRUE(ReadWaveFile("P\n2004\nspeed;ampl;etab;name\n44714.16;1.2;0.5;M2\n"));
    EXPECT_EQ(WaveSet.MeanLevel, 1.75);
    ASSERT_EQ(WaveSet.count, 1);
    EXPECT_EQ(WaveSet.waves[0].name, "M2");
}

TEST_F(WaveFileTest, OnlyTheFirstHundredWavesAreLoadedAndTheUserIsTold)
{
    std::string text = "P\n2004\nh\n0.0;1.0;0.0;Niveau Moyen\n";
    for (int i = 0; i < 103; ++i)
        text += std::to_string(40000 + i) + ";0.1;0.2;onde " + std::to_string(i) + "\n";
    ASSERT_TRUE(ReadWaveFile(text));
    EXPECT_EQ(WaveSet.count, WAVE_CAPACITY);
    EXPECT_EQ(WaveSet.waves[99].name, "onde 99");
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_NE(headless::Messages()[0].text.find("Le fichier contient 103 ondes : seules les 100 premières"),
              std::string::npos);
}

TEST_F(WaveFileTest, LongNamesAreCutAndUnreadableLinesSkippedAndReported)
{
    ASSERT_TRUE(ReadWaveFile("P\n2004\nh\n0.0;1.0;0.0;Niveau Moyen\n"
                             "43200;0.5;0.25;" + std::string(150, 'n') + "\n"
                             "pas une onde\n"
                             "44714;0.1;;nombre manquant\n"
                             "45000;0.3;0.1;suite\n"));
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[0].name, std::string(99, 'n'));
    EXPECT_EQ(WaveSet.waves[1].name, "suite");
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_NE(headless::Messages()[0].text.find("2 ligne(s) illisible(s)"), std::string::npos);
}

TEST_F(WaveFileTest, AFileWhoseYearCannotBeReadIsRefusedAndChangesNothing)
{
    SetTwoWaveModel();
    const std::string before = WaveFileText();
    EXPECT_FALSE(ReadWaveFile("Autre port\nan deux mille\nh\n0.0;1.0;0.0;Niveau Moyen\n43200;1;1;S2\n"));
    EXPECT_EQ(WaveFileText(), before);
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_NE(headless::Messages()[0].text.find("son année (ligne 2) n'est pas lisible"), std::string::npos);
    EXPECT_FALSE(ReadWaveFile(""));
}

TEST_F(WaveFileTest, OpeningAFileOfAnotherYearMovesTheTimeOriginButNotTheRecord)
{
    InstallRecordOf(3, 2.0, {});
    WriteFile("model.tid", "Brest\r\n2004\r\nspeed;ampl;etab;name\r\n0.0;4.0;0.0;Niveau Moyen\r\n43200;1;1;S2\r\n");
    headless::QueueFileChoice("model.tid");
    OpenWaveFile();
    EXPECT_EQ(WaveFilePath, "model.tid");
    EXPECT_EQ(Header.Time_of_debut, YearStartTime(2004));
    EXPECT_EQ(RecordSeries.RecordDays, 3);
    EXPECT_EQ(RecordSeries.RecordValues[0], 200);
    EXPECT_EQ(WaveSet.count, 1);
    EXPECT_EQ(NewLog(), "Ouverture d'un fichier de composantes d'ondes.\n\n");
    EXPECT_EQ(headless::RepaintCount(), 1);
    const headless::FileDialogRecord& dialog = headless::FileDialogs()[0];
    EXPECT_EQ(dialog.options.title, "Ouvrir un fichier d'ondes");
    EXPECT_EQ(dialog.options.filterPattern, "*.TID");
    EXPECT_TRUE(dialog.options.fileMustExist);
}

TEST_F(WaveFileTest, AFailedOpenKeepsTheModelButSavingThenWritesToThePathThatFailed)
{
    SetTwoWaveModel();
    headless::QueueFileChoice(std::nullopt);
    OpenWaveFile();
    EXPECT_EQ(headless::RepaintCount(), 1);
    EXPECT_EQ(WaveFilePath, "PORT.TID");

    headless::QueueFileChoice("manquant.tid");
    OpenWaveFile();
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].text, "Erreur pendant l'ouverture du fichier");
    EXPECT_EQ(headless::Messages()[0].caption, "ERROR");
    EXPECT_EQ(headless::Messages()[0].icon, MessageIcon::None);
    EXPECT_EQ(WaveSet.count, 2);
    EXPECT_EQ(headless::RepaintCount(), 2);
    EXPECT_EQ(NewLog(), "");
    SaveWaveFile();
    EXPECT_TRUE(std::filesystem::exists("manquant.tid"));
}

TEST_F(WaveFileTest, SaveAsAddsTheExtensionAndAFileThatCannotBeWrittenIsReported)
{
    headless::QueueFileChoice(std::nullopt);
    SaveWaveFileAs();
    EXPECT_FALSE(std::filesystem::exists("PORT.TID"));
    EXPECT_EQ(NewLog(), "");

    headless::QueueFileChoice("copie");
    SaveWaveFileAs();
    EXPECT_EQ(WaveFilePath, "copie.TID");
    EXPECT_EQ(ReadFile("copie.TID").substr(0, 7), "Brest\r\n");
    EXPECT_EQ(headless::FileDialogs()[1].options.title, "Enregistrer un fichier d'ondes");
    EXPECT_FALSE(headless::FileDialogs()[1].options.fileMustExist);

    WaveFilePath = "no/such/folder/x.TID";
    SaveWaveFile();
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].text, "Erreur enregistrement");
    EXPECT_EQ(headless::Messages()[0].caption, "ERROR");
    EXPECT_EQ(NewLog(), "\nEnregistrement.\n\n");
}

}  // namespace
