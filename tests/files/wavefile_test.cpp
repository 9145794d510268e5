#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "base/calendar.h"
#include "base/log.h"
#include "base/text.h"
#include "files/wavefile.h"
#include "model/port.h"
#include "model/record.h"
#include "model/units.h"
#include "platform/headless/headless.h"
#include "tests/support/full_disk.h"
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

// Saves, reads the file back into an emptied header and wave set, and saves
// again: the bytes must not move. Returns them.
std::string SavedAndReadBack()
{
    SaveWaveFile();
    const std::string saved = ReadFile("PORT.TID");
    Header = FileHeaderValues{};
    WaveSet = WaveTable{};
    EXPECT_TRUE(ReadWaveFile(saved));
    SaveWaveFile();
    EXPECT_EQ(ReadFile("PORT.TID"), saved);
    return saved;
}

TEST_F(WaveFileTest, SavedBytesAreWindows1252WithCrLfAndSixDecimalsAndReadBackSaveIdentically)
{
    Header.PortName = "Île-Tudy\n";
    Header.StartYear = 2009;
    WaveSet.MeanLevel = 6.02;
    AppendWave(WaveOf(12.4206012, 1.5, -0.25, "M2 : Onde Lunaire semi-diurne. 12h25m28s"));
    AppendWave(WaveOf(12, 1.0 / 3, 3.14159265, "  Onde; avec ; points-virgules é"));
    // 12.4206012 h is 44714.16432 s; "%Lf" gives six decimals.
    EXPECT_EQ(SavedAndReadBack(), "\xCEle-Tudy\r\n2009\r\nspeed;ampl;etab;name\r\n0.0;6.020000;0.0;Niveau Moyen\r\n"
                                  "44714.164320;1.500000;-0.250000;M2 : Onde Lunaire semi-diurne. 12h25m28s\r\n"
                                  "43200.000000;0.333333;3.141593;  Onde; avec ; points-virgules \xE9\r\n");
    EXPECT_EQ(NewLog(), "\nEnregistrement.\n\n\nEnregistrement.\n\n");
}

