#include "tests/support/scenario.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "base/log.h"
#include "tests/support/full_disk.h"
#include "base/text.h"
#include "shell/script.h"
#include "tests/support/program_state.h"

namespace fs = std::filesystem;

extern "C" const char* __lsan_default_suppressions();

namespace {

constexpr const char* EXPECTED_MARK = "==== expected";

std::string ScenariosDir() { return HALIOME_SCENARIOS_DIR; }

// The folders a scenario names by variable, longest first so that a path is
// given back by its closest name.
std::vector<std::pair<std::string, std::string>> Variables(const std::string& work)
{
    return {{"$WORK", work},
            {"$FORMATS", fs::canonical(FormatsDir()).string()},
            {"$RECORDS", fs::canonical(RecordsDir()).string()},
            {"$EXAMPLE", fs::canonical(ExamplePortRecord()).parent_path().string()}};
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Words separated by blanks; double quotes keep blanks inside a word.
std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any)
                words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any)
        words.push_back(word);
    return words;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size())
        ++n;
    return n;
}

// Text as a transcript shows it: LF line ends, the folders by their names.
class Transcript {
public:
    explicit Transcript(std::vector<std::pair<std::string, std::string>> variables) : names(std::move(variables)) {}

    // A titled part; its body as lines, with what ends them said in the title
    // when it is not LF alone.
    void Section(std::string title, const std::string& body = "")
    {
        const std::size_t crlf = Count(body, "\r\n"), lf = Count(body, "\n");
        if (crlf > 0)
            title += crlf == lf ? " (CR LF)" : " (mixed line ends)";
        if (!body.empty() && body.back() != '\n')
            title += " (no final line end)";
        text += ">>> " + Shown(title) + "\n" + Shown(WithoutCr(body));
        if (!body.empty() && body.back() != '\n')
            text += "\n";
    }
    // A path in the working directory as the user typed it there: the Qt
    // file dialog gives back whole paths.
    std::string Shown(std::string s) const
    {
        s = ReplaceAll(s, names[0].second + "/", "");
        for (const auto& [name, value] : names)
            s = ReplaceAll(s, value, name);
        return s;
    }
    std::string Expanded(std::string s) const
    {
        for (const auto& [name, value] : names)
            s = ReplaceAll(s, name, value);
        return s;
    }
    std::string text;

private:
    std::vector<std::pair<std::string, std::string>> names;
};

