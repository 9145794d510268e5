#include "shell/script.h"

#include <algorithm>
#include <functional>
#include <sstream>
#include <vector>

#include "base/log.h"
#include "base/savefile.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/menu.h"

namespace {

using Action = headless::DialogAction;

// One step of the script: its main action, and what answers the questions
// that action asks.
struct Step {
    int line = 0;
    std::string text;
    std::function<void()> run;
    std::vector<std::function<void()>> answers;
};

struct Script {
    std::vector<std::function<void()>> startAnswers;
    std::vector<Step> steps;
    std::string error;
};

bool ParseRequest(const std::string& word, ScrollRequest& request)
{
    const std::pair<const char*, ScrollRequest> names[] = {
        {"line-up", ScrollRequest::LineUp},       {"line-down", ScrollRequest::LineDown},
        {"page-up", ScrollRequest::PageUp},       {"page-down", ScrollRequest::PageDown},
        {"thumb-track", ScrollRequest::ThumbTrack}, {"thumb-position", ScrollRequest::ThumbPosition},
        {"top", ScrollRequest::Top},              {"bottom", ScrollRequest::Bottom},
        {"end-scroll", ScrollRequest::EndScroll},
    };
    for (const auto& [name, value] : names)
        if (word == name) {
            request = value;
            return true;
        }
    return false;
}

// The rest of the line after the first two words (a typed text keeps its blanks).
std::string RestAfterTwoWords(const std::string& line)
{
    std::size_t p = line.find_first_not_of(' ');
    p = line.find(' ', p);
    p = line.find_first_not_of(' ', p);
    p = line.find(' ', p);
    return p == std::string::npos ? "" : line.substr(p + 1);
}

// More entries than a reader follows (the system's time zones): such a list
// is printed by its text.
constexpr std::size_t PRINTED_ENTRIES = 100;

// A control's text, or a list's entries with the chosen one marked.
void PrintControl(std::ostream& out, Window dialog, int id)
{
    out << "--- control " << id << (IsControlEnabled(dialog, id) ? "" : " (greyed)") << "\n";
    std::vector<std::string> items = GetItems(dialog, id);
    if (items.size() > PRINTED_ENTRIES)
        items.clear();
    if (items.empty())
        out << GetControlText(dialog, id) << "\n";
    for (std::size_t i = 0; i < items.size(); ++i)
        out << (static_cast<int>(i) == SelectedItem(dialog, id) ? "[x] " : "[ ] ") << items[i] << "\n";
    out << "---\n";
}

std::string WithoutMnemonic(std::string text)
{
    std::erase(text, '&');
    return text;
}

// A menu text as a script may write it: without its & and without the
// ellipsis that ends an item opening a dialog, "…" or "...", whichever the
// script or the menu writes.
std::string MenuWords(std::string text)
{
    text = WithoutMnemonic(text);
    for (std::size_t at; (at = text.find("…")) != std::string::npos;)
        text.replace(at, std::string_view("…").size(), "...");
    while (text.ends_with("...") && !text.ends_with(" ..."))
        text.erase(text.size() - 3);
    return text;
}

bool MenuHasCommand(const std::vector<MenuItem>& items, int command)
{
    return std::any_of(items.begin(), items.end(), [command](const MenuItem& item) {
        return (item.kind == MenuItem::Kind::Command && item.command == command) ||
               MenuHasCommand(item.items, command);
    });
}

// The command of the menu item of that text; 0 when none.
int CommandOfMenuText(const std::vector<MenuItem>& items, const std::string& text)
{
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command && MenuWords(item.text) == MenuWords(text))
            return item.command;
        if (const int inner = CommandOfMenuText(item.items, text))
            return inner;
    }
    return 0;
}

void PrintCheckedItems(std::ostream& out, const std::vector<MenuItem>& items, bool top = true)
{
    if (top)
        out << "--- checked menu items\n";
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command && IsMenuCommandChecked(item.command))
            out << WithoutMnemonic(item.text) << "\n";
        PrintCheckedItems(out, item.items, false);
    }
    if (top)
        out << "---\n";
}

std::optional<MessageAnswer> AnswerNamed(const std::string& word)
{
    if (word == "Oui")
        return MessageAnswer::Yes;
    if (word == "Non")
        return MessageAnswer::No;
    if (word == "Annuler")
        return MessageAnswer::Cancel;
    if (word == "OK")
        return MessageAnswer::Ok;
    return std::nullopt;
}

struct Parser {
    std::ostream& out;
    std::ostream& errors;
    Script script;

    void AddAnswer(std::function<void()> answer)
    {
        if (script.steps.empty())
            script.startAnswers.push_back(std::move(answer));
        else
            script.steps.back().answers.push_back(std::move(answer));
    }

    void AddDialogAction(Action action) { AddAnswer([action] { headless::QueueDialogAction(action); }); }

    bool ParseScroll(std::istringstream& words, Step& step)
    {
        std::string barName, requestName;
        int position = 0;
        ScrollRequest request{};
        if (!(words >> barName >> requestName) || (barName != "h" && barName != "v") ||
            !ParseRequest(requestName, request))
            return false;
        words >> position;
        ScrollBar bar = barName == "h" ? ScrollBar::Horizontal : ScrollBar::Vertical;
        step.run = [=] { headless::Scroll(bar, request, position); };
        return true;
    }

