// haliome-cli run in this process, on the example port: its files against
// the window's, and its exit statuses.
#include <filesystem>
#include <sstream>

#include "files/recordfile.h"
#include "model/record.h"
#include "shell/cli.h"
#include "shell/script.h"
#include "tests/support/program_test.h"
#include "tests/support/tide_reports.h"

namespace {

class CliTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        std::filesystem::copy_file(ExamplePortRecord(), "PORT.TXT");
    }
    // A fresh run of the command line, from the start values of all state.
    int Cli(std::vector<const char*> args)
    {
        ResetProgramState();
        args.insert(args.begin(), "haliome-cli");
        std::ostringstream out, errors;
        const int status = RunCli(static_cast<int>(args.size()), args.data(), out, errors);
        output = out.str();
        errorText = errors.str();
        return status;
    }
    // What the window's tide-times dialog reports for a month, after start-up
    // on the example year, with the nodal corrections on or off.
    static std::string WindowReport(int month, int year = 2009, bool nodal = false)
    {
        return RunWindow(std::string(nodal ? "command 1301\n" : "") + "command 528\ntype 102 " + std::to_string(year) +
                      "\nselect 103 " + std::to_string(month) + "\nclick 111\nprint 101\nclick 1\n");
    }
    // A fresh start of the window driven by the script: what it printed.
    static std::string RunWindow(const std::string& script)
    {
        ResetProgramState();
        std::ostringstream out, errors;
        EXPECT_EQ(RunScript(script, out, errors), 0) << errors.str();
        return out.str();
    }
    std::string output, errorText;
};

// March and December of the fit's year, and March 2012 with and without the
// nodal corrections, which move its tides.
TEST_F(CliTest, FitThenTidesGivesTheTidesOfTheWindowsReport)
{
    ASSERT_EQ(Cli({"fit", "PORT.TXT", "-o", "port.TID"}), 0) << errorText;
    struct Case { int year, month; bool nodal; const char *from, *to; };
    const Case cases[] = {{2009, 2, false, "2009-03-01", "2009-03-31"},
                          {2009, 11, false, "2009-12-01", "2009-12-31"},
                          {2012, 2, false, "2012-03-01", "2012-03-31"},
                          {2012, 2, true, "2012-03-01", "2012-03-31"}};
    std::vector<std::string> csv2012;
    for (const Case& k : cases) {
        const std::vector<ReportTide> report = ReadPlainReport(WindowReport(k.month, k.year, k.nodal));
        std::vector<const char*> args = {"tides", "port.TID", "--from", k.from, "--to", k.to, "--format", "csv"};
        if (k.nodal)
            args.push_back("--nodal");
        ASSERT_EQ(Cli(args), 0) << errorText;
        if (k.year == 2012)
            csv2012.push_back(output);
        const std::vector<CsvTide> rows = ReadTidesCsv(output);
        ASSERT_EQ(rows.size(), report.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ReportTide& r = report[i];
            const CsvTide& c = rows[i];
            EXPECT_TRUE(c.clock.tm_mday == r.day && c.clock.tm_hour == r.hour && c.clock.tm_min == r.minute &&
                        c.high == r.high && std::abs(c.height - r.height) <= 0.05 + 1e-9 &&
                        c.coefficient == (r.high ? std::to_string(r.coefficient) : ""))
                << c.time << " against the report's day " << r.day << " " << r.hour << ":" << r.minute;
        }
    }
    EXPECT_NE(csv2012[0], csv2012[1]) << "the corrections move the tides of 2012";
}

TEST_F(CliTest, TheFittedWaveFileIsTheOneTheWindowSaves)
{
    ASSERT_EQ(Cli({"fit", "PORT.TXT", "--known", "--shallow", "--nodal", "-o", "cli.TID"}), 0) << errorText;
    // Start-up fits without the corrections: the window fits its five waves again with them.
    RunWindow("command 1301\ncommand 775\ncommand 800\ncommand 801\ncommand 802\ncommand 260\nfile window.TID\n");
    const std::string waves = ReadFile("cli.TID");
    EXPECT_EQ(waves, ReadFile("window.TID"));
    EXPECT_EQ(std::count(waves.begin(), waves.end(), '\n'), 4 + 5 + 37 + 14);
}

// The DIA export behind the example year: its hours are the example's less
// the 300 cm that the example adds.
TEST_F(CliTest, AGaugeFileIsImportedToAnHourlyRecordFile)
{
    const std::string dia = RecordsDir() + "/sources/VLISSGN_obs1.txt";
    ASSERT_EQ(Cli({"import", dia.c_str(), "-o", "dia.TXT"}), 0) << errorText;
    EXPECT_NE(output.find("DIA"), std::string::npos) << output;
    RecordFilePath = "dia.TXT";
    ASSERT_TRUE(LoadRecordFile());
    const std::vector<std::int32_t> imported = RecordSeries.RecordValues;
    RecordFilePath = "PORT.TXT";
    ASSERT_TRUE(LoadRecordFile());
    ASSERT_EQ(imported.size(), RecordSeries.RecordValues.size());
    for (std::size_t i = 0; i + 1 < imported.size(); ++i)
        ASSERT_EQ(imported[i] + 300, RecordSeries.RecordValues[i]) << "hour " << i;
    EXPECT_EQ(Cli({"import", dia.c_str(), "-o", "x.TXT", "--zone", "somewhere"}), 2);
    EXPECT_NE(errorText.find("--zone somewhere"), std::string::npos) << errorText;
    EXPECT_EQ(Cli({"import", "PORT.TXT", "-o", "x.TXT"}), 1);
    EXPECT_NE(errorText.find("PORT.TXT"), std::string::npos) << errorText;
    EXPECT_FALSE(std::filesystem::exists("x.TXT"));
}

