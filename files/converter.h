// The tide-times converter: a list of tide times becomes an hourly record
// file, drawn as a quarter sine from each tide to the next, with a report of
// its intermediate values. Three files of the working directory:
//
// "source.txt", read, found whatever the letter case of its name:
//   port line                     copied to the output as read
//   year line                     copied to the output as read
//   number of days                "%i", then any blank lines
//   hour minute height            one line per high or low water, in time
//                                 order, "%i\t%i\t%f", height in metres; no
//                                 date: the day changes whenever the hour is
//                                 smaller than the one before
//
// "sortie.txt", written: an hourly record file of 24 × days heights in whole
// centimetres, the first for the hour before 00:00 of the first day; "-"
// for an hour after the last tide.
//
// "report.txt", written: one line per tide after the first (time in hours
// since 00:00 of the first day, hour, minute, index, height in metres), the
// times of the tides, then per output hour the pair of tides it lies between,
// each step to a new pair marked "-->"; and what the conversion had to hold.
#pragma once

#include <cstddef>

inline constexpr const char* CONVERTER_SOURCE_FILE = "source.txt";
inline constexpr const char* CONVERTER_OUTPUT_FILE = "sortie.txt";
inline constexpr const char* CONVERTER_REPORT_FILE = "report.txt";

// Tides read at most per day of the period; the lines after them are left.
inline constexpr long TIDES_PER_DAY = 8;

// A century of days of TIDES_PER_DAY lines: a larger source is refused unread.
inline constexpr std::size_t MAX_CONVERTER_SOURCE_BYTES = std::size_t{32} << 20;

// Outils > "Convertisseur". Asks first, naming the three files, then works on
// them only; its message boxes have no owner. A source that cannot be
// converted (a port or year line that a record could not hold, no day count,
// a day count not between 1 and MAX_RECORD_DAYS, fewer than two tides, a tide
// line that is too long, whose hour, minute or height is out of range, or
// whose time goes back) leaves "sortie.txt" as it was and says why, naming
// the line, in the message and in "report.txt". Hours after the last tide
// are left missing ("-"), and they and a source cut at TIDES_PER_DAY × days
// tides are said in both as well. Both files are written whole or not at all: a file that
// cannot be written is named with the reason, and what was there before
// stays.
void ConvertTideTimes();