// A program of the build run as the user runs it, with its standard output
// and error caught in files beside the working directory, or its output sent
// to outPath when one is given. The sanitizer
// build's program is told the leaks the test programs pass over
// (tests/support/leak_suppressions.h), through a third file.
int RunProcess(const std::vector<std::string>& args, const std::string& outPath, std::string& out,
               std::string& errors)
{
    const std::string caught = fs::temp_directory_path() / "haliome-scenario-out-XXXXXX";
    std::string outName = caught, errName = caught, leakName = caught;
    errName.replace(errName.find("out-"), 4, "err-");
    leakName.replace(leakName.find("out-"), 4, "lsan-");
    const int outFd = mkstemp(outName.data()), errFd = mkstemp(errName.data());
    close(mkstemp(leakName.data()));
    WriteFile(leakName, __lsan_default_suppressions());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outPath.empty())
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> env;
    for (char** e = environ; *e; ++e)
        env.push_back(*e);
    std::string leaks = "LSAN_OPTIONS=print_suppressions=0:suppressions=" + leakName;
    env.push_back(leaks.data());
    env.push_back(nullptr);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) == 0)
        waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    close(outFd);
    close(errFd);
    out = ReadFile(outName);
    errors = ReadFile(errName);
    for (const std::string& name : {outName, errName, leakName})
        fs::remove(name);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct Player {
    Transcript transcript;
    std::vector<std::string> lines;
    std::size_t next = 0;
    std::int64_t diskFullAfter = -1;  // bytes each file may take, for the batch runs that follow

    void Batch(const std::vector<std::string>& options)
    {
        std::string script;
        while (next < lines.size() && lines[next].rfind('@', 0) != 0)
            script += transcript.Expanded(lines[next++]) + "\n";
        Run(script, options);
    }

    void Run(const std::string& script, const std::vector<std::string>& options)
    {
        ResetProgramState();
        SetDiskFullAfterBytes(diskFullAfter);
        fs::remove(LOG_FILE_NAME);  // a script that does not run leaves none
        std::ostringstream out, errors;
        std::size_t startUpLog = 0;
        const bool wholeLog = std::find(options.begin(), options.end(), "whole-log") != options.end();
        const int status = RunScript(script, out, errors, [&] { startUpLog = wholeLog ? 0 : LogBytes().size(); });
        transcript.Section("haliome-batch", out.str());
        if (!errors.str().empty())
            transcript.Section("errors", errors.str());
        transcript.Section("status " + std::to_string(status));
        const std::string log = LogBytes();
        if (log.size() > startUpLog)
            transcript.Section(wholeLog ? "log" : "log after start-up", log.substr(startUpLog));
    }

    // The command, and "> PATH" at its end to send its output there.
    void Cli(std::vector<std::string> args)
    {
        args[0] = HALIOME_CLI_PROGRAM;
        std::string out, errors, shown = "haliome-cli", outPath;
        for (std::size_t i = 1; i < args.size(); ++i)
            shown += " " + args[i];
        if (args.size() > 2 && args[args.size() - 2] == ">") {
            outPath = args.back();
            args.resize(args.size() - 2);
        }
        const int status = RunProcess(args, outPath, out, errors);
        transcript.Section(shown, out);
        if (!errors.empty())
            transcript.Section("errors", errors);
        transcript.Section("status " + std::to_string(status));
    }

    void WriteInlineFile(const std::vector<std::string>& words)
    {
        const auto said = [&words](const char* word) {
            return std::find(words.begin() + 1, words.end(), word) != words.end();
        };
        const std::string eol = said("crlf") ? "\r\n" : "\n";
        std::string bytes;
        while (next < lines.size() && lines[next] != "@end")
            bytes += lines[next++] + eol;
        ++next;
        WriteFile(words.at(1), said("windows-1252") ? Windows1252FromUtf8(bytes) : bytes);
    }

    // Where line number (from 1) starts in bytes, or their end.
    static std::size_t LineStart(const std::string& bytes, std::size_t number)
    {
        std::size_t at = 0;
        for (std::size_t n = 1; n < number && at < bytes.size(); ++n)
            at = std::min(bytes.find('\n', at), bytes.size() - 1) + 1;
        return at;
    }

    // The whole file, its first lines ("8") or some of its lines ("100-102").
    void Show(const std::string& name, const std::string& part)
    {
        if (!fs::exists(name))
            return transcript.Section("file " + name + ": none");
        std::string bytes = ReadFile(name);
        std::string title = "file " + name;
        if (!part.empty()) {
            const std::size_t dash = part.find('-');
            const std::size_t first = dash == std::string::npos ? 1 : std::stoul(part.substr(0, dash));
            const std::size_t last = std::stoul(dash == std::string::npos ? part : part.substr(dash + 1));
            const std::size_t from = LineStart(bytes, first);
            bytes = bytes.substr(from, LineStart(bytes, last + 1) - from);
            title += dash == std::string::npos ? ", its first lines" : ", lines " + part;
        }
        if (bytes.rfind("%PDF-", 0) == 0)
            return transcript.Section("file " + name + ": a PDF document");
        if (bytes.find('\0') != std::string::npos)
            return transcript.Section("file " + name + ": binary");
        if (!IsValidUtf8(bytes)) {  // a wave file, as its format says
            bytes = Utf8FromWindows1252(bytes);
            title += " (Windows-1252)";
        }
        transcript.Section(title, bytes);
    }

    void Grep(const std::string& text, const std::string& name)
    {
        std::string found;
        for (const std::string& line : Lines(ReadFile(name)))
            if (line.find(text) != std::string::npos)
                found += line + "\n";
        transcript.Section("lines of " + name + " with " + text, found);
    }

    void Compare(const std::string& a, const std::string& b)
    {
        const bool same = fs::exists(a) && fs::exists(b) && ReadFile(a) == ReadFile(b);
        transcript.Section(a + " and " + b + (same ? ": the same bytes" : ": not the same"));
    }

    void ListFiles()
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator("."))
            names.push_back(entry.path().filename().string() + (entry.is_directory() ? "/" : ""));
        std::sort(names.begin(), names.end());
        std::string list;
        for (const std::string& name : names)
            list += name + "\n";
        transcript.Section("files", list);
    }

    // An hourly record file of the port "Essai" from 1 January 2009, every
    // hour holding the same line.
    static void WriteRecord(const std::string& name, int days, const std::string& hour)
    {
        std::string text = "Essai\r\n2009\r\n" + std::to_string(days) + "\r\n\r\n";
        for (int i = 0; i < 24 * days; ++i)
            text += hour + "\r\n";
        WriteFile(name, text);
    }

    void Directive(const std::vector<std::string>& words)
    {
        const std::string& verb = words.at(0);
        if (verb == "@batch")
            Batch(words);
        else if (verb == "@cli")
            Cli(words);
        else if (verb == "@file")
            WriteInlineFile(words);
        else if (verb == "@copy")
            fs::copy_file(words.at(1), words.size() > 2 ? words[2] : fs::path(words[1]).filename().string(),
                          fs::copy_options::overwrite_existing);
        else if (verb == "@batch-script")
            Run(ReadFile(words.at(1)), words);
        else if (verb == "@show")
            Show(words.at(1), words.size() > 2 ? words[2] : "");
        else if (verb == "@grep")
            Grep(words.at(1), words.at(2));
        else if (verb == "@compare")
            Compare(words.at(1), words.at(2));
        else if (verb == "@headless-only")
            return;
        else if (verb == "@catalogue")
            SetEnvironment(std::string("HALIOME_CATALOGUE=") + HALIOME_TEST_CATALOGUE);
        else if (verb == "@ls")
            ListFiles();
        else if (verb == "@env")
            SetEnvironment(words.at(1));
        else if (verb == "@disk-full-after")
            diskFullAfter = words.at(1) == "none" ? -1 : std::stoll(words.at(1));
        else if (verb == "@link")
            fs::create_symlink(words.at(1), words.at(2));
        else if (verb == "@mkdir")
            fs::create_directories(words.at(1));
        else if (verb == "@resize")
            fs::resize_file(words.at(1), std::stoull(words.at(2)));
        else if (verb == "@record")
            WriteRecord(words.at(1), std::stoi(words.at(2)), words.at(3));
        else
            throw std::runtime_error("unknown directive " + verb);
    }

    // The variables a scenario set, with the values they had before it.
    std::map<std::string, std::optional<std::string>> environmentBefore;

    void SetEnvironment(const std::string& assignment)
    {
        const std::size_t equals = assignment.find('=');
        const std::string name = assignment.substr(0, equals);
        if (!environmentBefore.count(name)) {
            const char* value = std::getenv(name.c_str());
            environmentBefore[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        setenv(name.c_str(), assignment.substr(equals + 1).c_str(), 1);
        tzset();
    }

    // Every scenario starts from the environment of the test program.
    void RestoreEnvironment()
    {
        for (const auto& [name, value] : environmentBefore)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        tzset();
    }

    void Play()
    {
        while (next < lines.size()) {
            const std::string line = lines[next++];
            if (line.rfind('@', 0) == 0)
                Directive(Words(transcript.Expanded(line)));
            else if (!line.empty() && line[0] != '#')
                throw std::runtime_error("a script line outside @batch: " + line);
        }
    }
};

std::pair<std::string, std::string> BodyAndExpected(const std::string& file)
{
    const std::string text = WithoutCr(ReadFile(ScenariosDir() + "/" + file));
    const std::size_t mark = text.find(std::string("\n") + EXPECTED_MARK + "\n");
    if (mark == std::string::npos)
        return {text, ""};
    return {text.substr(0, mark + 1), text.substr(mark + 2 + std::string(EXPECTED_MARK).size())};
}

}  // namespace

