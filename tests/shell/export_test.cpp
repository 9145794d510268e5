// Fichier > Exporter on the headless backend, driven by scripts as the
// batch program runs them, on the example port.
#include <filesystem>
#include <sstream>

#include "base/text.h"
#include "exports/perioddialog.h"
#include "platform/headless/headless.h"
#include "shell/script.h"
#include "tests/support/program_test.h"
#include "tests/support/tide_reports.h"

namespace {

class ExportCommandTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        std::filesystem::copy_file(ExamplePortRecord(), "PORT.TXT");
    }
    int Run(const std::string& script)
    {
        ResetProgramState();
        std::ostringstream out, errors;
        const int status = RunScript(script, out, errors);
        output = out.str();
        errorText = errors.str();
        return status;
    }
    static std::string Log() { return WithoutCr(ReadFile("Haliome.log")); }
    std::string output, errorText;
};

TEST_F(ExportCommandTest, TheTidesOfTheChosenMonthGoToTheChosenFiles)
{
    ASSERT_EQ(Run("command 528\ntype 102 2009\nselect 103 2\nclick 111\nprint 101\nclick 1\n"
                  "command 270\ntype 102 2009\nselect 103 2\nclick 1\nfile mars\n"
                  "command 271\nclick 1\nfile mars.ics\n"),  // the dialog remembers March 2009
              0)
        << errorText;
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

TEST_F(ExportCommandTest, TheYearIsCheckedBeforeAnyFileIsAskedFor)
{
    ASSERT_EQ(Run("command 272\ntype 102 deux mille\nclick 1\ntype 102 2009\nclick 1\nfile annuaire.pdf\n"
                  "command 270\nclick 2\n"),
              0)
        << errorText;
    EXPECT_NE(output.find("--- message \"Période à exporter\" (OK)\nTapez l'année en chiffres"), std::string::npos)
        << output;
    EXPECT_EQ(ReadFile("annuaire.pdf").rfind("%PDF-", 0), 0u);
    EXPECT_EQ(headless::FileDialogs().size(), 1u);  // none after the cancelled period
    EXPECT_EQ(LastExportPeriod.month, 12);           // the whole year, as at first
}

TEST_F(ExportCommandTest, TheWavesGoToACsvOfTheMeanLevelAndTheFiveWaves)
{
    ASSERT_EQ(Run("command 273\nfile ondes.csv\n"), 0) << errorText;
    const std::string csv = ReadFile("ondes.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 1 + 5);
    EXPECT_NE(csv.find("\r\nNiveau Moyen,,0.000000,3.000652,"), std::string::npos) << csv;
}

TEST_F(ExportCommandTest, TheChartIsWrittenAsTheSvgOfWhatTheWindowShows)
{
    ASSERT_EQ(Run("command 513\nsvg shown.svg\ncommand 274\nfile chart.svg\n"
                  "command 516\nsvg shown2.svg\ncommand 274\nfile chart2.SVG\n"),
              0)
        << errorText;
    EXPECT_EQ(ReadFile("chart.svg"), ReadFile("shown.svg"));
    EXPECT_EQ(ReadFile("chart2.SVG"), ReadFile("shown2.svg"));
    EXPECT_NE(ReadFile("chart2.SVG").find("stroke=\"rgb(0,255,0)\""), std::string::npos);  // the recorded tide
}

TEST_F(ExportCommandTest, WhatCannotBeWrittenIsSaidAndLogged)
{
    ASSERT_EQ(Run("command 274\nfile chart.png\ncommand 274\nfile chart.gif\ncommand 273\nfile no/folder/ondes.csv\n"),
              0)
        << errorText;
    const std::vector<headless::MessageRecord>& boxes = headless::Messages();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_NE(boxes[0].text.find("sans fenêtre, le graphique s'enregistre en SVG seulement"), std::string::npos);
    EXPECT_NE(boxes[1].text.find("l'extension .png ou .svg"), std::string::npos);
    EXPECT_EQ(boxes[2].text, "Le fichier « no/folder/ondes.csv » n'a pas pu être écrit :\nNo such file or directory.");
    EXPECT_NE(Log().find("Exportation : le fichier « no/folder/ondes.csv » n'a pas pu être écrit (No such file or "
                         "directory)."),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("chart.png") || std::filesystem::exists("chart.gif"));
}

}  // namespace
