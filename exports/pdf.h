// The printable tide tables as a PDF document: one A4 page per TablePage,
// drawn by Qt's PDF writer. The drawing lives in a module of its own
// (exports/qt), loaded at the first document, so that the programs start
// without Qt's libraries: the command line's fits do not pay for them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "exports/pages.h"

// The bytes of the PDF file, titled title. When the module cannot be loaded
// or the writer fails, the user is told (message box owned by the main
// window, and a log line) and nothing is returned. Outside the desktop
// program, Qt is started on the offscreen platform, without a window.
std::optional<std::string> PdfOfPages(const std::vector<TablePage>& pages, const std::string& title);

// What the module exports, for the loader: false when the writer fails.
using PdfWriterFunction = bool (*)(const std::vector<TablePage>& pages, const std::string& title, std::string& pdf);
inline constexpr const char* PDF_WRITER_SYMBOL = "HaliomePdfOfPages";
