// The calendar and the clock: every conversion between calendar time and a
// clock goes through here, with the civil dates beneath them, the dates and
// times of ISO 8601 texts, and the French names of the days and months.
// Calendar times are seconds since the epoch (64-bit on this platform, so
// years are not limited to 1970-2038); local time follows the TZ rules of
// the C library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using CalendarTime = long;  // s since the epoch

inline constexpr std::int64_t HOUR_SECONDS = 3600;
inline constexpr std::int64_t DAY_SECONDS = 86400;

// ---- Civil dates -------------------------------------------------------------------
// Dates of the proleptic Gregorian calendar, on no clock; months 1 to 12 as
// dates write them.

struct CivilDate {
    std::int64_t year = 1970;
    std::int64_t month = 1;  // 1 … 12
    std::int64_t day = 1;
};

bool IsLeapYear(std::int64_t year);
std::int64_t DaysInMonth(std::int64_t year, std::int64_t month);
bool DateExists(std::int64_t year, std::int64_t month, std::int64_t day);

// Days from 1970-01-01 to a date, and back.
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day);
CivilDate CivilFromDays(std::int64_t days);

// The C weekday (Sunday = 0) of the day that many days from 1970-01-01.
int WeekdayOfDays(std::int64_t days);

// Clock seconds: s since 1970-01-01 00:00 on the same clock, whichever it
// is. Nothing unless the date and time exist, in years 1 … 9999, hours
// 0 … 23 and seconds 0 … 59.
std::optional<std::int64_t> ClockSeconds(std::int64_t year, std::int64_t month, std::int64_t day,
                                         std::int64_t hour, std::int64_t minute, std::int64_t second);

// Clock seconds as "YYYY-MM-DD hh:mm", with ":ss" when they are not 0.
std::string ClockText(std::int64_t clockSeconds);

// ---- ISO 8601 ----------------------------------------------------------------------

// A date, and a time when one follows it, as an ISO 8601 text writes them.
struct IsoFields {
    CivilDate date;
    int hour = 0, minute = 0, second = 0;
    bool hasTime = false;              // hh:mm follows the date
    bool hasSeconds = false;           // :ss follows the minutes
    char separator = 0;                // 'T' or ' ', before the time
    std::optional<int> offsetMinutes;  // east of UTC, when the time is followed by one
};

// The date and time at the start of s: YYYY-MM-DD (years 0000 … 9999), then
// optionally 'T' or a blank and hh:mm, optionally :ss (with a fraction of
// zeros only), optionally an offset Z, ±hh, ±hhmm or ±hh:mm. Returns the
// characters taken; 0 when s does not start with a date that exists, or when
// its seconds are unreadable or the time does not exist.
std::size_t IsoDateTimeAtStart(std::string_view s, IsoFields& out);

// ---- The clock ---------------------------------------------------------------------

// How times are read and written: on the local clock, or in UTC.
enum class Clock { Local, Utc };

// s east of UTC of the clock's standard time in year: the lesser of the
// offsets in force in mid-January and mid-July, so that summer time is the
// greater one in either hemisphere and whatever the zone's data calls it
// (Ireland's is written as a negative summer time in winter). Nothing when
// the C library cannot represent the year.
std::optional<long> StandardUtcOffset(long year);

// 00:00:00 on 1 January of year in the time base of records and phases:
// the clock's standard time (StandardUtcOffset); when a port's zone is the
// clock (UseClockOf) and that offset is not a whole number of hours, the
// next whole hour east of it (UTC+6 for Asia/Kolkata's +5:30, UTC-3 for
// America/St_Johns's -3:30), so that hourly heights taken in UTC fall on the
// record's hours; on the computer's zone, only an offset of seconds (Paris
// mean time, +0:09:21, until 1911) is. Nothing when the C library cannot
// represent it.
std::optional<CalendarTime> YearStartTime(long year);

// 00:00:00 on the 1st of month (C month, January = 0) of year, as the local
// clock shows it: daylight saving is in force or not as the local rules have
// it at that moment. Nothing when the C library cannot represent it.
std::optional<CalendarTime> MonthStartTime(long year, int month);

// 00:00 on 1 January, in the time base of YearStartTime, of the year that
// holds t in that base; year is set to that year.
std::optional<CalendarTime> StandardYearStartOf(CalendarTime t, std::int32_t& year);

std::tm LocalTimeOf(CalendarTime t);
std::tm UtcTimeOf(CalendarTime t);
std::tm TimeOn(Clock clock, CalendarTime t);

// The calendar time that the local clock (or UTC) shows as this date and
// time; month is the C month (January = 0). A local time that occurs twice
// or not at all on a change of clock is taken as the C library resolves it
// (TimeOfIsoDate does not).
// Nothing when the C library cannot represent it.
std::optional<CalendarTime> LocalClockTime(long year, int month, int day, int hour, int minute);
std::optional<CalendarTime> UtcClockTime(long year, int month, int day, int hour, int minute);
std::optional<CalendarTime> ClockTime(Clock clock, long year, int month, int day, int hour, int minute);