TEST_F(WaveFileTest, EveryKindOfLineEndAndALeadingByteOrderMarkReadAlikeAndWithoutMeanLineTheMeanStays)
{
    WaveSet.MeanLevel = 1.75;
    const std::string lf = "Concarneau\n2004\nspeed;ampl;etab;name\n44714.16;1.2;0.5;M2\n43200;0.4;1.5;S2";
    ASSERT_TRUE(ReadWaveFile(lf));
    const std::string fromLf = WaveFileText();
    std::string cr = lf;
    std::replace(cr.begin(), cr.end(), '\n', '\r');
    for (const std::string& variant : {WithCrLf(lf) + "\r", cr, "\xEF\xBB\xBF" + WithCrLf(lf)}) {
        ASSERT_TRUE(ReadWaveFile(variant));
        EXPECT_EQ(WaveFileText(), fromLf) << variant;
    }
    EXPECT_EQ(Header.PortName, "Concarneau\n");
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[1].name, "S2");
    EXPECT_EQ(WaveSet.MeanLevel, 1.75);
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(WaveFileTest, TheFileReplacesEveryWaveSkipsPeriodZeroCutsLongNamesAndNamesTheLinesLeftOut)
{
    for (int i = 0; i < 5; ++i)
        AppendWave(WaveOf(10 + i, 1, 0, "old"));
    WaveSet.MeanLevel = 2.5;
    ASSERT_TRUE(ReadWaveFile(std::string("P\n2004\nh\n0.0;nan;0.0;Niveau Moyen\n"
                                         "0.0;9;9;pseudo\n"
                                         "43200;0.5;0.25;" + std::string(150, 'n') + "\n"
                                         "pas une onde\n"
                                         "44714;0.1;;nombre manquant\n"
                                         "1e5;0.1;-1;  espaces en t\xEAte\n"  // Windows-1252 on disk
                                         "44714;inf;0;infinie\n"
                                         "-nan;1;0;sans p\xE9riode\n"
                                         "44714;1;1e400;au-del\xE0 des doubles\n"
                                         "1e-320;1;0;sans vitesse\n"
                                         "44714;1e308;0;immense mais finie\n")));  // the chart holds its pixels
    ASSERT_EQ(WaveSet.count, 3);
    EXPECT_EQ(WaveSet.waves[2].ampl, 1e308);
    EXPECT_EQ(WaveSet.waves[0].name, std::string(99, 'n'));
    EXPECT_DOUBLE_EQ(WaveSet.waves[0].speed, TWO_PI / 43200);
    EXPECT_EQ(WaveSet.waves[1].name, "  espaces en tête");
    EXPECT_DOUBLE_EQ(WaveSet.waves[1].speed, TWO_PI / 1e5);
    EXPECT_EQ(WaveSet.MeanLevel, 2.5);
    const std::string finite = "la période, l'amplitude et l'établissement doivent être des nombres finis";
    EXPECT_EQ(OnlyMessage().text,
              "Fichier d'ondes « PORT.TID » :\n7 ligne(s) illisible(s) du fichier ont été ignorées :\n"
              " - ligne 4, « 0.0;nan;0.0;Niveau Moyen » : le niveau moyen doit être un nombre fini ; celui en "
              "mémoire est gardé\n"
              " - ligne 7, « pas une onde » : une onde s'écrit période;amplitude;établissement;nom\n"
              " - ligne 8, « 44714;0.1;;nombre manquant » : une onde s'écrit période;amplitude;établissement;nom\n"
              " - ligne 10, « 44714;inf;0;infinie » : " + finite + "\n"
              " - ligne 11, « -nan;1;0;sans période » : " + finite + "\n"
              " - ligne 12, « 44714;1;1e400;au-delà des doubles » : " + finite + "\n"
              " - ligne 13, « 1e-320;1;0;sans vitesse » : la période est trop proche de zéro pour donner une vitesse\n");
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

TEST_F(WaveFileTest, AFileWithoutAYearOrWithTooLongAPortLineIsRefusedAndChangesNothing)
{
    AppendWave(WaveOf(12, 1, 0, "M2"));
    const std::string before = WaveFileText();
    const std::string rest = std::string("h\n") + MEAN_LINE + "43200;1;1;S2\n";
    const struct { std::string file; std::string why; } cases[] = {
        {"Autre port\nan deux mille\n" + rest, "sa ligne 2, « an deux mille », devrait donner l'année"},
        {"Autre port\n\n\n" + rest, "sa ligne 4, « h », devrait donner l'année"},
        {std::string(100, 'p') + "\r\n2004\r\n" + rest, "sa ligne 1, le nom du port, dépasse 99 caractères"},
    };
    for (const auto& c : cases) {
        headless::Reset();
        EXPECT_FALSE(ReadWaveFile(c.file));
        EXPECT_EQ(WaveFileText(), before);
        EXPECT_NE(OnlyMessage().text.find("« PORT.TID » n'a pas été chargé :\n" + c.why), std::string::npos)
            << OnlyMessage().text;
    }
    EXPECT_TRUE(ReadWaveFile(std::string(99, 'p') + "\n2004\n" + rest)) << "99 characters fit";
    EXPECT_EQ(Header.PortName, std::string(99, 'p') + "\n");

    headless::Reset();
    WriteFile("gros.TID", "P\n2004\n");
    std::filesystem::resize_file("gros.TID", MAX_WAVE_FILE_BYTES + 1);
    headless::QueueFileChoice("gros.TID");
    OpenWaveFile();
    EXPECT_NE(OnlyMessage().text.find("« gros.TID » n'a pas été chargé :\nil dépasse 1 Mo"), std::string::npos);
}

TEST_F(WaveFileTest, SavingThenReadingBackGivesTheNamesAndEveryPeriodBack)
{
    Header.PortName = std::string("Port\0nul\n", 9);
    const std::vector<Wave> waves = {
        WaveOf(12, 1, 0, std::string("M2\0apr\xC3\xA8s un nul", 17)),
        Wave{TWO_PI / 4e-7, 0.5, 1, "400 ns: written 0.000000 once, and lost"},
        Wave{1e28, 0.25, 2, "a period of 0 h typed in the edit dialog"},
        Wave{TWO_PI / 1e12, 0.125, 3, "1e12 s: 2 pi / speed drifts in the sixth decimal"},
        Wave{-TWO_PI / 3600, 2, -1, "negative"},
    };
    for (const Wave& w : waves)
        AppendWave(w);
    SavedAndReadBack();
    EXPECT_EQ(Header.PortName, std::string("Port\0nul\n", 9));
    ASSERT_EQ(WaveSet.count, 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(WaveSet.waves[i].name, waves[static_cast<std::size_t>(i)].name);
        // Twelve significant digits at least.
        EXPECT_NEAR(WaveSet.waves[i].speed / waves[static_cast<std::size_t>(i)].speed, 1, 1e-11) << i;
    }
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(WaveFileTest, WhatTheFormatCannotHoldIsReplacedAndTheUserTold)
{
    AppendWave(WaveOf(12, 1, 0, "vers \xE2\x86\x92 le nord"));  // an arrow: no Windows-1252 code
    AppendWave(WaveOf(12, 1, 0, "M2"));
    AppendWave(WaveOf(12, 1, 0, "deux\rlignes\n"));  // typed in a dialog: the line would end there
    SaveWaveFile();
    WaveSet = WaveTable{};
    ASSERT_TRUE(ReadWaveFile(ReadFile("PORT.TID")));
    EXPECT_EQ(WaveSet.waves[0].name, "vers ? le nord");
    EXPECT_EQ(WaveSet.waves[2].name, "deux lignes ");
    EXPECT_EQ(OnlyMessage().caption, "Enregistrement");
    EXPECT_NE(OnlyMessage().text.find("dans ces désignations :\n - l'onde 0 : vers → le nord\n - l'onde 2 : deux"),
              std::string::npos)
        << OnlyMessage().text;
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

// Whether the save fails at once or half-way the file is left as it was, and
// no temporary file stays (failures at other points: tests/base/savefile_test).
TEST_F(WaveFileTest, SaveAsAddsTheExtensionAndASaveThatFailsLeavesThePreviousFileWhole)
{
    headless::QueueFileChoice(std::nullopt);
    SaveWaveFileAs();
    EXPECT_FALSE(std::filesystem::exists("PORT.TID"));
    headless::QueueFileChoice("copie");
    SaveWaveFileAs();
    const std::string previous = ReadFile("copie.TID");
    EXPECT_EQ(previous.substr(0, 7), "Brest\r\n");
    EXPECT_FALSE(headless::FileDialogs()[1].options.fileMustExist);
    WaveFilePath = "no/such/folder/x.TID";
    SaveWaveFile();
    EXPECT_EQ(OnlyMessage().text, "Erreur enregistrement\n\nLe fichier d'ondes « no/such/folder/x.TID » n'a pas pu "
                                  "être écrit : le dossier n'existe pas.\nIl est resté tel qu'il était.");
    EXPECT_EQ(OnlyMessage().caption, "ERROR");
    headless::Reset();
    WaveFilePath = "copie.TID";
    for (int i = 0; i < 20; ++i)
        AppendWave(WaveOf(10 + i, 1, 0, "onde"));
    SetDiskFullAfterBytes(400);  // of about 800
    SaveWaveFile();
    EXPECT_EQ(ReadFile("copie.TID"), previous);
    EXPECT_NE(OnlyMessage().text.find("« copie.TID » n'a pas pu être écrit : le disque est plein."), std::string::npos);
    EXPECT_EQ(NewLog(), "\nEnregistrement.\n\n");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Haliome.log", "copie.TID"}));
}

}  // namespace
