// The log: a running account of what the program did, "Haliome.log" in the
// working directory, created afresh at each start. UTF-8, CR LF line ends.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/platform.h"

// Opens the log and writes the welcome text. When the file cannot be opened
// the user is told, and the program runs without a log.
void OpenLog();
void CloseLog();

// Appends formatted text, through to the file at once; does nothing while
// the log is not open.
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogText(std::string_view text);

// A report the user reads and the log keeps alike: text in a message box
// with an OK button, then text followed by logSuffix in the log.
void ShowMessageAndLog(Window owner, const std::string& text, const std::string& caption, MessageIcon icon,
                       std::string_view logSuffix = "");

inline constexpr const char* LOG_FILE_NAME = "Haliome.log";

extern std::FILE* LogFile;  // null while the log is not open

// What the user asked for and did not get since the start: a file not
// written, a conversion refused. Each was said where it failed; the batch
// program's exit status counts them.
extern int FailedActions;
