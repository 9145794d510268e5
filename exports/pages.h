// The printable tide tables: the contents of one A4 page per month, as
// texts in rows and columns. What draws them (exports/qt) only places them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "exports/tides.h"

struct TableRow {
    std::vector<std::string> cells;
    bool sunday = false;  // shaded, so that the weeks show
};

// How the columns of a page are grouped under one heading.
struct ColumnGroup {
    std::string heading;
    int columns = 0;
};

struct TablePage {
    std::string title;                  // "Vlissingen — mars 2009"
    std::vector<std::string> notes;     // under the title: the clock used
    std::vector<ColumnGroup> groups;    // over the column heads
    std::vector<std::string> heads;     // one per column
    std::vector<TableRow> rows;         // one per day
    std::vector<std::string> footer;    // the model used, and what the heights leave out
};

// A month (0 to 11) of a full year, or every month of it when month is
// WHOLE_YEAR, one page each, from the model in memory. Nothing when the C
// library cannot convert one of the months. A secondary port's pages say at
// their foot how its tides were made (OffsetsNote).
std::optional<std::vector<TablePage>> TablePages(long year, int month);

// The line that says what the heights are, at the foot of every page.
extern const char* const PREDICTION_NOTE;
