// The texts of the exports: tides as CSV, iCalendar, JSON or plain text,
// heights on a regular grid, and the wave set as CSV. Every text is UTF-8
// with CR LF line ends.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "exports/tides.h"

// Dates are written as IsoDateTime gives them, with seconds, on the clock
// asked for: on the local clock with its UTC offset
// ("2009-03-29T04:12:00+02:00"), or in UTC ("2009-03-29T02:12:00Z"), as ISO
// 8601 parsers and --from take them back. Heights are above the port's datum, which each
// export names with the clock (ClockDescription); the coefficient is left
// out when the port turns it off.

// How an export writes its times and heights.
struct ExportForm {
    Clock clock = Clock::Local;
    bool feet = false;  // heights in feet (0.3048 m) rather than metres
};


// The first line of a text export: the port, its clock, the datum and the
// unit of the heights, the wave set's year and the nodal corrections.
std::string BannerLine(const ExportForm& form);

// A header row, then one row per tide: date and time, "PM" or "BM", height
// (to the centimetre), coefficient (empty for a low water), the clock, the
// datum and whether the nodal corrections were used ("oui" or "non").
std::string TidesCsv(const std::vector<Tide>& tides, const ExportForm& form);

// A calendar of one event per tide, at its time in UTC, at port, saying in
// its description the datum, the clock and the nodal corrections. stamp is
// when the calendar is made (its DTSTAMP). A UID is the tide's time, its
// kind and a hash of the wave set in memory: the same tide of the same wave
// set keeps it, another wave set gives another. A calendar without tides
// is not one (RFC 5545): the caller refuses it.
std::string TidesICalendar(const std::vector<Tide>& tides, const std::string& port, CalendarTime stamp);

// An object with the port, its zone, its clock, the datum, the unit, whether
// the nodal corrections were used and the list of tides; its members are
// named as the CSV's columns ("fuseau", "zero", "corrections_nodales",
// "date", "hauteur_m"), so that a script reads the same names in both.
std::string TidesJson(const std::vector<Tide>& tides, const std::string& port, const ExportForm& form);

// The banner, then one aligned line per tide, for reading.
std::string TidesText(const std::vector<Tide>& tides, const ExportForm& form);

// The predicted heights (m above the datum, over all waves) at span.from,
// span.from + step, … before span.to (stepSeconds > 0): as CSV (a header
// row, then the date and height of each with the clock, datum and nodal
// corrections), as JSON (TidesJson's members, then the list) or as text
// (the banner, then aligned lines). The text is handed to write a piece at
// a time, so that a long grid is never held whole; write returns false to
// stop, and so does WriteHeights then.
enum class HeightsFormat { Csv, Json, Text };
bool WriteHeights(const TimeSpan& span, long stepSeconds, HeightsFormat format, const std::string& port,
                  const ExportForm& form, const std::function<bool(const std::string&)>& write);

// The mean level, then one row per wave of the set: name, period (h), speed
// (degrees per hour), amplitude (m), phase in degrees and in radians, then,
// for a wave of the joint analysis, the half-widths of the 95 % confidence
// intervals of its amplitude (m) and phase (degrees) and its signal-to-noise
// ratio (empty for the others), and last, for a wave at a constituent's
// speed, its Greenwich phase lag g (degrees, UTC) and the nodal factor f of
// the wave set's year that its amplitude holds (empty for the others).
std::string WavesCsv();
