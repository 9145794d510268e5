// The whole program on the headless backend, driven by scripts of user
// actions as the batch program runs them, on the example port.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "analysis/knownwaves.h"
#include "base/options.h"
#include "base/text.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "shell/menu.h"
#include "shell/script.h"
#include "tests/support/program_test.h"

namespace {

class ScenarioTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        std::filesystem::copy_file(ExamplePortRecord(), "PORT.TXT");
    }
    // Each run is a new start of the program, from the start values of all state.
    int Run(const std::string& script)
    {
        ResetProgramState();
        std::ostringstream out, errors;
        int status = RunScript(script, out, errors);
        output = out.str();
        errorText = errors.str();
        return status;
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
    ASSERT_EQ(Run(""), 0) << errorText;
    ASSERT_EQ(WaveSet.count, 5);
    EXPECT_EQ(Log(), "Bienvenue à Haliome (la marée d'un port, par l'équipe Haliome).\n\n" +
                         BlocksFrom(0, MenuWaveOrder, 5));
    EXPECT_EQ(output, "");  // no message box at start
}

TEST_F(ScenarioTest, AllKnownWavesAppendsTheCatalogueAfterTheListedWaves)
{
    ASSERT_EQ(Run("command 801\n"), 0) << errorText;
    ASSERT_EQ(WaveSet.count, 5 + 37);
    const std::string blocks = BlocksFrom(5, KnownWaveOrder, 37);
    EXPECT_EQ(Log().substr(Log().size() - blocks.size()), blocks);
}

TEST_F(ScenarioTest, AResetEmptiesTheWavesAndAChartCommandBringsTheYearBackAfterNavigation)
{
    ASSERT_EQ(Run("command 518\ncommand 518\nsvg later.svg\ncommand 775\ncommand 514\n"), 0) << errorText;
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
    ASSERT_EQ(Run("command 1297\ncommand 1298\ncommand 1298\ncommand 1300\ncommand 1313\n"), 0);
    const std::vector<std::pair<int, bool>> flagsAndMarks = {
        {Options.ShowTimeAxis, headless::IsMenuChecked(CMD_TIME_AXIS)},
        {Options.ShowHeightAxis, headless::IsMenuChecked(CMD_HEIGHT_AXIS)},
        {Options.ShowTimesOfTide, headless::IsMenuChecked(CMD_TIMES_OF_TIDE)},
        {Options.UseFourier, headless::IsMenuChecked(CMD_FOURIER)},
        {Options.VerboseFft, headless::IsMenuChecked(CMD_VERBOSE_FFT)},  // never marked
    };
    EXPECT_EQ(flagsAndMarks,
              (std::vector<std::pair<int, bool>>{{0, false}, {1, true}, {1, true}, {0, false}, {1, false}}));
}

TEST_F(ScenarioTest, ASourceItemRunsTheCurrentTaskAgain)
{
    ASSERT_EQ(Run("command 770\ncommand 1282\n"), 0) << errorText;
    ASSERT_EQ(WaveSet.count, 7);
    EXPECT_EQ(WaveSet.waves[6].name, "S2 : Onde Solaire semi-diurne. 12h");
    EXPECT_EQ(Options.SourceMode, 1);
    EXPECT_LT(WaveSet.waves[6].ampl, 0.01);  // what the two S2 before it left
}

TEST_F(ScenarioTest, WaveFilesAreSavedAndOpenedThroughTheDialogs)
{
    ASSERT_EQ(Run("command 260\nfile modele\ncommand 775\ncommand 258\nfile modele.TID\n"), 0) << errorText;
    EXPECT_EQ(WaveSet.count, 5);
    EXPECT_EQ(ReadFile("modele.TID").substr(0, 18), "Vlissingen\r\n2009\r\n");
    EXPECT_NE(Log().find("\nEnregistrement.\n\n\n\nRéinitialisation\n\n"
                         "Ouverture d'un fichier de composantes d'ondes.\n\n"),
              std::string::npos);
}

TEST_F(ScenarioTest, MessageBoxesArePrintedWithTheirAnswer)
{
    ASSERT_EQ(Run("command 774\ncommand 784\nclick 102\nanswer Non\nclick 1\n"), 0) << errorText;
    EXPECT_EQ(output, "--- message \"Détermination du niveau moyen\" (OK)\nNiveau moyen : 3.000652 \n\n\n---\n"
                      "--- message \"Suppression d'une onde\" (Non)\nSupprimer cette onde ?\n---\n");
    EXPECT_EQ(WaveSet.count, 5);
}

TEST_F(ScenarioTest, AFullTableIsRefusedOncePerCommand)
{
    ASSERT_EQ(Run("command 801\ncommand 801\ncommand 801\ncommand 800\n"), 0) << errorText;
    EXPECT_EQ(WaveSet.count, WAVE_CAPACITY);  // 5 + 37 + 37, then 21 of the third batch
    EXPECT_EQ(WaveSet.waves[99].name, KnownWaves[KnownWaveOrder[20]].label);
    const std::vector<headless::MessageRecord>& boxes = headless::Messages();
    auto isRefusal = [](const headless::MessageRecord& box) { return box.caption == "Tableau des ondes plein"; };
    EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(), isRefusal), 2) << output;
}

TEST_F(ScenarioTest, TheBandDialogStillScansWhenCancelled)
{
    ASSERT_EQ(Run("command 1029\nclose\n"), 0) << errorText;
    EXPECT_EQ(Options.PeriodMin, 11.8);
    EXPECT_EQ(Options.DisplayMode, 0);
    EXPECT_EQ(WaveSet.count, 6);  // the scan of 11.8 h to 13 h appended its wave
    EXPECT_EQ(headless::ScrollBarState(ScrollBar::Horizontal).max, 0);
}

// Escape during long work: a sweep or the FFT method appends nothing, all
// known waves keeps the waves already determined; the log says so, no box.
TEST_F(ScenarioTest, LongWorkStoppedByEscapeAppendsNothingUnfinishedAndSaysSoInTheLog)
{
    struct Case { const char* script; int count; const char* logged; };
    const Case cases[] = {
        {"command 1028\nstop 2\n", 5, "\nBalayage de 3.000000 h à 50.000000 h interrompu : aucune onde ajoutée.\n\n"},
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

TEST_F(ScenarioTest, ClosingTheWindowDuringASweepStopsItAndEndsTheProgramAfterTheCommand)
{
    ASSERT_EQ(Run("command 1028\nstop 2 close\ncommand 774\n"), 0) << errorText;
    EXPECT_EQ(WaveSet.count, 5);
    EXPECT_TRUE(Log().ends_with("interrompu : aucune onde ajoutée.\n\n"));
    EXPECT_EQ(output, "") << "the mean level was not determined";
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
    ASSERT_EQ(Run(ReadFile(example + "/tides.script")), 0) << errorText;
    EXPECT_EQ(output.rfind("--- control 101\nDétermination des horaires de marée du mois de  mars 2009\r\n"
                           "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\r\n",
                           0),
              0u)
        << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 3 + 31 + 2);  // title, header, 31 days
    EXPECT_EQ(ReadFile("vlissingen.TID").substr(0, 18), "Vlissingen\r\n2009\r\n");
}

}  // namespace
