// Reading the text of gauge files: lines with their numbers, fields, exact
// decimals and calendar dates (base/calendar.h), without the C locale or the
// time zone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/calendar.h"

struct LineReader {
    std::string_view text;
    std::size_t pos = 0;
    int number = 0;  // of the line last read, from 1
};

// The text after a UTF-8 byte order mark, if it has one.
LineReader LinesOf(std::string_view bytes);

// The next line without its end (LF, CR LF or CR alone); false at the end.
bool NextLine(LineReader& in, std::string_view& line);

// Whether the line last read ends the text without a line end, so that the
// file may have been cut inside it.
bool LastLineUnended(const LineReader& in);

// The next line that holds more than blanks; false at the end.
bool NextFilledLine(LineReader& in, std::string_view& line);

// Without the blanks and tabs at either end.
std::string_view Trim(std::string_view s);

// The fields between separators (sep, or runs of blanks and tabs when sep
// is ' '), at most max of them; returns how many the line has, which may be
// more than max.
std::size_t SplitFields(std::string_view line, char sep, std::string_view* fields, std::size_t max);

// A whole field: an optional sign and decimal digits (at most 15).
bool ParseWhole(std::string_view s, std::int64_t& value);

// Heights are kept exactly as written, in millionths of the file's unit
// (more decimals are rounded half away from zero). A whole field: an
// optional sign, digits, an optional point and digits; below 10⁷ in size.
inline constexpr std::int64_t MICRO = 1000000;
bool ParseMicro(std::string_view s, std::int64_t& micro);

// An ISO 8601 date and time at the start of s, as IsoDateTimeAtStart reads
// it, with its time (a date alone is not enough) in years 1 … 9999: clock
// seconds, and the offset in offsetMinutes when the text gives one. Returns
// the characters taken, 0 when s does not start with one.
std::size_t IsoTimeAtStart(std::string_view s, std::int64_t& clockSeconds, std::optional<int>& offsetMinutes);
