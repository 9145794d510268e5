// The port: its name, the time origin its record and its waves refer to,
// its clock and the zero its heights are given above.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/calendar.h"

// The port line of every file holds at most this many characters.
inline constexpr std::size_t PORT_NAME_CHARS = 99;

// How a secondary port's high (or low) waters follow its reference's: later
// by whole minutes, their heights above the datum multiplied by a ratio or
// with metres added, as hydrographic services publish them.
struct TideShift {
    int minutes = 0;
    double height = 1;  // the ratio, or m added
    bool ratio = true;
    bool operator==(const TideShift&) const = default;
};

// A secondary port: the waves give the tides of another port, its
// reference; its own are the reference's moved by these.
struct TideOffsets {
    std::string reference;  // the port the waves are of, as the tables name it: "Honolulu (noaa/1612340)"
    TideShift high, low;
    bool operator==(const TideOffsets&) const = default;
};

// Bounds of a secondary port's offsets; the published ones lie well within
// (12 h 21 min, ratios 0.04 to 3.24, ±1.34 m). The tables scan a day each
// side of a month, which covers tides moved by less than this.
inline constexpr int MAX_OFFSET_MINUTES = 16 * 60;
inline constexpr double MAX_OFFSET_RATIO = 5;
inline constexpr double MAX_OFFSET_METRES = 10;

// Why a shift cannot be a port's, in French ("" when it can): minutes beyond
// MAX_OFFSET_MINUTES, a ratio not above 0 or beyond MAX_OFFSET_RATIO, metres
// beyond MAX_OFFSET_METRES or a number that is not finite.
std::string TideShiftProblem(const TideShift& shift);

// Whichever of the record file and the wave file was read last sets these.
struct FileHeaderValues {
    std::string PortName = "Brest";  // first line of the file as read, line end included (LF, never CR); UTF-8
    std::int32_t StartYear = 1996;
    // s: 00:00:00 on 1 January of StartYear in the time base of YearStartTime
    // (the port zone's standard time, or the next whole hour east of it where
    // that is not whole hours from UTC; the computer's standard time for a
    // port without a zone)
    CalendarTime Time_of_debut = 0;
    std::string TimeZone;  // IANA name ("Europe/Amsterdam"); empty: not known, the computer's zone applies
    std::string DatumName;  // the zero the heights are above ("Chart Datum"); empty: the record's zero
    // m: height of the mean level above the datum; none: the datum is the
    // record's zero itself, and heights are given as the model has them
    std::optional<double> DatumOffset;
    bool ShowCoefficient = true;  // tables and exports give the tide coefficient (on Brest's range)
    std::optional<TideOffsets> Offsets;  // a secondary port's; none: the waves give the port's own tides
};

extern FileHeaderValues Header;

// The port's name in a port line: without its line end and the blanks
// around it.
std::string PortNameOf(const std::string& portLine);
// The port as the header names it: PortNameOf(Header.PortName).
std::string PortName();

// The zone a file that names none is read on (haliome-cli --tz); empty: the
// computer's, as files have always been read.
extern std::string AssumedPortZone;

// Makes zone the port's (empty: none, the computer's zone applies) and the
// clock of every conversion. Instants stay what they are: where the new
// zone's time base puts 1 January elsewhere, the time origin moves
// (MoveTimeOrigin), and a record read from a file is carried hour for hour
// to its new place, from 1 January of the year of its first measured hour
// (of the next year when less than a day of it is measured: those hours
// are left out).
// False, nothing changed and why said, for a zone the system does not know
// or a record whose hours are not whole hours of the new base.
bool SetPortZone(const std::string& zone, std::string& why);

// The clock of the port made the clock of the conversions again, after a
// computation on another (an import that tries a zone).
void UsePortClock();

// m: a height above the record's zero (the model's) as the tables give it,
// above the port's datum.
double HeightAboveDatum(double height);

// m: the height (above the record's zero) of a high or low water of the
// reference moved to the secondary port, the shift taken on heights above
// the port's datum.
double ShiftedHeight(const TideShift& shift, double height);

// What a secondary port's tables say of how they were made: "Nonopapa :
// pleines et basses mers de Honolulu (noaa/1612340), décalées de -16 min
// (PM) et -11 min (BM), hauteurs x 0.77 (PM) et x 0.80 (BM) au-dessus de
// MLLW"; "" for a port with its own waves.
std::string OffsetsNote();

// The datum, in French: "zéro du relevé", "NAP", "Chart Datum (niveau moyen : 2,78 m)".
std::string DatumText();
// What the heights of the tables are above: "au-dessus du zéro du relevé",
// "au-dessus de NAP".
std::string HeightsReference();
