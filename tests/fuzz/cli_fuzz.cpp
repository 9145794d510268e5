// The command line of haliome-cli, run in the harness's folder beside a
// record, a wave file and a gauge file: the input's lines (or NUL-ended
// pieces) are the arguments, the first byte choosing the subcommand. Whatever they are, the status is
// 0, 1 or 2; 2 comes with a message; a command that writes -o and ends with
// 0 leaves its file; the only files written are those named by -o, and a
// command that fails leaves the three files as they were; nothing crashes,
// aborts or leaks.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "base/calendar.h"
#include "base/text.h"
#include "shell/cli.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const char* const COMMANDS[] = {"import", "fit", "tides", "predict", "pdf", "stations", "station"};

// Three days of an M2 and an S2; the waves of that port; a gauge file.
std::map<std::string, std::string> InputFiles()
{
    std::string record = "Court\r\n2009\r\n3\r\n\r\n";
    for (int hour = 0; hour < 72; ++hour)
        record += std::to_string(std::lround(300 + 150 * std::cos(6.283185307179586 * hour / 12.4206012) +
                                             40 * std::cos(6.283185307179586 * hour / 12))) + "\r\n";
    return {{"PORT.TXT", record},
            {"ondes.TID", "Court\r\n2009\r\nspeed;ampl;etab;name\r\n0.0;3.0;0.0;Niveau Moyen\r\n"
                          "44714.164320;1.5;2.9;M2\r\n43200.000000;0.4;2.0;S2\r\n"},
            {"mesures.txt", "time,height (m)\n2016-01-01T06:00:00+01:00,1.302\n2016-01-01T06:30:00+01:00,1.25\n"
                            "2016-01-01T07:00:00+01:00,\n2016-01-01T08:00:00+01:00,0.98\n2016-01-01T09:00:00Z,0.75\n"}};
}

// A path that leaves the folder is never given: the harness writes nowhere
// else. The names of zones (Europe/Paris) stay.
bool StaysInFolder(const std::string& token)
{
    return token.find('/') == std::string::npos ||
           (std::isalnum(static_cast<unsigned char>(token[0])) && token.find("..") == std::string::npos);
}

// The values given to option name, as "--name VALUE" or "--name=VALUE".
std::vector<std::string> ValuesOf(const std::vector<std::string>& args, const std::string& name)
{
    std::vector<std::string> values;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == name && i + 1 < args.size())
            values.push_back(args[i + 1]);
        if (args[i].starts_with(name + "="))
            values.push_back(args[i].substr(name.size() + 1));
        if (name == "-o" && args[i].size() > 2 && args[i].starts_with("-o"))
            values.push_back(args[i].substr(args[i][2] == '=' ? 3 : 2));  // as short options take them
    }
    return values;
}

// Tides and heights cost their days and steps: periods longer than four
// days, and steps under ten minutes, are the unit tests' business. A PDF
// costs half a second: pdf runs for the years it refuses, the pages are the
// exports harness's.
bool Short(const std::vector<std::string>& args)
{
    if (args[1] == "pdf")
        for (const std::string& value : ValuesOf(args, "--year"))
            if (const long year = std::strtol(value.c_str(), nullptr, 0); year >= 1 && year <= 9999)
                return false;
    std::optional<CalendarTime> first, last;
    for (const bool to : {false, true})
        for (const std::string& value : ValuesOf(args, to ? "--to" : "--from"))
            if (const std::optional<CalendarTime> t = TimeOfIsoDate(value, Clock::Utc, to)) {
                first = std::min(first.value_or(*t), *t);
                last = std::max(last.value_or(*t), *t);
            }
    for (const std::string& value : ValuesOf(args, "--step")) {
        char* end = nullptr;
        if (const long long step = std::strtoll(value.c_str(), &end, 0); *end == '\0' && step < 10)
            return false;
    }
    return !first || *last - *first <= 4 * 86400;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzing();
    setenv("HALIOME_CATALOGUE", HALIOME_FUZZ_CATALOGUE, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 512)
        return -1;
    std::vector<std::string> args{"haliome-cli"};
    std::string text(BytesOf(data, size));
    std::replace(text.begin(), text.end(), '\0', '\n');
    std::istringstream lines{text};
    for (std::string line; std::getline(lines, line);)
        args.push_back(line);
    if (!args[1].starts_with('-'))  // which keeps --help, --version and their mistakes
        args[1] = COMMANDS[(static_cast<unsigned char>(args[1][0]) + 1) % std::size(COMMANDS)];  // '0': import
    for (const std::string& arg : args)
        if (!StaysInFolder(arg))
            return -1;
    if (!Short(args))
        return -1;
    ResetForInput();
    EmptyFolder();
    const std::map<std::string, std::string> inputs = InputFiles();
    for (const auto& [name, bytes] : inputs)
        WriteInputFile(name.c_str(), bytes);

    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, errors;
    const int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, errors);

    Require(status == 0 || status == 1 || status == 2, "the status is 0, 1 or 2");
    Require(status != 2 || !errors.str().empty(), "bad usage is said");
    std::vector<std::string> outputs = ValuesOf(args, "-o"), named = ValuesOf(args, "--output");
    outputs.insert(outputs.end(), named.begin(), named.end());
    const bool writes = args[1] == "import" || args[1] == "fit" || args[1] == "pdf" || args[1] == "station";
    bool left = false;
    for (const std::string& output : outputs)
        left = left || output == "-" || std::filesystem::is_regular_file(output);
    const bool help = out.str().find("Utilisation:") != std::string::npos || out.str().starts_with("haliome-cli ");
    Require(status != 0 || !writes || help || left, "a command done leaves the file of -o");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(".")) {
        const std::string name = entry.path().lexically_relative(".").string();
        const auto input = inputs.find(name);
        if (input != inputs.end() && ReadFileBytes(name) == input->second)
            continue;
        bool isOutput = false;
        std::error_code none;
        for (const std::string& output : outputs)
            isOutput = isOutput || std::filesystem::equivalent(output, entry.path(), none);
        Require(entry.is_directory() || isOutput, "only the files of -o are written");
        Require(status == 0 || input == inputs.end(), "a command that fails leaves its files as they were");
    }
    return 0;
}
