// Every file the program writes goes through here, whole, so that a full
// disk, a read-only folder or a crash part-way never leaves a damaged file
// behind: the bytes go to a new file in the same folder, are flushed to the
// disk, and only then take the old file's name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

// Replaces the file at path (following a symbolic link) by bytes. False on
// failure, with why set to the system's reason in French; the file is then
// as it was, or still absent. A device or a pipe is written in place, every
// write checked; so is a file with other hard links, once the new bytes are
// safe beside it.
bool SaveFileBytes(const std::string& path, std::string_view bytes, std::string& why);

// Whether a and b name one file, their links followed: a file that does not
// exist is no other.
bool NamesSameFile(const std::string& a, const std::string& b);

// The system's reason for an error number, in French.
std::string SystemReasonText(int errorNumber);

// The save dialog, which asks before a file that exists is replaced: Non
// gives the dialog again. The path chosen, or nothing when cancelled.
std::optional<std::string> ChooseFileToWrite(Window owner, const FileDialogOptions& dialog);

// A file name made of a text (a port's name): letters, digits, blanks, '-',
// '_' and '.' are kept, any other character becomes '-'; "Haliome" for a
// text that keeps nothing.
std::string FileNameOf(const std::string& text);