// The time an ISO 8601 text names, each form IsoDateTimeAtStart reads and
// nothing after it: YYYY-MM-DD, or a date and time YYYY-MM-DDTHH:MM[:SS]
// ('T' or a blank between them) on the clock, or with an offset (Z, ±hh:mm)
// the instant it names whatever the clock. A date alone is its midnight, or
// the next one when it ends a period (endOfDay). Nothing for a text of
// another form, or a date and time that does not name a single instant on
// that clock: skipped or repeated when the clock changes (LocalTimeDoubt
// says which).
std::optional<CalendarTime> TimeOfIsoDate(const std::string& text, Clock clock, bool endOfDay);

// Why a date and time of TimeOfIsoDate on the local clock names no single
// instant, as a sentence after it: it does not exist, or occurs twice (with
// the two ways to write it); empty when it names one or is not a date and
// time.
std::string LocalTimeDoubt(const std::string& text);

// s east of UTC that the local clock is at t, daylight saving included.
long UtcOffsetOf(CalendarTime t);

// ---- The port's clock --------------------------------------------------------------
// A port may name its time zone (an IANA name, "Europe/Amsterdam"): its
// tables are then on that clock whatever the computer's. The zone is made
// the C library's (TZ), so that every conversion above follows it; a port
// without one is on the computer's zone, TZ as the program found it.

// A zone the system knows: a zone file (TZif) of that name under its zone
// folder ($TZDIR, else /usr/share/zoneinfo). No name with ".." or a leading
// "/" is one.
bool IsKnownZone(const std::string& name);

// Every zone name the system lists ($TZDIR or /usr/share/zoneinfo, tzdata.zi
// or else zone.tab), sorted; empty when it lists none.
std::vector<std::string> KnownZoneNames();

// Makes zone the clock of the conversions, or with zone empty the
// computer's. False, and nothing changed, when zone is not known.
bool UseClockOf(const std::string& zone);

// The zone UseClockOf last made the clock; empty: the computer's.
const std::string& PortZoneInForce();

// Whether the computer's own zone is one the C library can follow: TZ unset
// or empty, a known zone, a zone file's path, or a rule such as
// "CET-1CEST,M3.5.0,M10.5.0/3". While it is not, a port without a zone is on
// UTC, and ClockDescription says so.
bool ComputerZoneKnown();

// The computer's zone by its name: TZ, or the zone file /etc/localtime
// stands for ("Europe/Paris").
std::string ComputerZoneName();

// Which clock the outputs are on, in French: the port's zone
// ("Europe/Amsterdam"), or "zone de l'ordinateur : Europe/Paris, supposée".
std::string ClockDescription();

// TZ back as the program found it (the tests change TZ between two runs).
void ForgetComputerClock();

// The state of the clock: the port's zone in force, and the computer's TZ
// kept aside while another zone stands in its place.
struct PortClockState {
    bool captured = false;                  // TZ is not the computer's: computerTz holds it
    std::optional<std::string> computerTz;  // TZ's value; none: not set
    std::string zone;                       // the port's; empty: the computer's
};
extern PortClockState PortClock;

// Now, from the system clock; or SOURCE_DATE_EPOCH (s since the epoch) when
// it is set, so that the same command makes the same files.
CalendarTime TimeNow();
// The local date and time of TimeNow().
std::tm LocalTimeNow();

// ---- Dates and times as texts ------------------------------------------------------

// An offset from UTC (s) to the minute: "+02:00", "-05:30".
std::string UtcOffsetText(long seconds);

// t to the minute on the clock, date and time joined by separator:
// "2009-03-29T04:12" or "2009-03-29 04:12".
std::string IsoMinuteText(CalendarTime t, Clock clock, const char* separator);

// ISO 8601 with the clock's offset: "2009-03-29T04:12+02:00" on the local
// clock, "2009-03-29T02:12Z" in UTC; with seconds, "2009-03-29T04:12:00+02:00".
// The text names t: an offset with seconds is written to the minute, and the
// time on that offset ("1904-01-01T07:12:00+00:09" for 07:12:21 of Paris mean time).
std::string IsoDateTime(CalendarTime t, Clock clock, bool seconds = false);

// ISO 8601's basic form in UTC, to the second: "20090329T021200Z".
std::string IsoBasicUtc(CalendarTime t);

// Calendar time on the local clock, short, in French, to the minute:
// "jeu. 1 janv. 2009 00:00".
std::string ShortDateTimeText(CalendarTime t);

// ---- French names ------------------------------------------------------------------
// Every name of a day (by C weekday, Sunday = 0) or a month (by C month,
// January = 0) that the program writes is made from one table of each, each
// form once, at its first use.

const std::string& DayName(int weekday);          // "Dimanche", "Lundi"
const std::string& DayNameAligned(int weekday);   // "Dimanche ", "   Lundi ": right-aligned to 8, then a blank
const std::string& DayAbbreviation(int weekday);  // "dim.", "lun."
const std::string& MonthName(int month);          // "janvier", "août"
const std::string& MonthAbbreviation(int month);  // "janv.", "févr.", "mai"

// name with its first letter (a letter without accent) in capital: "Janvier".
std::string Capitalised(std::string name);
