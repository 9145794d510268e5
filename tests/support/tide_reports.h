// The tides as the program's outlets show them, read back by the tests: the
// plain tide-times report (the reference every export must match) and the
// CSV rows of an export.
#pragma once

#include <ctime>
#include <string>
#include <vector>

// A tide of the plain report: local clock to the minute, height to 0.1 m.
struct ReportTide {
    int day = 0, hour = 0, minute = 0;
    double height = 0;  // m, one decimal
    bool high = false;
    int coefficient = 0;
};

// The tides of a plain report, as computed (latest first) or as the dialog
// shows it, in the order of the local clock (a month has no two tides in
// the hour that a change of clock repeats).
std::vector<ReportTide> ReadPlainReport(const std::string& text);

// A row of the tides CSV.
struct CsvTide {
    std::string time;    // as written
    std::tm clock{};     // its date and time fields
    long offsetSeconds = 0;
    bool high = false;
    double height = 0;   // m
    std::string coefficient;
};

// The data rows of a tides CSV; a row of another shape fails the test.
std::vector<CsvTide> ReadTidesCsv(const std::string& csv);

// The model the window determines at start-up on the example port
// (Vlissingen 2009): mean level and the five listed waves.
void DetermineExamplePortModel();

// Runs a command and returns what it printed; its exit status in status.
std::string OutputOf(const std::string& command, int& status);
