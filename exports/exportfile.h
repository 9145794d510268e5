// Where the exports write their files: one function, so that every export
// is written the same way.
#pragma once

#include <string>
#include <string_view>

// Writes bytes as the whole file at path, all or nothing (SaveFileBytes). A
// file that cannot be written stays as it was and is reported (message box
// owned by the main window, and a log line naming the file and the system's
// reason) and false is returned.
bool WriteExportFile(const std::string& path, std::string_view bytes);
