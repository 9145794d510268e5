// Reading the text of gauge files: lines with their numbers, fields, exact
// decimals and calendar dates, without the C locale or the time zone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct LineReader {
    std::string_view text;
    std::size_t pos = 0;
    int number = 0;  // of the line last read, from 1
};

// The text after a UTF-8 byte order mark, if it has one.
LineReader LinesOf(std::string_view bytes);

// The next line without its end (LF, CR LF or CR alone); false at the end.
bool NextLine(LineReader& in, std::string_view& line);

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

// s since 1970-01-01 00:00 on the same clock, for a date and time that
// exist (year 1 … 9999, hours 0 … 23, seconds 0 … 59); nothing otherwise.
std::optional<std::int64_t> ClockSeconds(std::int64_t year, std::int64_t month, std::int64_t day,
                                         std::int64_t hour, std::int64_t minute, std::int64_t second);

// An ISO 8601 date and time at the start of s: YYYY-MM-DD, 'T' or a blank,
// hh:mm, optionally :ss (with a fraction of zeros only), optionally an offset
// Z, ±hh, ±hhmm or ±hh:mm (in offsetMinutes). Returns the characters taken,
// 0 when s does not start with one.
std::size_t IsoTimeAtStart(std::string_view s, std::int64_t& clockSeconds, std::optional<int>& offsetMinutes);

// Clock seconds as "YYYY-MM-DD hh:mm", with ":ss" when they are not 0.
std::string ClockText(std::int64_t clockSeconds);