std::vector<std::string> ScenarioFiles()
{
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(ScenariosDir()))
        if (entry.path().extension() == ".scenario")
            files.push_back(fs::relative(entry.path(), ScenariosDir()).string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string ScenarioTestName(const std::string& file)
{
    std::string name = fs::path(file).replace_extension().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

ScenarioOutcome PlayScenario(const std::string& file)
{
    const auto [body, expected] = BodyAndExpected(file);
    ScopedWorkDir work;
    Player player{Transcript(Variables(work.path())), Lines(body), 0, -1, {}};
    ScenarioOutcome outcome;
    outcome.expected = expected;
    try {
        player.Play();
    } catch (const std::exception& e) {
        player.transcript.Section(std::string("scenario error: ") + e.what());
    }
    outcome.actual = player.transcript.text;
    SetDiskFullAfterBytes(-1);
    player.RestoreEnvironment();
    return outcome;
}

bool IsHeadlessOnly(const std::string& file)
{
    for (const std::string& line : Lines(BodyAndExpected(file).first))
        if (line.rfind("@headless-only", 0) == 0 || line.rfind("stop ", 0) == 0)
            return true;
    return false;
}

bool CatalogueMissingFor(const std::string& file)
{
    for (const std::string& line : Lines(BodyAndExpected(file).first))
        if (line == "@catalogue")
            return !fs::exists(HALIOME_TEST_CATALOGUE);
    return false;
}

bool BlessingAsked()
{
    const char* bless = std::getenv("HALIOME_BLESS");
    return bless && std::string(bless) == "1";
}

void BlessScenario(const std::string& file, const std::string& transcript)
{
    WriteFile(ScenariosDir() + "/" + file, BodyAndExpected(file).first + EXPECTED_MARK + "\n" + transcript);
}

std::string TranscriptDifference(const std::string& expected, const std::string& actual)
{
    const std::vector<std::string> a = Lines(expected), b = Lines(actual);
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    std::string text = "transcripts part at line " + std::to_string(i + 1) + " (HALIOME_BLESS=1 to accept):\n";
    const std::size_t from = i < 3 ? 0 : i - 3;
    for (std::size_t k = from; k < i + 4 && k < std::max(a.size(), b.size()); ++k) {
        if (k < a.size() && k < b.size() && a[k] == b[k])
            text += "  " + a[k] + "\n";
        else {
            if (k < a.size())
                text += "- " + a[k] + "\n";
            if (k < b.size())
                text += "+ " + b[k] + "\n";
        }
    }
    return text;
}