    bool ParseMainAction(const std::string& verb, std::istringstream& words, Step& step)
    {
        if (verb == "command") {
            int command = 0;
            if (!(words >> command))
                return false;
            step.run = [command] { SendCommand(command); };
            return MenuHasCommand(MainMenu(), command);
        }
        if (verb == "menu") {
            std::string text;
            std::getline(words >> std::ws, text);
            const int command = CommandOfMenuText(MainMenu(), text);
            step.run = [command] { SendCommand(command); };
            return command != 0;
        }
        std::string word;
        if (verb == "print" && words >> word && word == "checked") {
            std::ostream& o = out;
            step.run = [&o] { PrintCheckedItems(o, MainMenu()); };
            return true;
        }
        if (verb == "scroll")
            return ParseScroll(words, step);
        if (verb == "quit") {
            step.run = [] { headless::CloseMainWindow(); };
            return true;
        }
        if (verb == "svg") {
            std::string path;
            if (!(words >> path))
                return false;
            step.run = [path, this] { WriteSvg(path); };
            return true;
        }
        return false;
    }

    void WriteSvg(const std::string& path)
    {
        std::string why;
        if (!SaveFileBytes(path, headless::ClientAreaSvg(), why))
            errors << "haliome-batch: cannot write " << path << " (" << why << ")\n";
    }

    bool ParseAnswer(const std::string& verb, const std::string& line, std::istringstream& words)
    {
        std::string word;
        int id = 0, index = 0;
        if (verb == "answer" && words >> word && AnswerNamed(word)) {
            const MessageAnswer answer = *AnswerNamed(word);
            AddAnswer([answer] { headless::QueueAnswer(answer); });
        } else if (verb == "file") {
            std::optional<std::string> choice = "";  // the name the dialog proposes
            if (words >> word)
                choice = word == "cancel" ? std::nullopt : std::optional(line.substr(line.find(word)));
            AddAnswer([choice] { headless::QueueFileChoice(choice); });
        } else if (verb == "type" && words >> id) {
            AddDialogAction(Action::TypeInto(id, RestAfterTwoWords(line)));
        } else if ((verb == "select" || verb == "double-click") && words >> id >> index) {
            AddDialogAction(verb == "select" ? Action::Choose(id, index) : Action::DoubleClickOn(id, index));
        } else if (verb == "tick" && words >> id) {
            AddDialogAction(Action::TickBox(id, !(words >> word) || word != "off"));
        } else if (verb == "click" && words >> id) {
            AddDialogAction(Action::Press(id));
        } else if (verb == "stop" && words >> index && index > 0 && (!(words >> word) || word == "close")) {
            const bool closeWindow = word == "close";
            AddAnswer([index, closeWindow] { headless::QueueStop(index, closeWindow); });
        } else if (verb == "close") {
            AddDialogAction(Action::CloseDialog());
        } else if (verb == "print" && words >> id) {
            std::ostream& o = out;
            AddDialogAction(Action::InspectWith([id, &o](Window dialog) { PrintControl(o, dialog, id); }));
        } else {
            return false;
        }
        return true;
    }

    bool ParseLine(int number, const std::string& line)
    {
        std::istringstream words(line);
        std::string verb;
        if (!(words >> verb) || verb[0] == '#')
            return true;
        Step step{number, line, {}, {}};
        if (ParseMainAction(verb, words, step)) {
            script.steps.push_back(std::move(step));
            return true;
        }
        std::istringstream again(line);
        again >> verb;
        return ParseAnswer(verb, line, again);
    }
};

// A box is printed by its kind, which its icon shows.
const char* IconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return "information";
    case MessageIcon::Question: return "question";
    case MessageIcon::Warning: return "warning";
    case MessageIcon::Error: return "error";
    case MessageIcon::None: break;
    }
    return "message";
}

const char* AnswerName(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Yes: return "Oui";
    case MessageAnswer::No: return "Non";
    case MessageAnswer::Cancel: return "Annuler";
    case MessageAnswer::Ok: break;
    }
    return "OK";
}

}  // namespace

int RunScript(const std::string& text, std::ostream& out, std::ostream& errors,
              const std::function<void()>& afterStartUp)
{
    Parser parser{out, errors, {}};
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!parser.ParseLine(number, line)) {
            errors << "haliome-batch: line " << number << " is not understood: " << line << "\n";
            return 2;
        }
    }

    bool failed = false;
    headless::Reset();
    headless::SetUnansweredHandler([&](const std::string& what) {
        errors << "haliome-batch: " << what << "\n";
        failed = true;
    });
    headless::SetMessageObserver([&](const headless::MessageRecord& box) {
        out << "--- " << IconName(box.icon) << " \"" << box.caption << "\" (" << AnswerName(box.answer) << ")\n"
            << box.text << "\n---\n";
    });
    headless::SetStatusObserver([&](const std::string& said) { out << "--- status: " << said << "\n"; });
    for (const auto& answer : parser.script.startAnswers)
        answer();
    if (afterStartUp)
        headless::QueueUserAction(afterStartUp);
    bool actionFailed = false;  // said, and the script goes on as the user would
    for (const Step& step : parser.script.steps)
        headless::QueueUserAction([&step, &failed, &actionFailed, &errors] {
            if (failed)
                return;
            const int failedBefore = FailedActions;
            for (const auto& answer : step.answers)
                answer();
            step.run();
            headless::ExpectQueuesEmpty();
            if (failed)
                errors << "haliome-batch: at line " << step.line << ": " << step.text << "\n";
            else if (FailedActions != failedBefore) {
                errors << "haliome-batch: line " << step.line << " failed: " << step.text << "\n";
                actionFailed = true;
            }
        });
    RunProgram();
    headless::SetMessageObserver(nullptr);
    headless::SetStatusObserver(nullptr);
    headless::SetUnansweredHandler(nullptr);
    return failed ? 2 : actionFailed ? 1 : 0;
}
