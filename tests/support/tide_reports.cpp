#include "tests/support/tide_reports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <tuple>

#include "files/recordfile.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "tests/support/program_state.h"

std::vector<ReportTide> ReadPlainReport(const std::string& text)
{
    static const std::regex line(
        R"((Haute  Mer|Basse Mer) le +[A-Za-z]+ (\d+) [^\t]+\t\d+   à +(\d+):(\d\d)\. +(-?\d+\.\d) m\.(?: +Coef (-?\d+))?)");
    std::vector<ReportTide> tides;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        tides.push_back(ReportTide{std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]), std::stod(m[5]),
                                   m[1] == "Haute  Mer", m[6].matched ? std::stoi(m[6]) : 0});
    }
    std::sort(tides.begin(), tides.end(), [](const ReportTide& a, const ReportTide& b) {
        return std::tie(a.day, a.hour, a.minute) < std::tie(b.day, b.hour, b.minute);
    });
    return tides;
}

std::vector<CsvTide> ReadTidesCsv(const std::string& csv)
{
    static const std::regex row(R"((\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d)([+-])(\d\d):(\d\d),(PM|BM),(-?\d+\.\d\d),(\d*)\r)");
    std::vector<CsvTide> tides;
    std::size_t start = csv.find('\n') + 1;  // after the header
    for (std::size_t end; (end = csv.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string text = csv.substr(start, end - start);
        std::smatch m;
        if (!std::regex_match(text, m, row)) {
            ADD_FAILURE() << "not a tide row: " << text;
            continue;
        }
        CsvTide tide;
        tide.time = text.substr(0, text.find(','));
        tide.clock.tm_year = std::stoi(m[1]) - 1900, tide.clock.tm_mon = std::stoi(m[2]) - 1;
        tide.clock.tm_mday = std::stoi(m[3]), tide.clock.tm_hour = std::stoi(m[4]), tide.clock.tm_min = std::stoi(m[5]);
        tide.offsetSeconds = (m[6] == "-" ? -1 : 1) * (std::stol(m[7]) * 3600 + std::stol(m[8]) * 60);
        tide.high = m[9] == "PM";
        tide.height = std::stod(m[10]);
        tide.coefficient = m[11];
        tides.push_back(tide);
    }
    return tides;
}

void DetermineExamplePortModel()
{
    RecordFilePath = ExamplePortRecord();
    ASSERT_TRUE(DetermineStartModel());
    DetermineListedWaves();
}

std::string OutputOf(const std::string& command, int& status)
{
    std::string output;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return output;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    status = pclose(pipe);
    return output;
}
