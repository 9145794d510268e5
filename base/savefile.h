// Every file the program writes goes through here, whole, so that a full
// disk, a read-only folder or a crash part-way never leaves a damaged file
// behind: the bytes go to a new file in the same folder, are flushed to the
// disk, and only then take the old file's name.
#pragma once

#include <string>
#include <string_view>

// Replaces the file at path (following a symbolic link) by bytes. False on
// failure, with why set to the system's reason in French; the file is then
// as it was, or still absent. A device or a pipe is written in place, every
// write checked.
bool SaveFileBytes(const std::string& path, std::string_view bytes, std::string& why);

// The system's reason for an error number, in French.
std::string SystemReasonText(int errorNumber);
