// haliome-cli: the program's computations for scripts, without a window and
// without a script of user actions. Each subcommand starts from the files it
// is given: a record to fit, or a wave file to predict from.
//
//   fit RECORD.TXT [--known] -o WAVES.TID [--compare STATION]
//   tides WAVES.TID --from DATE --to DATE [--format text|csv|ics|json] [--utc]
//   predict WAVES.TID --from DATE --to DATE --step MINUTES [--format csv|json] [--utc]
//   pdf WAVES.TID --year YEAR -o TABLES.PDF
//   stations [QUERY] [--near LAT,LON] [--country CC] [--format text|json]
//   station ID -o WAVES.TID [--year YEAR]
//
// --station ID (or a unique name) gives tides, predict and pdf the port of
// a station of the catalogue instead of a wave file.
//
// Dates are ISO 8601, YYYY-MM-DD or YYYY-MM-DDTHH:MM, on the local clock (TZ)
// or in UTC with --utc; a date alone as --to takes in that whole day.
#pragma once

#include <ostream>

// Runs the command line and returns the exit status: 0 when done (and for
// --help and --version), 2 on bad usage, 1 when a file cannot be read or
// written or is refused. Results go to out, messages to errors.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& errors);
