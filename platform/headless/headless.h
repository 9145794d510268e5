// Control of the headless backend: what the tests and the batch program use
// to answer the program's questions, act as the user, and read back what the
// program showed and drew.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/svg.h"

namespace headless {

// ---- What the program showed -----------------------------------------------

struct MessageRecord {
    std::string owner;  // "main window", "none", or the owning dialog's title
    std::string caption;
    std::string text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    MessageAnswer answer = MessageAnswer::Ok;
};

struct DialogRecord {
    std::string title;
    std::string owner;
    int result = 0;
    std::map<int, std::string> finalTexts;  // text of each control when the dialog ended
};

// One thing drawn on the client area (see platform/svg.h).
using DrawOp = ::DrawOp;

const std::vector<MessageRecord>& Messages();
const std::vector<DialogRecord>& Dialogs();
int RepaintCount();
bool WaitCursorShown();

// What the client area shows now: the last paint and whatever was drawn
// directly after it.
const std::vector<DrawOp>& ClientArea();
// Everything drawn directly (outside paints) since the last Reset.
const std::vector<DrawOp>& DirectDrawing();

struct ScrollState {
    int min = 0, max = 0, position = 0, page = 1;
};

// The client area as an SVG picture of its size.
std::string ClientAreaSvg();

// Drawing is recorded unless this is turned off (Reset leaves it as it is):
// a fuzzing harness that never reads the drawing back saves the time.
void RecordDrawing(bool on);

// ---- Answers and user actions ---------------------------------------------

// Answers are taken in order by the next message boxes. An OK box with no
// queued answer is accepted; a box with a question and none is reported to
// the unanswered handler and then answered No (Cancel when it offers it).
void QueueAnswer(MessageAnswer answer);

// The next file dialog returns this path (the default extension is added as
// the real dialog would), or is cancelled when the choice is nothing. An
// empty path takes the name the dialog proposes. A file dialog with nothing
// queued is reported to the unanswered handler and then cancelled.
void QueueFileChoice(std::optional<std::string> path);

// What the user does in the next modal dialogs, in order. A dialog that
// waits with nothing queued is reported to the unanswered handler and then
// closed as by Escape.
struct DialogAction {
    enum class Kind {
        Type,         // replace the text of edit control id
        Select,       // choose entry index of list or drop-down list id (notifies)
        DoubleClick,  // double-click entry index of list id
        Tick,         // set check box id to checked (notifies as a click)
        Click,        // press button id
        Close,        // Escape or the close box
        Inspect,      // call inspect with the dialog, nothing else
    };
    Kind kind = Kind::Click;
    int id = NO_ID;
    std::string text;
    int index = -1;
    bool checked = true;
    std::string expectedTitle;  // when set, the dialog must have this title
    std::function<void(Window)> inspect;

    static DialogAction TypeInto(int id, std::string text) { return {Kind::Type, id, std::move(text), -1, true, {}, {}}; }
    static DialogAction Choose(int id, int index) { return {Kind::Select, id, {}, index, true, {}, {}}; }
    static DialogAction DoubleClickOn(int id, int index) { return {Kind::DoubleClick, id, {}, index, true, {}, {}}; }
    static DialogAction TickBox(int id, bool checked = true) { return {Kind::Tick, id, {}, -1, checked, {}, {}}; }
    static DialogAction Press(int id) { return {Kind::Click, id, {}, -1, true, {}, {}}; }
    static DialogAction CloseDialog() { return {Kind::Close, NO_ID, {}, -1, true, {}, {}}; }
    static DialogAction InspectWith(std::function<void(Window)> f) { return {Kind::Inspect, NO_ID, {}, -1, true, {}, std::move(f)}; }
    // The same action, for the dialog of this title only.
    DialogAction In(std::string title) const { DialogAction a = *this; a.expectedTitle = std::move(title); return a; }
};
void QueueDialogAction(DialogAction action);

// Actions the message loop carries out in order, as the user's commands,
// scrolls and the like. When none is left the user closes the window.
void QueueUserAction(std::function<void()> action);

// The nth call of KeepWindowAliveAndAskStop from now on (1: the next one)
// finds that the user asked the long work to stop: by Escape, or by the main
// window's close box when closeWindow is set (the window is then destroyed
// once the command that runs the work has returned).
void QueueStop(int poll, bool closeWindow = false);

// Calls of KeepWindowAliveAndAskStop inside long work, and what each long
// work said it does, in order.
int LongWorkPolls();
const std::vector<std::string>& LongWorks();

// Called with a description whenever the program asks something the queues
// do not answer. By default it prints the description and aborts.
void SetUnansweredHandler(std::function<void(const std::string&)> handler);

// Called after every message box is recorded (the batch program prints them).
void SetMessageObserver(std::function<void(const MessageRecord&)> observer);
// Called with each text the status bar shows.
void SetStatusObserver(std::function<void(const std::string&)> observer);

// Acts on the main window as the user would.
void Scroll(ScrollBar bar, ScrollRequest request, int thumbPosition = 0);
// The main window's close box: the program is asked (onClose) once no
// command runs.
void CloseMainWindow();

// Clears queues, records and the window, and makes a bare main window exist
// (no menu, no handlers), so that message boxes have their usual owner.
void Reset();

// Fails (through the unanswered handler) when answers are left unused.
void ExpectQueuesEmpty();

std::string OwnerName(Window owner);

}  // namespace headless
