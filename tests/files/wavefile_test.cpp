#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "base/localtime.h"
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

const char* const MEAN_LINE = "0.0;1.0;0.0;Niveau Moyen\n";

const headless::MessageRecord& OnlyMessage()
{
    EXPECT_EQ(headless::Messages().size(), 1u);
    return headless::Messages().at(0);
}

TEST_F(WaveFileTest, SavedBytesAreWindows1252WithCrLfAndSixDecimalsAndReadBackSaveIdentically)
{
    Header.PortName = "Île-Tudy\n";
    Header.StartYear = 2009;
    WaveSet.MeanLevel = 6.02;
    AppendWave(WaveOf(12.4206012, 1.5, -0.25, "M2 : Onde Lunaire semi-diurne. 12h25m28s"));
    AppendWave(WaveOf(12, 1.0 / 3, 3.14159265, "  Onde; avec ; points-virgules é"));
    SaveWaveFile();
    const std::string saved = ReadFile("PORT.TID");
    // 12.4206012 h is 44714.16432 s; "%Lf" gives six decimals.
    EXPECT_EQ(saved, "\xCEle-Tudy\r\n2009\r\nspeed;ampl;etab;name\r\n0.0;6.020000;0.0;Niveau Moyen\r\n"
                     "44714.164320;1.500000;-0.250000;M2 : Onde Lunaire semi-diurne. 12h25m28s\r\n"
                     "43200.000000;0.333333;3.141593;  Onde; avec ; points-virgules \xE9\r\n");
    EXPECT_EQ(NewLog(), "\nEnregistrement.\n\n");
    Header = FileHeaderValues{};
    WaveSet = WaveTable{};
    ASSERT_TRUE(ReadWaveFile(saved));
    SaveWaveFile();
    EXPECT_EQ(ReadFile("PORT.TID"), saved);
}

TEST_F(WaveFileTest, LineFeedsAloneReadLikeCrLfAndWithoutItsMeanLevelLineTheMeanLevelStays)
{
    WaveSet.MeanLevel = 1.75;
    const std::string lf = "Concarneau\n2004\nspeed;ampl;etab;name\n44714.16;1.2;0.5;M2\n43200;0.4;1.5;S2";
    ASSERT_TRUE(ReadWaveFile(lf));
    const std::string fromLf = WaveFileText();
    ASSERT_TRUE(ReadWaveFile(WithCrLf(lf) + "\r"));
    EXPECT_EQ(WaveFileText(), fromLf);
    EXPECT_EQ(Header.PortName, "Concarneau\n");
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[0].name, "M2");
    EXPECT_EQ(WaveSet.waves[1].name, "S2");
    EXPECT_EQ(WaveSet.MeanLevel, 1.75);
}

TEST_F(WaveFileTest, TheFileReplacesEveryWaveSkipsPeriodZeroCutsLongNamesAndReportsUnreadableLines)
{
    for (int i = 0; i < 5; ++i)
        AppendWave(WaveOf(10 + i, 1, 0, "old"));
    ASSERT_TRUE(ReadWaveFile(std::string("P\n2004\nh\n") + MEAN_LINE +
                             "0.0;9;9;pseudo\n"
                             "43200;0.5;0.25;" + std::string(150, 'n') + "\n"
                             "pas une onde\n"
                             "44714;0.1;;nombre manquant\n"
                             "1e5;0.1;-1;  espaces en t\xEAte\n"));  // Windows-1252 on disk
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[0].name, std::string(99, 'n'));
    EXPECT_DOUBLE_EQ(WaveSet.waves[0].speed, TWO_PI / 43200);
    EXPECT_EQ(WaveSet.waves[1].name, "  espaces en tête");
    EXPECT_DOUBLE_EQ(WaveSet.waves[1].speed, TWO_PI / 1e5);
    EXPECT_NE(OnlyMessage().text.find("2 ligne(s) illisible(s)"), std::string::npos) << OnlyMessage().text;
}

TEST_F(WaveFileTest, OnlyTheFirstHundredWavesAreLoadedAndTheUserIsTold)
{
    std::string text = std::string("P\n2004\nh\n") + MEAN_LINE;
    for (int i = 0; i < 103; ++i)
        text += std::to_string(40000 + i) + ";0.1;0.2;onde " + std::to_string(i) + "\n";
    ASSERT_TRUE(ReadWaveFile(text));
    EXPECT_EQ(WaveSet.count, WAVE_CAPACITY);
    EXPECT_EQ(WaveSet.waves[99].name, "onde 99");
    EXPECT_NE(OnlyMessage().text.find("Le fichier contient 103 ondes : seules les 100 premières"), std::string::npos);
}

