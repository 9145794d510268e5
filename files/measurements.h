// Heights measured by a tide gauge, as the files that gauge services and
// archives distribute give them, and the hourly record they become.
//
// One reader per format, each recognising its format from the content:
// UHSLC hourly CSV, GESLA station files, NOAA CO-OPS CSV, Rijkswaterstaat
// DIA exports, MEDS and BOM hourly CSV, NOOS text, and a plain text of ISO
// 8601 dates and times with heights.
// The times are taken on the file's clock, which is the file's time zone;
// the hourly record is in the program's time base (local standard time) and
// takes the value at each whole hour, an hour without one being missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "files/gaugeformats.h"

// "m", "cm", "mm", "ft".
const char* UnitSymbol(HeightUnit unit);

// A century of levels every minute, as the longest rows of the formats
// write them, is some 3 GB; a century every six minutes, well under this.
// A larger file is refused unread.
inline constexpr std::size_t MAX_MEASUREMENT_FILE_BYTES = std::size_t{1} << 30;

// Reads the gauge file at path, recognising its format from the content;
// false with a French message naming the file (and the line) when it cannot,
// when it is larger than MAX_MEASUREMENT_FILE_BYTES, or when the memory runs
// out while it is read.
bool ReadMeasurementFile(const std::string& path, Measurements& out, std::string& message);

// What the import dialog shows of the measurements, one text per line.
struct MeasurementFacts {
    std::string format, station, first, last, values, interval, zone, unit;
};
MeasurementFacts FactsOf(const Measurements& m);

// Offsets from UTC as "UTC", "UTC+01:00", "UTC-05:30"; read back from such a
// text, or "+1", "-5", "5.5", "+05:30" (at most 14 h either way).
std::string ZoneText(int zoneMinutes);
std::optional<int> ZoneFromText(const std::string& text);

// What the user says of the port whose record an import makes.
struct PortChoices {
    std::string zone;                      // IANA name; empty: none, the computer's zone applies
    std::string name;                      // empty: the station the file names (or the file's name)
    std::optional<std::string> datumName;  // none: the datum the file names, if any
    std::optional<double> datumOffset;     // m: the mean level above the datum; none: the record's zero
    std::optional<CalendarTime> from, to;  // only the measurements at from ≤ t < to
};

// The hourly record of a measured series.
struct ImportedRecord {
    std::string portLine;   // the station, with a line end
    std::int32_t year = 0;  // of the first measured height, in the port's time base (YearStartTime)
    CalendarTime start = 0; // 00:00 on 1 January of year in that base
    std::int32_t days = 0;  // to the last day with a height at a whole hour
    std::vector<std::int32_t> values;  // cm or MISSING_HEIGHT_CM, days × 24 + 1 (the spare)
    std::int32_t missingHours = 0;     // of days × 24
    std::int32_t leftOut = 0;          // heights of the 31 December before year, not in the record
    std::string zone, datumName;       // the port's, as PortChoices and the file give them
    std::optional<double> datumOffset;
    std::string description;           // the facts, for the log and a command line
};

// The record of the measurements of path, their clock being zoneMinutes
// ahead of UTC and their heights in unit, for the port of port, with its
// description; the record starts on 1 January of its first measured year
// in the port's time base, or of the next year when less than a day of it
// is measured (those heights left out). Refused with a message when the port's zone is not
// known, when no height falls on a whole hour or the span passes
// MAX_RECORD_DAYS.
bool MeasuredRecord(const std::string& path, const Measurements& m, int zoneMinutes, HeightUnit unit,
                    const PortChoices& port, ImportedRecord& out, std::string& message);

// The port's clock and datum as the import gives them, one line each:
// "Fuseau du port : Asia/Kolkata", "Zéro des hauteurs : NAP".
std::string PortFactsOf(const ImportedRecord& record);

// What the user may change where the file does not say it, and the port.
struct ImportChoices {
    std::optional<int> zoneMinutes;
    std::optional<HeightUnit> unit;
    PortChoices port;
};

// The whole import without a dialog: path in, the record and its
// description out; false with a French message naming the file (and the line)
// when the file cannot be imported. The choices apply where the file does not
// state the zone or the unit.
bool ImportMeasurementFile(const std::string& path, const ImportChoices& choices, ImportedRecord& out,
                           std::string& message);

// Makes the record the one in memory: port line, zone (the port's clock),
// datum, year, time origin (the waves turned with it), values and mean
// level.
void InstallImportedRecord(const ImportedRecord& record);