TEST_F(CliTest, UtcDatesNameTheSameInstantsAsLocalOnes)
{
    ASSERT_EQ(Cli({"fit", "PORT.TXT", "-o", "port.TID"}), 0) << errorText;
    ASSERT_EQ(Cli({"tides", "port.TID", "--from", "2009-07-01T00:00", "--to", "2009-07-01", "--format", "json"}), 0);
    const std::string local = output;
    ASSERT_EQ(Cli({"tides", "port.TID", "--from", "2009-06-30T22:00", "--to", "2009-07-01T22:00", "--utc", "--format",
                   "json"}),
              0);
    EXPECT_NE(local.find("\"time\": \"2009-07-01T"), std::string::npos) << local;
    EXPECT_NE(local.find("+02:00\", \"type\": \"PM\""), std::string::npos) << local;
    // The same tides, each two hours earlier on the UTC clock.
    EXPECT_EQ(std::count(local.begin(), local.end(), '{'), std::count(output.begin(), output.end(), '{'));
    ASSERT_EQ(Cli({"predict", "port.TID", "--from", "2009-03-29", "--to", "2009-03-29T04:00", "--step", "60"}), 0);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1 + 3) << output;  // 02:00 never comes that night
    EXPECT_NE(output.find("\r\n2009-03-29T03:00+02:00,"), std::string::npos) << output;
}

TEST_F(CliTest, BadUsageIsSaidOnStandardErrorWithStatusTwo)
{
    ASSERT_EQ(Cli({"fit", "PORT.TXT", "-o", "port.TID"}), 0) << errorText;
    struct Case { std::vector<const char*> args; const char* said; };
    const std::vector<Case> cases = {
        {{}, "A subcommand is required"},
        {{"forecast", "port.TID"}, "A subcommand is required"},
        {{"fit", "PORT.TXT"}, "--output is required"},
        {{"tides", "port.TID", "--from", "2009-03-01"}, "--to is required"},
        {{"tides", "port.TID", "--from", "2009-02-30", "--to", "2009-03-01"}, "--from 2009-02-30: expected"},
        {{"tides", "port.TID", "--from", "1/3/2009", "--to", "2009-03-01"}, "--from 1/3/2009: expected"},
        {{"tides", "port.TID", "--from", "2009-03-02", "--to", "2009-03-01T12:00"}, "--to must come after --from"},
        {{"tides", "port.TID", "--from", "2009-03-01", "--to", "2009-03-02", "--format", "xml"}, "xml"},
        {{"predict", "port.TID", "--from", "2009-03-01", "--to", "2009-03-02", "--step", "0"}, "--step"},
        {{"pdf", "port.TID", "--year", "many", "-o", "x.pdf"}, "--year"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cli(c.args), 2) << c.said;
        EXPECT_NE(errorText.find(c.said), std::string::npos) << errorText;
        EXPECT_EQ(output, "");
    }
    EXPECT_EQ(Cli({"--help"}), 0);
    EXPECT_NE(output.find("predict"), std::string::npos);
    EXPECT_EQ(Cli({"--version"}), 0);
    EXPECT_EQ(output.rfind("haliome-cli ", 0), 0u) << output;
}

TEST_F(CliTest, AFileThatCannotBeReadOrWrittenIsSaidWithStatusOne)
{
    WriteFile("bad.TID", "Port\nno year here\n");
    WriteFile("bad.TXT", "Port\n2009\nmany days\n");
    struct Case { std::vector<const char*> args; const char* said; };
    const std::vector<Case> cases = {
        {{"fit", "missing.TXT", "-o", "x.TID"}, "cannot read missing.TXT"},
        {{"fit", "bad.TXT", "-o", "x.TID"}, "le nombre de jours (ligne 3) n'est pas un nombre"},
        {{"fit", "PORT.TXT", "-o", "no/such/folder/x.TID"}, "« no/such/folder/x.TID » n'a pas pu être écrit"},
        {{"tides", "missing.TID", "--from", "2009-03-01", "--to", "2009-03-02"}, "cannot read missing.TID"},
        {{"predict", "bad.TID", "--from", "2009-03-01", "--to", "2009-03-02", "--step", "5"}, "n'a pas été chargé"},
        {{"pdf", "missing.TID", "--year", "2009", "-o", "x.pdf"}, "cannot read missing.TID"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cli(c.args), 1) << c.said;
        EXPECT_NE(errorText.find(c.said), std::string::npos) << errorText;
    }
    EXPECT_FALSE(std::filesystem::exists("x.TID"));
}

}  // namespace