TEST_F(WaveFileTest, AFileWhoseYearCannotBeReadIsRefusedAndChangesNothing)
{
    AppendWave(WaveOf(12, 1, 0, "M2"));
    const std::string before = WaveFileText();
    EXPECT_FALSE(ReadWaveFile(std::string("Autre port\nan deux mille\nh\n") + MEAN_LINE + "43200;1;1;S2\n"));
    EXPECT_EQ(WaveFileText(), before);
    EXPECT_NE(OnlyMessage().text.find("son année (ligne 2) n'est pas lisible"), std::string::npos);
}

TEST_F(WaveFileTest, OpeningReadsTheChosenFileButNotTheRecordAndAFileThatCannotBeReadIsReported)
{
    InstallRecordOf(3, 2.0, {});
    RecordSeries.Placeholder = true;  // as the default series: the file's year becomes the time origin
    WriteFile("model.tid", "Brest\r\n2004\r\nspeed;ampl;etab;name\r\n0.0;4.0;0.0;Niveau Moyen\r\n43200;1;1;S2\r\n");
    headless::QueueFileChoice(std::nullopt);
    OpenWaveFile();
    headless::QueueFileChoice("manquant.tid");
    OpenWaveFile();
    EXPECT_EQ(OnlyMessage().text, "Erreur pendant l'ouverture du fichier");
    EXPECT_EQ(OnlyMessage().caption, "ERROR");
    EXPECT_EQ(WaveSet.count, 0);
    headless::QueueFileChoice("model.tid");
    OpenWaveFile();
    EXPECT_EQ(Header.Time_of_debut, YearStartTime(2004));
    EXPECT_EQ(WaveSet.count, 1);
    EXPECT_EQ(RecordSeries.RecordValues[0], 200);
    EXPECT_EQ(NewLog(), "Ouverture d'un fichier de composantes d'ondes.\n\n");
    EXPECT_EQ(headless::RepaintCount(), 3);
    EXPECT_EQ(headless::FileDialogs()[0].options.filterPattern, "*.TID");
    EXPECT_TRUE(headless::FileDialogs()[0].options.fileMustExist);
}

// Waves fitted on 2009 predict the same heights at the same dates after the
// 2012 record is loaded (the waves are turned to its origin), and so does
// the 2009 wave file opened while the 2012 record is in memory (the file's
// waves are turned to the record's origin, which stays). The file keeps six
// decimals of each number: a few micrometres over three years.
TEST_F(WaveFileTest, AWaveSetOf2009PredictsTheSameHeightsAtTheSameDatesWithThe2012Record)
{
    LoadRealRecord("VLISSINGEN2009.TXT");
    FitWavesUpTo(5);
    WaveFilePath = "2009.TID";
    SaveWaveFile();
    const CalendarTime from = *YearStartTime(2012), to = *YearStartTime(2013);
    auto tide = [] (CalendarTime c) {
        return PredictHeight(static_cast<double>(c - Header.Time_of_debut), 0) - WaveSet.MeanLevel;
    };
    std::vector<double> fitted;
    for (CalendarTime c = from; c < to; c += 3 * 3600 + 60)
        fitted.push_back(tide(c));
    struct Step { const char* what; std::function<void()> act; double tolerance; };  // m
    const Step steps[] = {
        {"the 2012 record loaded", [] { LoadRealRecord("VLISSINGEN2012.TXT"); }, 1e-9},
        {"the 2009 wave file opened", [] { ASSERT_TRUE(ReadWaveFile(ReadFile("2009.TID"))); }, 2e-5},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(Header.StartYear, 2012) << step.what;
        EXPECT_EQ(Header.Time_of_debut, from) << step.what;
        std::size_t i = 0;
        for (CalendarTime c = from; c < to; c += 3 * 3600 + 60, ++i)
            ASSERT_NEAR(tide(c), fitted[i], step.tolerance) << step.what << ", calendar time " << c;
    }
    SaveWaveFile();
    EXPECT_EQ(ReadFile("2009.TID").substr(0, 18), "Vlissingen\r\n2012\r\n");
}

TEST_F(WaveFileTest, SaveAsAddsTheExtensionAndAFileThatCannotBeWrittenIsReported)
{
    headless::QueueFileChoice(std::nullopt);
    SaveWaveFileAs();
    EXPECT_FALSE(std::filesystem::exists("PORT.TID"));
    headless::QueueFileChoice("copie");
    SaveWaveFileAs();
    EXPECT_EQ(ReadFile("copie.TID").substr(0, 7), "Brest\r\n");
    EXPECT_FALSE(headless::FileDialogs()[1].options.fileMustExist);
    WaveFilePath = "no/such/folder/x.TID";
    SaveWaveFile();
    EXPECT_EQ(OnlyMessage().text, "Erreur enregistrement");
    EXPECT_EQ(OnlyMessage().caption, "ERROR");
    EXPECT_EQ(NewLog(), "\nEnregistrement.\n\n");
}

}  // namespace
