// The scripted backend: records what the program shows and answers from
// queues filled by a test or a batch script.
#include "platform/headless/internal.h"

#include <cstdio>
#include <cstdlib>

Window MainWindow = nullptr;

namespace headless {

State S;

namespace {

void AbortUnanswered(const std::string& what)
{
    std::fprintf(stderr, "headless: unanswered: %s\n", what.c_str());
    std::abort();
}

std::function<void(const std::string&)> Unanswered = AbortUnanswered;
std::function<void(const MessageRecord&)> Observer;
std::function<void(const std::string&)> StatusObserver;

MessageAnswer TakeAnswer(const MessageRecord& box)
{
    if (!S.answers.empty()) {
        MessageAnswer answer = S.answers.front();
        S.answers.pop_front();
        return answer;
    }
    if (box.buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    ReportUnanswered("nothing answers the question \"" + box.caption + "\": " + box.text);
    return box.buttons == MessageButtons::YesNoCancel ? MessageAnswer::Cancel : MessageAnswer::No;
}

bool HasExtension(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

std::optional<std::string> TakeFileChoice(bool save, const FileDialogOptions& dialog)
{
    std::optional<std::string> result;
    if (S.fileChoices.empty()) {
        ReportUnanswered(std::string("nothing answers the ") + (save ? "save" : "open") + " file dialog \"" + dialog.title + "\"");
        return result;
    }
    result = S.fileChoices.front();
    S.fileChoices.pop_front();
    if (result && result->empty())
        result = dialog.proposedName;
    if (result && result->empty()) {
        ReportUnanswered("the file dialog \"" + dialog.title + "\" proposes no name");
        result.reset();
    }
    if (result && !dialog.defaultExtension.empty() && !HasExtension(*result))
        *result += "." + dialog.defaultExtension;
    return result;
}

void SetChecks(const std::vector<MenuItem>& items)
{
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command)
            S.checks[item.command] = item.checked;
        SetChecks(item.items);
    }
}

}  // namespace

void ReportUnanswered(const std::string& what)
{
    Unanswered(what);
}

void QueueAnswer(MessageAnswer answer) { S.answers.push_back(answer); }
void QueueFileChoice(std::optional<std::string> path) { S.fileChoices.push_back(std::move(path)); }
void QueueDialogAction(DialogAction action) { S.dialogActions.push_back(std::move(action)); }
void QueueUserAction(std::function<void()> action) { S.userActions.push_back(std::move(action)); }

void SetUnansweredHandler(std::function<void(const std::string&)> handler)
{
    Unanswered = handler ? std::move(handler) : AbortUnanswered;
}

void SetMessageObserver(std::function<void(const MessageRecord&)> observer)
{
    Observer = std::move(observer);
}

void SetStatusObserver(std::function<void(const std::string&)> observer)
{
    StatusObserver = std::move(observer);
}

const std::vector<MessageRecord>& Messages() { return S.messages; }
const std::vector<DialogRecord>& Dialogs() { return S.dialogs; }
int RepaintCount() { return S.repaints; }
bool WaitCursorShown() { return S.waitCursor; }
const std::vector<DrawOp>& ClientArea() { return S.clientArea; }
const std::vector<DrawOp>& DirectDrawing() { return S.direct; }


void Scroll(ScrollBar bar, ScrollRequest request, int thumbPosition)
{
    if (S.setup.handlers.onScroll)
        S.setup.handlers.onScroll(bar, request, thumbPosition);
}

namespace {

// The program says whether the window may close; it does once no command runs.
void CloseIfAllowed()
{
    S.closeAsked = false;
    if (!S.setup.handlers.onClose || S.setup.handlers.onClose())
        DestroyMainWindow();
}

}  // namespace

void CloseMainWindow()
{
    if (S.commands > 0 || S.longWorkDepth > 0) {
        S.closeAsked = true;
        S.stopAsked = S.longWorkDepth > 0;
        return;
    }
    ++S.commands;  // what the program asks belongs to this close
    CloseIfAllowed();
    --S.commands;
}

void Reset()
{
    S = State{};
    MainWindow = &S.mainWindow;
}

void QueueStop(int poll, bool closeWindow)
{
    S.stopAtPoll = S.polls + poll;
    S.stopCloses = closeWindow;
}

int LongWorkPolls() { return S.polls; }
const std::vector<std::string>& LongWorks() { return S.longWorks; }

void ExpectQueuesEmpty()
{
    if (!S.answers.empty())
        ReportUnanswered(std::to_string(S.answers.size()) + " queued message answer(s) not used");
    if (!S.fileChoices.empty())
        ReportUnanswered(std::to_string(S.fileChoices.size()) + " queued file choice(s) not used");
    if (!S.dialogActions.empty())
        ReportUnanswered(std::to_string(S.dialogActions.size()) + " queued dialog action(s) not used");
    if (S.stopAtPoll > S.polls)
        ReportUnanswered("a stop queued for poll " + std::to_string(S.stopAtPoll) + " was not reached (" +
                         std::to_string(S.polls) + " polls)");
}

std::string OwnerName(Window owner)
{
    return owner ? owner->title : "none";
}

}  // namespace headless

