// The whole program on the headless backend, driven by scripts of user
// actions as the batch program runs them, on the example port.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "analysis/knownwaves.h"
#include "base/options.h"
#include "base/text.h"
#include "files/wavefile.h"
#include "model/units.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "shell/commands.h"
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
    std::string output, errorText;
};

const char* const WELCOME = "Bienvenue à Haliome (la marée d'un port, par l'équipe Haliome).\n\n";

// The block a determined catalogue wave leaves in the log.
std::string BlockOf(int row, const Wave& w)
{
    return Format("Détermination de l'onde %i :\n - Période : %.6f\n - Amplitude : %.6f\n"
                  " - Etablissement : %.6f\n%s\n",
                  row, 2 * M_PI / w.speed / 3600, w.ampl, w.etab, w.name.c_str());
}

TEST_F(ScenarioTest, AFreshStartDeterminesTheFiveListedWavesAfterTheWelcome)
{
    ASSERT_EQ(Run(""), 0) << errorText;
    ASSERT_EQ(WaveSet.count, 5);
    std::string expected = WELCOME;
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(WaveSet.waves[row].name, KnownWaves[MenuWaveOrder[row]].label);
        expected += BlockOf(row, WaveSet.waves[row]);
    }
    EXPECT_EQ(ReadFile("Haliome.log"), WithCrLf(expected));
    EXPECT_NEAR(WaveSet.MeanLevel, 3.000652, 1e-6);
    EXPECT_NEAR(WaveSet.waves[0].ampl, 1.72, 0.02);  // Vlissingen's M2
    EXPECT_EQ(Options.DisplayMode, 1);
    EXPECT_EQ(Options.CurveSelection, 3);
    EXPECT_EQ(headless::ScrollBarState(ScrollBar::Vertical).position, 100);
    EXPECT_EQ(output, "");  // no message box at start
    EXPECT_EQ(headless::WindowTitle().rfind("Haliome.", 0), 0u);
}

TEST_F(ScenarioTest, AllKnownWavesAppendsTheCatalogueAfterTheListedWaves)
{
    ASSERT_EQ(Run("command 801\n"), 0) << errorText;
    ASSERT_EQ(WaveSet.count, 5 + KNOWN_WAVE_COUNT);
    std::string blocks;
    for (int row = 0; row < KNOWN_WAVE_COUNT; ++row) {
        EXPECT_EQ(WaveSet.waves[5 + row].name, KnownWaves[KnownWaveOrder[row]].label);
        blocks += BlockOf(row, WaveSet.waves[5 + row]);
    }
    const std::string log = WithoutCr(ReadFile("Haliome.log"));
    EXPECT_EQ(log.substr(log.size() - blocks.size()), blocks);
}

TEST_F(ScenarioTest, ResetKeepsTheMeanLevelAndTheChartGoesFlat)
{
    ASSERT_EQ(Run("command 775\ncommand 514\n"), 0) << errorText;
    EXPECT_EQ(WaveSet.count, 0);
    EXPECT_NEAR(WaveSet.MeanLevel, 3.000652, 1e-6);
    const std::string log = WithoutCr(ReadFile("Haliome.log"));
    EXPECT_NE(log.find("K1 : Onde Sidérale diurne. 23h56m\n\n\nRéinitialisation\n\n"), std::string::npos);
    int blue = 0;
    for (const headless::DrawOp& op : headless::ClientArea())
        if (op.kind == headless::DrawOp::Kind::Line && op.color == Color{0, 0, 255}) {
            EXPECT_EQ(op.y1, 210);
            ++blue;
        }
    EXPECT_EQ(blue, 621);
}

TEST_F(ScenarioTest, YearNavigationShiftsByWholeYearsAndAChartCommandBringsItBack)
{
    ASSERT_EQ(Run("command 518\ncommand 518\nsvg later.svg\ncommand 514\n"), 0) << errorText;
    EXPECT_NE(ReadFile("later.svg").find("Sat Jan  1 00:00:00 2011"), std::string::npos);  // 2 × 365 days on
    EXPECT_EQ(Options.YearOffset, 0);
    EXPECT_EQ(Options.CurveSelection, 1);

    ASSERT_EQ(Run("command 519\n"), 0);
    EXPECT_EQ(Options.YearOffset, -YEAR_SHIFT_SECONDS);
}

TEST_F(ScenarioTest, OptionTogglesFlipTheirFlagAndTheirCheckMark)
{
    ASSERT_EQ(Run("command 1297\ncommand 1298\ncommand 1298\ncommand 1300\ncommand 1313\n"), 0);
    EXPECT_EQ(Options.ShowTimeAxis, 0);
    EXPECT_FALSE(headless::IsMenuChecked(CMD_TIME_AXIS));
    EXPECT_EQ(Options.ShowHeightAxis, 1);
    EXPECT_TRUE(headless::IsMenuChecked(CMD_HEIGHT_AXIS));
    EXPECT_TRUE(headless::IsMenuChecked(CMD_TIMES_OF_TIDE));
    EXPECT_EQ(Options.UseFourier, 0);
    EXPECT_FALSE(headless::IsMenuChecked(CMD_FOURIER));
    EXPECT_EQ(Options.VerboseFft, 1);
    EXPECT_FALSE(headless::IsMenuChecked(CMD_VERBOSE_FFT));
}

