// The printable tide tables as a PDF document: one A4 page per TablePage.
// Made with Qt's PDF writer (exports/qt); no Qt header here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "exports/pages.h"

// The bytes of the PDF file, titled title. Nothing when the writer fails.
// Outside the desktop program, Qt is started for it on the offscreen
// platform, without a window.
std::optional<std::string> PdfOfPages(const std::vector<TablePage>& pages, const std::string& title);
