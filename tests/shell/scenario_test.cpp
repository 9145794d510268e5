// The whole program on the headless backend, driven by scripts of user
// actions as the batch program runs them, on the example port.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "analysis/knownwaves.h"
#include "base/options.h"
#include "base/text.h"
#include "exports/perioddialog.h"
#include "model/modeloptions.h"
#include "model/record.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "shell/menu.h"
#include "shell/script.h"
#include "tests/support/full_disk.h"
#include "tests/support/program_test.h"
#include "tests/support/tide_reports.h"

namespace {

class ScenarioTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        std::filesystem::copy_file(ExamplePortRecord(), "PORT.TXT");
    }
    // Each run is a new start of the program, from the start values of all
    // state; when failAfterBytes is not negative, the disk is full after that
    // many bytes of each file.
    int Run(const std::string& script, std::int64_t failAfterBytes = -1)
    {
        ResetProgramState();
        SetDiskFullAfterBytes(failAfterBytes);
        std::ostringstream out, errors;
        int status = RunScript(script, out, errors);
        output = out.str();
        errorText = errors.str();
        return status;
    }
    // Runs the script, which must run through.
    bool RunsThrough(const std::string& script)
    {
        const int status = Run(script);
        EXPECT_EQ(status, 0) << errorText;
        return status == 0;
    }
    static std::string Log() { return WithoutCr(ReadFile("Haliome.log")); }
    std::string output, errorText;
};

// The blocks that the waves of the table from row first on leave in the log,
// checking that each is the catalogue wave of its row in order.
std::string BlocksFrom(int first, const int* order, int count)
{
    std::string blocks;
    for (int row = 0; row < count; ++row) {
        const Wave& w = WaveSet.waves[first + row];
        EXPECT_EQ(w.name, KnownWaves[order[row]].label) << "row " << row;
        blocks += Format("Détermination de l'onde %i :\n - Période : %.6f\n - Amplitude : %.6f\n"
                         " - Etablissement : %.6f\n%s\n",
                         row, 2 * M_PI / w.speed / 3600, w.ampl, w.etab, w.name.c_str());
    }
    return blocks;
}

TEST_F(ScenarioTest, AFreshStartWritesTheWelcomeThenTheFiveListedWavesInOrder)
{
    ASSERT_TRUE(RunsThrough(""));
    ASSERT_EQ(WaveSet.count, 5);
    EXPECT_EQ(Log(), "Bienvenue à Haliome (la marée d'un port, par l'équipe Haliome).\n\n" +
                         BlocksFrom(0, MenuWaveOrder, 5));
    EXPECT_EQ(output, "");  // no message box at start
}

TEST_F(ScenarioTest, AResetEmptiesTheWavesAndAChartCommandBringsTheYearBackAfterNavigation)
{
    ASSERT_TRUE(RunsThrough("command 518\ncommand 518\nsvg later.svg\ncommand 775\ncommand 514\n"));
    EXPECT_NE(ReadFile("later.svg").find("sam. 1 janv. 2011 00:00"), std::string::npos);  // 2 × 365 days on
    EXPECT_EQ(Options.YearOffset, 0);
    EXPECT_EQ(WaveSet.count, 0);
    EXPECT_NEAR(WaveSet.MeanLevel, 3.000652, 1e-6);
    EXPECT_NE(Log().find("K1 : Onde Sidérale diurne. 23h56m\n\n\nRéinitialisation\n\n"), std::string::npos);
    const std::vector<headless::DrawOp>& ops = headless::ClientArea();  // the flat prediction on the mean level
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(), [](const headless::DrawOp& op) {
                  return op.kind == headless::DrawOp::Kind::Line && op.color == Color{0, 0, 255} && op.y1 == 210;
              }),
              621);
}

TEST_F(ScenarioTest, OptionTogglesFlipTheirFlagAndTheirCheckMark)
{
    ASSERT_EQ(Run("command 1297\ncommand 1298\ncommand 1298\ncommand 1300\ncommand 1313\ncommand 1301\n"), 0);
    const std::vector<std::pair<int, bool>> flagsAndMarks = {
        {Model.NodalCorrections, headless::IsMenuChecked(CMD_NODAL_CORRECTIONS)},
        {Options.ShowTimeAxis, headless::IsMenuChecked(CMD_TIME_AXIS)},
        {Options.ShowHeightAxis, headless::IsMenuChecked(CMD_HEIGHT_AXIS)},
        {Options.ShowTimesOfTide, headless::IsMenuChecked(CMD_TIMES_OF_TIDE)},
        {Options.UseFourier, headless::IsMenuChecked(CMD_FOURIER)},
        {Options.VerboseFft, headless::IsMenuChecked(CMD_VERBOSE_FFT)},  // never marked
    };
    EXPECT_EQ(flagsAndMarks,
              (std::vector<std::pair<int, bool>>{{1, true}, {0, false}, {1, true}, {1, true}, {0, false}, {1, false}}));
}