TEST_F(ScenarioTest, ASourceItemRunsTheCurrentTaskAgain)
{
    ASSERT_EQ(Run("command 770\ncommand 1282\n"), 0) << errorText;
    ASSERT_EQ(WaveSet.count, 7);
    EXPECT_EQ(WaveSet.waves[6].name, "S2 : Onde Solaire semi-diurne. 12h");
    EXPECT_EQ(Options.SourceMode, 1);
    EXPECT_LT(WaveSet.waves[6].ampl, 0.01);  // what the two S2 before it left

    ASSERT_EQ(Run("command 513\ncommand 1281\n"), 0);  // on the chart it only repaints
    EXPECT_EQ(WaveSet.count, 5);
}

TEST_F(ScenarioTest, TheGreyedItemAndUnknownIdentifiersDoNothing)
{
    ASSERT_EQ(Run("command 262\ncommand 9999\n"), 0);
    EXPECT_EQ(WaveSet.count, 5);
    EXPECT_EQ(output, "");
    bool greyed = false;
    for (const MenuItem& item : headless::Menu()[0].items)
        greyed |= item.command == CMD_HOURLY_INTERPOLATION && item.greyed;
    EXPECT_TRUE(greyed);
}

TEST_F(ScenarioTest, WaveFilesAreSavedAndOpenedThroughTheDialogs)
{
    ASSERT_EQ(Run("command 260\nfile modele\ncommand 775\ncommand 258\nfile modele.TID\n"), 0) << errorText;
    EXPECT_EQ(WaveSet.count, 5);
    EXPECT_EQ(ReadFile("modele.TID").substr(0, 18), "Vlissingen\r\n2009\r\n");
    const std::string log = WithoutCr(ReadFile("Haliome.log"));
    EXPECT_NE(log.find("\nEnregistrement.\n\n\n\nRéinitialisation\n\nOuverture d'un fichier de composantes d'ondes.\n\n"),
              std::string::npos);
}

TEST_F(ScenarioTest, MessageBoxesArePrintedWithTheirAnswer)
{
    ASSERT_EQ(Run("command 774\ncommand 2313\n"), 0);
    EXPECT_EQ(output, "--- message \"Détermination du niveau moyen\" (OK)\nNiveau moyen : 3.000652 \n\n\n---\n"
                      "--- message \"A Propos de Haliome\" (OK)\n" + std::string(ABOUT_TEXT) + "\n---\n");
}

TEST_F(ScenarioTest, AFullTableIsRefusedOncePerCommand)
{
    ASSERT_EQ(Run("command 801\ncommand 801\ncommand 801\ncommand 800\n"), 0) << errorText;
    EXPECT_EQ(WaveSet.count, WAVE_CAPACITY);  // 5 + 37 + 37, then 21 of the third batch
    EXPECT_EQ(WaveSet.waves[99].name, KnownWaves[KnownWaveOrder[20]].label);
    const std::string refusal = "--- message \"Tableau des ondes plein\" (OK)\n";
    std::size_t first = output.find(refusal);
    ASSERT_NE(first, std::string::npos);
    std::size_t second = output.find(refusal, first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(output.find(refusal, second + 1), std::string::npos);
}

TEST_F(ScenarioTest, TheBandDialogStillScansWhenCancelled)
{
    ASSERT_EQ(Run("command 1029\nclose\n"), 0) << errorText;
    EXPECT_EQ(Options.PeriodMin, 11.8);
    EXPECT_EQ(Options.DisplayMode, 0);
    EXPECT_EQ(WaveSet.count, 6);  // the scan of 11.8 h to 13 h appended its wave
    EXPECT_EQ(headless::ScrollBarState(ScrollBar::Horizontal).max, 0);
}

TEST_F(ScenarioTest, AScriptThatDoesNotFitWhatTheProgramAsksFails)
{
    struct Case { const char* script; const char* error; };
    const Case cases[] = {
        {"command 784\nclick 102\nclick 1\n", "nothing in the script answers the Yes/No message box"},
        {"command 784\nclick 1\nanswer Oui\n", "1 queued message answer(s) not used"},
        {"command 784\n", "nothing in the script answers the dialog \"Gestionnaire d'ondes\""},
        {"commande 784\n", "line 1 is not understood: commande 784"},
        {"scroll x top\n", "line 1 is not understood"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.script), 2) << c.script;
        EXPECT_NE(errorText.find(c.error), std::string::npos) << errorText;
    }
    EXPECT_EQ(Run("command 784\nclick 102\nanswer Non\nclick 1\n"), 0) << errorText;
    EXPECT_EQ(WaveSet.count, 5);
}

}  // namespace

namespace {

// The example of the README: a month of tide times, then the waves saved.
TEST_F(ScenarioTest, TheExampleScriptPrintsAMonthOfTideTimesAndSavesTheWaves)
{
    ASSERT_EQ(Run(ReadFile(ExamplePortRecord().substr(0, ExamplePortRecord().rfind('/')) + "/tides.script")), 0)
        << errorText;
    EXPECT_EQ(output.rfind("--- control 101\nDétermination des horaires de marée du mois de  mars 2009\r\n"
                           "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\r\n",
                           0),
              0u)
        << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 3 + 31 + 2);  // title, header, 31 days
    EXPECT_EQ(ReadFile("vlissingen.TID"), WithCrLf(Windows1252FromUtf8(WaveFileText())));
}

}  // namespace