using headless::S;

MessageAnswer ShowMessage(Window owner, const std::string& text, const std::string& caption,
                          MessageButtons buttons, MessageIcon icon)
{
    headless::MessageRecord box{headless::OwnerName(owner), caption, text, buttons, icon, MessageAnswer::Ok};
    box.answer = headless::TakeAnswer(box);
    S.messages.push_back(box);
    if (headless::Observer)
        headless::Observer(box);
    return box.answer;
}

std::optional<std::string> ChooseFileToOpen(Window, const FileDialogOptions& dialog)
{
    return headless::TakeFileChoice(false, dialog);
}

std::optional<std::string> ChooseFileToSave(Window, const FileDialogOptions& dialog)
{
    return headless::TakeFileChoice(true, dialog);
}

bool CreateMainWindow(const MainWindowSetup& setup)
{
    S.setup = setup;
    S.created = true;
    S.loopEnded = false;
    S.checks.clear();
    headless::SetChecks(setup.menu);
    MainWindow = &S.mainWindow;
    if (setup.handlers.onCreate)
        setup.handlers.onCreate();
    return true;
}

void ShowMainWindow()
{
    Repaint();
}

void RunMessageLoop()
{
    while (!S.loopEnded) {
        if (S.userActions.empty()) {
            DestroyMainWindow();  // the user closes the window
            break;
        }
        std::function<void()> action = std::move(S.userActions.front());
        S.userActions.pop_front();
        action();
    }
}

void DestroyMainWindow()
{
    S.loopEnded = true;
}

void SendCommand(int command)
{
    ++S.commands;
    if (S.setup.handlers.onCommand)
        S.setup.handlers.onCommand(command);
    if (S.commands == 1 && S.closeAsked)
        headless::CloseIfAllowed();
    --S.commands;
}

void Repaint()
{
    if (!MainWindow)
        return;
    ++S.repaints;
    if (!S.setup.handlers.onPaint)
        return;
    S.clientArea.clear();
    Canvas canvas{&S.clientArea, Color{}, 0, 0};
    S.setup.handlers.onPaint(&canvas);
}

void SetScrollRange(ScrollBar bar, int min, int max)
{
    headless::ScrollState& s = S.bars[static_cast<int>(bar)];
    s.min = min;
    s.max = max;
    s.position = s.position < min ? min : s.position > max ? max : s.position;
    if (min == 0 && max == 0)
        s.position = 0;
}

void SetScrollPage(ScrollBar bar, int page)
{
    S.bars[static_cast<int>(bar)].page = page < 1 ? 1 : page;
}

void ShowStatus(const std::string& text)
{
    if (headless::StatusObserver)
        headless::StatusObserver(text);
}

void KeepSetting(const std::string& name, const std::string& value)
{
    S.settings[name] = value;
}

std::optional<std::string> KeptSetting(const std::string& name)
{
    auto it = S.settings.find(name);
    if (it == S.settings.end())
        return std::nullopt;
    return it->second;
}

void SetScrollPos(ScrollBar bar, int position)
{
    headless::ScrollState& s = S.bars[static_cast<int>(bar)];
    s.position = position < s.min ? s.min : position > s.max ? s.max : position;
}

int GetScrollPos(ScrollBar bar)
{
    return S.bars[static_cast<int>(bar)].position;
}

void CheckMenuCommand(int command, bool checked)
{
    S.checks[command] = checked;
}

bool IsMenuCommandChecked(int command)
{
    auto it = S.checks.find(command);
    return it != S.checks.end() && it->second;
}

void ShowWaitCursor() { S.waitCursor = true; }
void ShowArrowCursor() { S.waitCursor = false; }

void BeginLongWork(const std::string& what)
{
    if (S.longWorkDepth++ > 0)
        return;
    S.stopAsked = S.closeAsked;  // a close already asked lets no new work start
    S.longWorks.push_back(what);
}

bool KeepWindowAliveAndAskStop(double)
{
    if (S.longWorkDepth == 0)
        return false;
    if (++S.polls == S.stopAtPoll) {
        S.stopAsked = true;
        S.closeAsked = S.closeAsked || S.stopCloses;
    }
    return S.stopAsked;
}

bool EndLongWork()
{
    const bool stopped = S.stopAsked;
    if (S.longWorkDepth > 0 && --S.longWorkDepth == 0) {
        S.stopAsked = false;
        if (S.closeAsked && S.commands == 0) {
            ++S.commands;
            headless::CloseIfAllowed();
            --S.commands;
        }
    }
    return stopped;
}