// A year fitted with the shallow-water waves and saved; the file opened with
// the corrections on prints the tables of another year, and says so.
TEST_F(ScenarioTest, AYearFittedAndSavedPrintsAnotherYearsTablesWithTheCorrections)
{
    const std::string script = "command 801\ncommand 802\ncommand 260\nfile port2009\ncommand 775\n"
                               "command 1301\ncommand 258\nfile port2009.TID\n"
                               "command 528\ntype 102 2012\nselect 103 2\nclick 111\nprint 101\nclick 1\n";
    ASSERT_TRUE(RunsThrough(script));
    ASSERT_EQ(WaveSet.count, 5 + 37 + SHALLOW_WAVE_COUNT);
    EXPECT_EQ(WaveSet.waves[42].name, ShallowWaterWaves[0].label);
    EXPECT_NE(Log().find("Détermination de l'onde 13 :\n"), std::string::npos);
    const std::string last = "Corrections nodales : oui (ondes de 2009).\r\n\n---\n";
    ASSERT_GE(output.size(), last.size());
    EXPECT_EQ(output.substr(output.size() - last.size()), last) << output;
    EXPECT_NE(output.find("du mois de  mars 2012\r\n"), std::string::npos);
}

TEST_F(ScenarioTest, ASourceItemRunsTheCurrentTaskAgain)
{
    ASSERT_TRUE(RunsThrough("command 770\ncommand 1282\n"));
    ASSERT_EQ(WaveSet.count, 7);
    EXPECT_EQ(WaveSet.waves[6].name, "S2 : Onde Solaire semi-diurne. 12h");
    EXPECT_EQ(Options.SourceMode, 1);
    EXPECT_LT(WaveSet.waves[6].ampl, 0.01);  // what the two S2 before it left
}

// Nineteen years of Vlissingen from the menu: the known waves fitted on the
// whole span (M2 about 1.75 m), then the record and the waves saved.
TEST_F(ScenarioTest, AMultiYearGaugeFileIsImportedFittedAndSavedFromAScript)
{
    const std::string script = "command 263\nfile " + FormatsDir() + "/long-record/VLISSGN_obs19.txt\nclick 1\n"
                               "command 775\ncommand 801\ncommand 264\nfile releve\ncommand 260\nfile ondes\n";
    ASSERT_TRUE(RunsThrough(script));
    EXPECT_EQ(output, "");
    EXPECT_EQ(RecordSeries.RecordDays, 6940);
    ASSERT_EQ(WaveSet.count, 37);
    EXPECT_EQ(WaveSet.waves[0].name, KnownWaves[0].label);
    EXPECT_NEAR(WaveSet.waves[0].ampl, 1.75, 0.05);
    const std::string head = "Vlissingen\r\n1976\r\n6940\r\n\r\n122\r\n225\r\n";
    EXPECT_EQ(ReadFile("releve.TXT").substr(0, head.size()), head);
    EXPECT_EQ(ReadFile("ondes.TID").substr(0, 18), "Vlissingen\r\n1976\r\n");
    EXPECT_NE(Log().find("Relevé horaire : 6940 jours depuis le 1er janvier 1976 (heure locale normale), "
                         "dont 0 heure manquante.\nTime_of_debut = 189298800\n\n"),
              std::string::npos);
}

TEST_F(ScenarioTest, MessageBoxesArePrintedWithTheirAnswer)
{
    ASSERT_TRUE(RunsThrough("command 774\ncommand 784\nclick 102\nanswer Non\nclick 1\n"));
    EXPECT_EQ(output, "--- message \"Détermination du niveau moyen\" (OK)\nNiveau moyen : 3.000652 \n\n\n---\n"
                      "--- message \"Suppression d'une onde\" (Non)\nSupprimer cette onde ?\n---\n");
    EXPECT_EQ(WaveSet.count, 5);
    EXPECT_EQ(headless::Messages().at(0).owner, "main window");
}

