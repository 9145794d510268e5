// The scripted backend: records what the program shows and answers from
// queues filled by a test or a batch script.
#include "platform/headless/headless.h"

#include <cstdio>
#include <cstdlib>
#include <deque>

struct PlatformWindow {
    std::string title;
};

Window MainWindow = nullptr;

namespace {

PlatformWindow HeadlessMainWindow{"main window"};

std::deque<MessageAnswer> Answers;
std::deque<std::optional<std::string>> FileChoices;
std::vector<headless::MessageRecord> ShownMessages;
std::vector<headless::FileDialogRecord> ShownFileDialogs;
int Repaints = 0;
bool WaitCursor = false;

void AbortUnanswered(const std::string& what)
{
    std::fprintf(stderr, "headless: unanswered: %s\n", what.c_str());
    std::abort();
}

std::function<void(const std::string&)> Unanswered = AbortUnanswered;
std::function<void(const headless::MessageRecord&)> Observer;

MessageAnswer TakeAnswer(const headless::MessageRecord& box)
{
    if (!Answers.empty()) {
        MessageAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    if (box.buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    Unanswered("Yes/No message box \"" + box.caption + "\": " + box.text);
    return MessageAnswer::No;
}

bool HasExtension(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

std::optional<std::string> TakeFileChoice(bool save, Window owner, const FileDialogOptions& dialog)
{
    headless::FileDialogRecord record{save, headless::OwnerName(owner), dialog, std::nullopt};
    if (FileChoices.empty()) {
        Unanswered(std::string(save ? "save" : "open") + " file dialog \"" + dialog.title + "\"");
    } else {
        record.result = FileChoices.front();
        FileChoices.pop_front();
        if (record.result && !dialog.defaultExtension.empty() && !HasExtension(*record.result))
            *record.result += "." + dialog.defaultExtension;
    }
    ShownFileDialogs.push_back(record);
    return record.result;
}

}  // namespace

MessageAnswer ShowMessage(Window owner, const std::string& text, const std::string& caption,
                          MessageButtons buttons, MessageIcon icon)
{
    headless::MessageRecord box{headless::OwnerName(owner), caption, text, buttons, icon,
                                MessageAnswer::Ok};
    box.answer = TakeAnswer(box);
    ShownMessages.push_back(box);
    if (Observer)
        Observer(box);
    return box.answer;
}

std::optional<std::string> ChooseFileToOpen(Window owner, const FileDialogOptions& dialog)
{
    return TakeFileChoice(false, owner, dialog);
}

std::optional<std::string> ChooseFileToSave(Window owner, const FileDialogOptions& dialog)
{
    return TakeFileChoice(true, owner, dialog);
}

void Repaint()
{
    if (MainWindow)
        ++Repaints;
}

void ShowWaitCursor() { WaitCursor = true; }
void ShowArrowCursor() { WaitCursor = false; }

namespace headless {

void QueueAnswer(MessageAnswer answer) { Answers.push_back(answer); }
void QueueFileChoice(std::optional<std::string> path) { FileChoices.push_back(std::move(path)); }

void SetUnansweredHandler(std::function<void(const std::string&)> handler)
{
    Unanswered = handler ? std::move(handler) : AbortUnanswered;
}

void SetMessageObserver(std::function<void(const MessageRecord&)> observer)
{
    Observer = std::move(observer);
}

const std::vector<MessageRecord>& Messages() { return ShownMessages; }
const std::vector<FileDialogRecord>& FileDialogs() { return ShownFileDialogs; }
int RepaintCount() { return Repaints; }
bool WaitCursorShown() { return WaitCursor; }

void Reset()
{
    Answers.clear();
    FileChoices.clear();
    ShownMessages.clear();
    ShownFileDialogs.clear();
    Repaints = 0;
    WaitCursor = false;
    MainWindow = &HeadlessMainWindow;
}

void ExpectQueuesEmpty()
{
    if (!Answers.empty())
        Unanswered(std::to_string(Answers.size()) + " queued message answer(s) not used");
    if (!FileChoices.empty())
        Unanswered(std::to_string(FileChoices.size()) + " queued file choice(s) not used");
}

std::string OwnerName(Window owner)
{
    return owner ? owner->title : "none";
}

}  // namespace headless
