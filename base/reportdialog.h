// A long text in a window of its own: the report of an analysis, read-only,
// closed by its default button or Escape.
#pragma once

#include <string>

#include "platform/platform.h"

// Runs dialog modally, owned by the main window, with text (its lines ended
// by CR LF there) in the report control reportId.
void ShowReportDialog(const DialogTemplate& dialog, int reportId, const std::string& text);
