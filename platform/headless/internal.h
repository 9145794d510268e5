// State shared by the files of the headless backend.
#pragma once

#include <deque>
#include <map>

#include "platform/headless/headless.h"

struct PlatformWindow {
    std::string title;
    // Dialogs only:
    struct Control {
        ControlKind kind = ControlKind::Label;
        std::string text;
        std::vector<std::string> items;
        int selection = -1;
        bool checked = false;
        bool enabled = true;
    };
    std::map<int, Control> controls;
    bool ended = false;
    int result = 0;
};

struct Canvas {
    std::vector<headless::DrawOp>* target = nullptr;
    Color pen;
    int x = 0, y = 0;
};

namespace headless {

struct State {
    PlatformWindow mainWindow{"main window", {}, false, 0};
    MainWindowSetup setup;
    bool created = false;
    bool loopEnded = false;
    std::map<int, bool> checks;
    ScrollState bars[2];
    std::map<std::string, std::string> settings;  // this run's: nothing is kept for the next

    std::deque<MessageAnswer> answers;
    std::deque<std::optional<std::string>> fileChoices;
    std::deque<DialogAction> dialogActions;
    std::deque<std::function<void()>> userActions;

    std::vector<MessageRecord> messages;
    std::vector<DialogRecord> dialogs;
    std::vector<DrawOp> clientArea;
    std::vector<DrawOp> direct;
    int repaints = 0;
    bool waitCursor = false;

    int commands = 0;  // commands running, one inside another
    int longWorkDepth = 0;
    int polls = 0;
    int stopAtPoll = 0;  // 0: no stop queued
    bool stopCloses = false;
    bool stopAsked = false;
    bool closeAsked = false;
    std::vector<std::string> longWorks;
};

extern State S;

void ReportUnanswered(const std::string& what);

}  // namespace headless
