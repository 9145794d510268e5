// haliome-cli: the program's computations for scripts, without a window and
// without a script of user actions. Each subcommand starts from the files it
// is given: a record to fit, or a wave file to predict from.
//
//   import FILE -o RECORD.TXT [--name NAME] [--from DATE] [--to DATE]
//   fit RECORD.TXT [--known] -o WAVES.TID [--compare STATION]
//   tides WAVES.TID --from DATE --to DATE [--format text|csv|ics|json] [--utc] [--units m|ft]
//   predict WAVES.TID --from DATE --to DATE --step MINUTES [--format csv|json|text] [--utc] [--units m|ft]
//   pdf WAVES.TID --year YEAR -o TABLES.PDF
//   stations [QUERY] [--near LAT,LON] [--country CC] [--format text|json]
//   station ID -o WAVES.TID [--year YEAR]
//
// --station ID (or a unique name) gives tides, predict and pdf the port of
// a station of the catalogue instead of a wave file.
//
// tides, predict and pdf apply the nodal corrections when a date asked for
// falls outside the wave set's year; --nodal applies them always, --no-nodal
// never.
//
// each with --tz ZONE (the port's zone) and --datum NAME[=OFFSET]. Dates are
// ISO 8601 as TimeOfIsoDate reads them, every form the outputs write among
// them: YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS] on the port's clock (its zone,
// or the computer's, TZ, for a port that names none) or in UTC with --utc,
// or with Z or an offset. A period includes --from and leaves --to out, in
// every subcommand; a date alone as --to takes in that whole day.
//
// -o - writes to standard output. Text on standard output (tables, CSV,
// JSON, a record or wave file) ends its lines with LF, as the tools of a
// pipe read them; files keep their CR LF, and iCalendar keeps its CR LF
// everywhere, as its format demands.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

// Runs the command line and returns the exit status: 0 when done (and for
// --help and --version), 2 on bad usage, 1 when a file cannot be read or
// written or is refused, out included (a full device, a closed pipe).
// Results go to out, messages to errors, in French as the program's outputs
// and the messages of the computations it shares with the window are.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& errors);

// Writes bytes as the whole file at path (WriteExportFile), or to out when
// path is "-"; there a text's CR LF become LF. False when the file cannot be
// written, which its message has said; a failure of out is found when the
// command ends.
bool WriteOutput(const std::string& path, std::string_view bytes, bool text, std::ostream& out);
