// Control of the headless backend: what the tests and the batch program use
// to answer the program's questions and to read back what it showed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

struct MessageRecord {
    std::string owner;  // "main window", "none", or the owning dialog's title
    std::string caption;
    std::string text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    MessageAnswer answer = MessageAnswer::Ok;
};

struct FileDialogRecord {
    bool save = false;
    std::string owner;
    FileDialogOptions options;
    std::optional<std::string> result;
};

// Answers are taken in order by the next message boxes. An OK box with no
// queued answer is accepted; a Yes/No box with none is reported to the
// unanswered handler and then answered No.
void QueueAnswer(MessageAnswer answer);

// The next file dialog returns this path (the default extension is added as
// the real dialog would), or is cancelled when the choice is empty. A file
// dialog with nothing queued is reported to the unanswered handler and then
// cancelled.
void QueueFileChoice(std::optional<std::string> path);

// Called with a description whenever the program asks something the queue
// does not answer. By default it prints the description and aborts.
void SetUnansweredHandler(std::function<void(const std::string&)> handler);

// Called after every message box is recorded (the batch program prints them).
void SetMessageObserver(std::function<void(const MessageRecord&)> observer);

const std::vector<MessageRecord>& Messages();
const std::vector<FileDialogRecord>& FileDialogs();
int RepaintCount();
bool WaitCursorShown();

// Clears queues and records and makes the main window exist.
void Reset();

// Fails (through the unanswered handler) when answers are left unused.
void ExpectQueuesEmpty();

std::string OwnerName(Window owner);

}  // namespace headless