// The first batch appends the catalogue after the listed waves, and logs it.
TEST_F(ScenarioTest, AllKnownWavesAppendsTheCatalogueUntilTheTableIsFullWhichIsSaidOncePerCommand)
{
    ASSERT_TRUE(RunsThrough("command 801\ncommand 801\ncommand 801\ncommand 800\n"));
    const std::string blocks = BlocksFrom(5, KnownWaveOrder, 37);
    EXPECT_NE(Log().find("K1 : Onde Sidérale diurne. 23h56m\n" + blocks), std::string::npos);
    EXPECT_EQ(WaveSet.count, WAVE_CAPACITY);  // 5 + 37 + 37, then 21 of the third batch
    EXPECT_EQ(WaveSet.waves[99].name, KnownWaves[KnownWaveOrder[20]].label);
    const std::vector<headless::MessageRecord>& boxes = headless::Messages();
    auto isRefusal = [](const headless::MessageRecord& box) { return box.caption == "Tableau des ondes plein"; };
    EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(), isRefusal), 2) << output;
}

TEST_F(ScenarioTest, TheBandDialogStillScansWhenCancelled)
{
    ASSERT_TRUE(RunsThrough("command 1029\nclose\n"));
    EXPECT_EQ(Options.PeriodMin, 11.8);
    EXPECT_EQ(Options.DisplayMode, 0);
    EXPECT_EQ(WaveSet.count, 6);  // the scan of 11.8 h to 13 h appended its wave
    EXPECT_EQ(headless::ScrollBarState(ScrollBar::Horizontal).max, 0);
}

// Escape during long work: a sweep or the FFT method appends nothing, all
// known waves keeps the waves already determined; the log says so, no box
// (after a close, not even the mean level's box of the next command).
TEST_F(ScenarioTest, LongWorkStoppedByEscapeAppendsNothingUnfinishedAndSaysSoInTheLog)
{
    struct Case { const char* script; int count; const char* logged; };
    const Case cases[] = {
        {"command 1028\nstop 2\n", 5, "\nBalayage de 3.000000 h à 50.000000 h interrompu : aucune onde ajoutée.\n\n"},
        // The close box: the sweep stops and the program ends after the command.
        {"command 1028\nstop 2 close\ncommand 774\n", 5, "interrompu : aucune onde ajoutée.\n\n"},
        {"command 801\nstop 3\n", 7, "Toutes ondes connues interrompu : 2 ondes sur 37 ajoutées.\n\n"},
        {"command 1040\nstop 1\n", 5, "Méthode FFT interrompue : aucune onde ajoutée.\n\n"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run(c.script), 0) << c.script << errorText;
        EXPECT_EQ(WaveSet.count, c.count) << c.script;
        EXPECT_TRUE(Log().ends_with(c.logged)) << c.script << Log().substr(Log().size() - 200);
        EXPECT_EQ(output, "") << c.script;
    }
    EXPECT_EQ(headless::LongWorks(), (std::vector<std::string>{"Méthode FFT"}));
}

TEST_F(ScenarioTest, AScriptThatDoesNotFitWhatTheProgramAsksFails)
{
    struct Case { const char* script; const char* error; };
    const Case cases[] = {
        {"command 774\nstop 1\n", "a stop queued for poll 1 was not reached (0 polls)"},
        {"command 784\nclick 102\nclick 1\n", "nothing in the script answers the Yes/No message box"},
        {"command 784\nclick 1\nanswer Oui\n", "1 queued message answer(s) not used"},
        {"command 784\n", "nothing in the script answers the dialog \"Gestionnaire d'ondes\""},
        {"commande 784\n", "line 1 is not understood: commande 784"},
        {"scroll x top\n", "line 1 is not understood"},
        {"command 774\nstop 0\n", "line 2 is not understood"},
        {"command 1028\nstop 1 later\n", "line 2 is not understood"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.script), 2) << c.script;
        EXPECT_NE(errorText.find(c.error), std::string::npos) << c.script << errorText;
    }
}

// The example of the README: a month of tide times, then the waves saved.
TEST_F(ScenarioTest, TheExampleScriptPrintsAMonthOfTideTimesAndSavesTheWaves)
{
    const std::string example = std::filesystem::path(ExamplePortRecord()).parent_path();
    ASSERT_TRUE(RunsThrough(ReadFile(example + "/tides.script")));
    EXPECT_EQ(output.rfind("--- control 101\nDétermination des horaires de marée du mois de  mars 2009\r\n"
                           "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\r\n",
                           0),
              0u)
        << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 3 + 31 + 2);  // title, header, 31 days
    EXPECT_EQ(ReadFile("vlissingen.TID").substr(0, 18), "Vlissingen\r\n2009\r\n");
}

