// "Période à exporter": the month or the whole year whose tides an export
// holds, asked before the file.
#pragma once

#include <optional>
#include <string>

#include "exports/tides.h"
#include "platform/platform.h"

inline constexpr int PERIOD_YEAR_ID = 102;   // read as the tide-times dialog reads its year
inline constexpr int PERIOD_MONTH_ID = 103;  // the twelve months, then the whole year (WHOLE_YEAR)

extern const DialogTemplate ExportPeriodTemplate;

struct ExportPeriod {
    long year = 0;  // full year
    int month = 0;  // C month, or WHOLE_YEAR
};

// Runs the dialog modally, owned by the main window. Nothing when the user
// cancels. A year that is not a number, or a period the C library cannot
// convert, is said in a message box and the dialog stays open.
std::optional<ExportPeriod> AskExportPeriod();

void ExportPeriodDialog(Window dialog, DialogEvent event, int id, int notification);

// What the dialog shows when it opens: the last choice made in this run.
struct ExportPeriodChoice {
    std::string yearEntry;  // empty: this year
    int month = WHOLE_YEAR;
};
extern ExportPeriodChoice LastExportPeriod;