// Fichier > Exporter: the month or year asked for, then the file.
TEST_F(ScenarioTest, TheTidesOfTheChosenMonthGoToTheChosenFiles)
{
    // The second dialog remembers March 2009.
    ASSERT_TRUE(RunsThrough("command 528\ntype 102 2009\nselect 103 2\nclick 111\nprint 101\nclick 1\n"
                            "command 270\ntype 102 2009\nselect 103 2\nclick 1\nfile mars\n"
                            "command 271\nclick 1\nfile mars.ics\n"));
    const std::vector<ReportTide> report = ReadPlainReport(output);
    const std::vector<CsvTide> rows = ReadTidesCsv(ReadFile("mars.csv"));
    ASSERT_EQ(rows.size(), report.size());
    EXPECT_EQ(rows.front().clock.tm_mday, 1);
    EXPECT_EQ(rows.back().clock.tm_mday, 31);
    const std::string ics = ReadFile("mars.ics");
    std::size_t events = 0;
    for (std::size_t at = 0; (at = ics.find("BEGIN:VEVENT", at)) != std::string::npos; ++at)
        ++events;
    EXPECT_EQ(events, report.size());
    EXPECT_NE(Log().find("Exportation des horaires de marées (03/2009) dans « mars.csv ».\n\n"
                         "Exportation du calendrier des marées (03/2009) dans « mars.ics »."),
              std::string::npos);
    const headless::FileDialogRecord& dialog = headless::FileDialogs().back();
    EXPECT_EQ(dialog.options.filterPattern, "*.ics");
    EXPECT_EQ(dialog.options.defaultExtension, "ics");
}

TEST_F(ScenarioTest, TheYearIsCheckedBeforeAnyFileIsAskedFor)
{
    ASSERT_TRUE(RunsThrough("command 272\ntype 102 deux mille\nclick 1\ntype 102 2009\nclick 1\nfile annuaire.pdf\n"
                            "command 270\nclick 2\n"));
    EXPECT_NE(output.find("--- message \"Période à exporter\" (OK)\nTapez l'année en chiffres"), std::string::npos)
        << output;
    EXPECT_EQ(ReadFile("annuaire.pdf").rfind("%PDF-", 0), 0u);
    EXPECT_EQ(headless::FileDialogs().size(), 1u);  // none after the cancelled period
    EXPECT_EQ(LastExportPeriod.month, WHOLE_YEAR);  // as at first
}

TEST_F(ScenarioTest, TheChartIsWrittenAsTheSvgOfWhatTheWindowShows)
{
    ASSERT_TRUE(RunsThrough("command 513\nsvg shown.svg\ncommand 274\nfile chart.svg\n"
                            "command 516\nsvg shown2.svg\ncommand 274\nfile chart2.SVG\n"));
    EXPECT_EQ(ReadFile("chart.svg"), ReadFile("shown.svg"));
    EXPECT_EQ(ReadFile("chart2.SVG"), ReadFile("shown2.svg"));
    EXPECT_NE(ReadFile("chart2.SVG").find("stroke=\"rgb(0,255,0)\""), std::string::npos);  // the recorded tide
}

TEST_F(ScenarioTest, WhatCannotBeWrittenIsSaidAndLogged)
{
    ASSERT_TRUE(RunsThrough("command 274\nfile chart.png\ncommand 274\nfile chart.gif\n"
                            "command 273\nfile no/folder/ondes.csv\n"));
    const std::vector<headless::MessageRecord>& boxes = headless::Messages();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_NE(boxes[0].text.find("sans fenêtre, le graphique s'enregistre en SVG seulement"), std::string::npos);
    EXPECT_NE(boxes[1].text.find("l'extension .png ou .svg"), std::string::npos);
    EXPECT_EQ(boxes[2].text, "Le fichier « no/folder/ondes.csv » n'a pas pu être écrit :\nle dossier n'existe pas.");
    EXPECT_NE(Log().find("Exportation : le fichier « no/folder/ondes.csv » n'a pas pu être écrit (le dossier n'existe "
                         "pas)."),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("chart.png") || std::filesystem::exists("chart.gif"));

    // On a full disk the files written before stay whole, and the batch
    // program's exit status says that a picture was not written.
    WriteFile("ondes.csv", "ancien\n");
    WriteFile("chart.svg", "ancien\n");
    ASSERT_EQ(Run("command 273\nfile ondes.csv\nsvg chart.svg\n", 10), 1) << errorText;
    EXPECT_EQ(headless::Messages().back().text, "Le fichier « ondes.csv » n'a pas pu être écrit :\nle disque est plein.");
    EXPECT_EQ(errorText, "haliome-batch: cannot write chart.svg (le disque est plein)\n");
    EXPECT_EQ(ReadFile("ondes.csv") + ReadFile("chart.svg"), "ancien\nancien\n");
}

}  // namespace
