#include "base/calendar.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text.h"

// ---- Civil dates -------------------------------------------------------------------

bool IsLeapYear(std::int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::int64_t DaysInMonth(std::int64_t year, std::int64_t month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool DateExists(std::int64_t year, std::int64_t month, std::int64_t day)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day)
{
    const std::int64_t y = year - (month <= 2);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(std::int64_t days)
{
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

int WeekdayOfDays(std::int64_t days)
{
    return static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday (4)
}

std::optional<std::int64_t> ClockSeconds(std::int64_t year, std::int64_t month, std::int64_t day,
                                         std::int64_t hour, std::int64_t minute, std::int64_t second)
{
    if (year < 1 || year > 9999 || !DateExists(year, month, day) || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return DaysFromCivil(year, month, day) * DAY_SECONDS + hour * HOUR_SECONDS + minute * 60 + second;
}

std::string ClockText(std::int64_t clockSeconds)
{
    const std::int64_t days = clockSeconds >= 0 ? clockSeconds / DAY_SECONDS
                                                : -((-clockSeconds + DAY_SECONDS - 1) / DAY_SECONDS);
    const std::int64_t inDay = clockSeconds - days * DAY_SECONDS;
    const CivilDate date = CivilFromDays(days);
    std::string text = Format("%04lld-%02lld-%02lld %02lld:%02lld", static_cast<long long>(date.year),
                              static_cast<long long>(date.month), static_cast<long long>(date.day),
                              static_cast<long long>(inDay / HOUR_SECONDS), static_cast<long long>(inDay / 60 % 60));
    if (inDay % 60 != 0)
        text += Format(":%02lld", static_cast<long long>(inDay % 60));
    return text;
}

// ---- ISO 8601 ----------------------------------------------------------------------

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Exactly n digits at s[at]; their value.
template <typename Int>
bool Digits(std::string_view s, std::size_t at, std::size_t n, Int& value)
{
    if (s.size() < at + n)
        return false;
    value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (!IsDigit(s[i]))
            return false;
        value = static_cast<Int>(value * 10 + (s[i] - '0'));
    }
    return true;
}

// Z, ±hh, ±hhmm or ±hh:mm at s[at]; returns the characters taken (0: none).
std::size_t OffsetAt(std::string_view s, std::size_t at, std::optional<int>& offsetMinutes)
{
    if (at < s.size() && s[at] == 'Z') {
        offsetMinutes = 0;
        return 1;
    }
    int hours = 0, minutes = 0;
    if (at >= s.size() || (s[at] != '+' && s[at] != '-') || !Digits(s, at + 1, 2, hours))
        return 0;
    std::size_t taken = 3;
    if (at + 3 < s.size() && s[at + 3] == ':' && Digits(s, at + 4, 2, minutes))
        taken = 6;
    else if (Digits(s, at + 3, 2, minutes))
        taken = 5;
    if (hours > 14 || minutes > 59)
        return 0;
    const int total = hours * 60 + minutes;
    offsetMinutes = s[at] == '-' ? -total : total;
    return taken;
}

// :ss after the minutes at s[16], with a fraction of zeros only; the
// characters taken, 0 when there are no seconds, SIZE_MAX when they are
// unreadable.
std::size_t SecondsAt(std::string_view s, int& second)
{
    if (s.size() <= 16 || s[16] != ':')
        return 0;
    if (!Digits(s, 17, 2, second))
        return SIZE_MAX;
    std::size_t end = 19;
    if (end < s.size() && s[end] == '.') {
        do
            ++end;
        while (end < s.size() && s[end] == '0');
        if (end < s.size() && IsDigit(s[end]))
            return SIZE_MAX;  // a fraction of a second is never a whole hour
    }
    return end - 16;
}

}  // namespace

std::size_t IsoDateTimeAtStart(std::string_view s, IsoFields& out)
{
    IsoFields f;
    if (!Digits(s, 0, 4, f.date.year) || s.size() < 10 || s[4] != '-' || !Digits(s, 5, 2, f.date.month) ||
        s[7] != '-' || !Digits(s, 8, 2, f.date.day) || !DateExists(f.date.year, f.date.month, f.date.day))
        return 0;
    f.hasTime = s.size() >= 16 && (s[10] == 'T' || s[10] == ' ') && Digits(s, 11, 2, f.hour) && s[13] == ':' &&
                Digits(s, 14, 2, f.minute);
    if (!f.hasTime) {
        out = IsoFields{};
        out.date = f.date;
        return 10;
    }
    f.separator = s[10];
    const std::size_t seconds = SecondsAt(s, f.second);
    if (seconds == SIZE_MAX || f.hour > 23 || f.minute > 59 || f.second > 59)
        return 0;
    f.hasSeconds = seconds > 0;
    const std::size_t taken = 16 + seconds;
    out = f;
    return taken + OffsetAt(s, taken, out.offsetMinutes);
}

// ---- The clock ---------------------------------------------------------------------

std::optional<long> StandardUtcOffset(long year)
{
    std::optional<long> least;
    for (const int month : {0, 6}) {
        const std::optional<CalendarTime> noon = UtcClockTime(year, month, 15, 12, 0);
        if (!noon)
            return std::nullopt;
        const long offset = UtcOffsetOf(*noon);
        least = least ? std::min(*least, offset) : offset;
    }
    return least;
}

std::optional<CalendarTime> YearStartTime(long year)
{
    const std::optional<CalendarTime> utc = UtcClockTime(year, 0, 1, 0, 0);
    const std::optional<long> offset = StandardUtcOffset(year);
    if (!utc || !offset)
        return std::nullopt;
    // 5:30 or -3:30 hours, or a mean time before zones such as Paris's
    // +0:09:21: the whole hour east of it, so that hours taken in UTC fall on
    // the record's hours and its 1 January begins less than an hour before
    // the port's. Files without a zone have always been read on the
    // computer's half-hour standard time: they keep it.
    if (*offset % HOUR_SECONDS == 0 || (*offset % 60 == 0 && PortZoneInForce().empty()))
        return *utc - *offset;
    const long hours = *offset > 0 ? (*offset + HOUR_SECONDS - 1) / HOUR_SECONDS : -(-*offset / HOUR_SECONDS);
    return *utc - hours * HOUR_SECONDS;
}

std::optional<CalendarTime> MonthStartTime(long year, int month)
{
    if (year < INT_MIN + 1900L || year > INT_MAX || month < 0 || month > 11)
        return std::nullopt;
    std::tm start{};
    start.tm_mday = 1;
    start.tm_mon = month;
    start.tm_year = static_cast<int>(year - 1900);
    start.tm_isdst = -1;  // midnight on the local clock, whichever time is in force
    std::time_t t = std::mktime(&start);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<CalendarTime>(t);
}

std::optional<CalendarTime> StandardYearStartOf(CalendarTime t, std::int32_t& year)
{
    year = LocalTimeOf(t).tm_year + 1900;
    std::optional<CalendarTime> start = YearStartTime(year);
    if (start && t < *start)
        start = YearStartTime(--year);
    else if (std::optional<CalendarTime> next = YearStartTime(year + 1); start && next && t >= *next)
        start = YearStartTime(++year);
    return start;
}

std::tm LocalTimeOf(CalendarTime t)
{
    std::time_t when = t;
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

std::tm UtcTimeOf(CalendarTime t)
{
    std::time_t when = t;
    std::tm utc{};
    gmtime_r(&when, &utc);
    return utc;
}

std::tm TimeOn(Clock clock, CalendarTime t)
{
    return clock == Clock::Utc ? UtcTimeOf(t) : LocalTimeOf(t);
}

namespace {

std::optional<std::tm> ClockFields(long year, int month, int day, int hour, int minute)
{
    if (year < INT_MIN + 1900L || year > INT_MAX)
        return std::nullopt;
    std::tm clock{};
    clock.tm_year = static_cast<int>(year - 1900);
    clock.tm_mon = month;
    clock.tm_mday = day;
    clock.tm_hour = hour;
    clock.tm_min = minute;
    clock.tm_isdst = -1;
    return clock;
}

}  // namespace

std::optional<CalendarTime> LocalClockTime(long year, int month, int day, int hour, int minute)
{
    std::optional<std::tm> clock = ClockFields(year, month, day, hour, minute);
    if (!clock)
        return std::nullopt;
    std::time_t t = std::mktime(&*clock);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<CalendarTime>(t);
}

std::optional<CalendarTime> UtcClockTime(long year, int month, int day, int hour, int minute)
{
    std::optional<std::tm> clock = ClockFields(year, month, day, hour, minute);
    if (!clock)
        return std::nullopt;
    std::time_t t = timegm(&*clock);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<CalendarTime>(t);
}

std::optional<CalendarTime> ClockTime(Clock clock, long year, int month, int day, int hour, int minute)
{
    return clock == Clock::Utc ? UtcClockTime(year, month, day, hour, minute)
                               : LocalClockTime(year, month, day, hour, minute);
}

namespace {

// The instants at which the local clock shows this date and time: none in
// the hour a change of clock skips, two in the hour it repeats, else one.
// The offsets a day either side are those the change goes between.
std::vector<CalendarTime> LocalInstants(const IsoFields& when)
{
    const std::optional<CalendarTime> asUtc = UtcClockTime(static_cast<long>(when.date.year),
                                                           static_cast<int>(when.date.month - 1),
                                                           static_cast<int>(when.date.day), when.hour, when.minute);
    std::vector<CalendarTime> found;
    if (!asUtc)
        return found;
    for (const CalendarTime probe : {*asUtc - DAY_SECONDS, *asUtc + DAY_SECONDS}) {
        const CalendarTime t = *asUtc - UtcOffsetOf(probe);
        const std::tm local = LocalTimeOf(t);
        if (local.tm_year + 1900L == when.date.year && local.tm_mon + 1 == when.date.month &&
            local.tm_mday == when.date.day && local.tm_hour == when.hour && local.tm_min == when.minute &&
            std::find(found.begin(), found.end(), t) == found.end())
            found.push_back(t);
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

std::optional<CalendarTime> TimeOfIsoDate(const std::string& text, Clock clock, bool endOfDay)
{
    IsoFields when;
    const std::size_t taken = IsoDateTimeAtStart(text, when);
    if (taken == 0 || taken != text.size())
        return std::nullopt;
    const auto year = static_cast<long>(when.date.year);
    const auto month = static_cast<int>(when.date.month - 1), day = static_cast<int>(when.date.day);
    if (when.offsetMinutes) {
        std::optional<CalendarTime> utc = UtcClockTime(year, month, day, when.hour, when.minute);
        if (!utc)
            return std::nullopt;
        return *utc + when.second - *when.offsetMinutes * 60L;
    }
    if (when.hasTime && clock == Clock::Local) {
        const std::vector<CalendarTime> instants = LocalInstants(when);
        if (instants.size() != 1)
            return std::nullopt;
        return instants[0] + when.second;
    }
    // A date alone is the day's first instant, 01:00 where the clock skips midnight.
    std::optional<CalendarTime> t = ClockTime(clock, year, month, day, when.hour, when.minute);
    if (!t || TimeOn(clock, *t).tm_mday != day)  // a day the local clock skipped
        return std::nullopt;
    if (!when.hasTime && endOfDay)
        return ClockTime(clock, year, month, day + 1, 0, 0);
    return *t + when.second;
}

std::string LocalTimeDoubt(const std::string& text)
{
    IsoFields when;
    if (IsoDateTimeAtStart(text, when) != text.size() || !when.hasTime || when.offsetMinutes)
        return "";
    const std::vector<CalendarTime> instants = LocalInstants(when);
    if (instants.empty())
        return "n'existe pas à l'heure locale : l'horloge saute cette heure-là au changement d'heure";
    if (instants.size() == 1)
        return "";
    return "a lieu deux fois à l'heure locale, au changement d'heure : écrivez " + text +
           UtcOffsetText(UtcOffsetOf(instants[0])) + " pour la première, " + text +
           UtcOffsetText(UtcOffsetOf(instants[1])) + " pour la seconde";
}

long UtcOffsetOf(CalendarTime t)
{
    return LocalTimeOf(t).tm_gmtoff;
}


// ---- The port's clock --------------------------------------------------------------

PortClockState PortClock;

namespace {

std::string ZoneFolder()
{
    const char* folder = std::getenv("TZDIR");
    return folder && *folder ? folder : "/usr/share/zoneinfo";
}

bool IsZoneFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char magic[4] = {};
    return file.read(magic, 4) && std::string_view(magic, 4) == "TZif";
}

// A rule written out, as POSIX has TZ give it: a name of three letters or
// more (or one in <>), then an offset.
bool IsZoneRule(std::string_view s)
{
    std::size_t i = 0;
    if (!s.empty() && s[0] == '<') {
        i = s.find('>');
        if (i == std::string_view::npos)
            return false;
        ++i;
    } else {
        while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])))
            ++i;
        if (i < 3)
            return false;
    }
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    return i < s.size() && IsDigit(s[i]);
}

// TZ as the computer gives it: kept aside while another zone stands in its place.
std::optional<std::string> ComputerTz()
{
    if (PortClock.captured)
        return PortClock.computerTz;
    const char* zone = std::getenv("TZ");
    return zone ? std::optional<std::string>(zone) : std::nullopt;
}

void SetTz(const std::optional<std::string>& value)
{
    const char* now = std::getenv("TZ");
    if (value ? now && *value == now : !now)
        return;
    if (value)
        setenv("TZ", value->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace

bool IsKnownZone(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name.find("..") != std::string::npos)
        return false;
    return IsZoneFile(ZoneFolder() + "/" + name);
}

std::vector<std::string> KnownZoneNames()
{
    std::vector<std::string> names;
    std::ifstream table(ZoneFolder() + "/tzdata.zi");
    for (std::string line; std::getline(table, line);) {
        // "Z Europe/Paris …" names a zone, "L Europe/Brussels Europe/Amsterdam" another name for one.
        std::istringstream words(line);
        std::string kind, first, second;
        words >> kind >> first >> second;
        if (kind == "Z")
            names.push_back(first);
        else if (kind == "L" && !second.empty())
            names.push_back(second);
    }
    if (names.empty()) {
        std::ifstream zones(ZoneFolder() + "/zone.tab");
        for (std::string line; std::getline(zones, line);) {
            std::istringstream fields(line);
            std::string country, place, name;
            if (!line.starts_with("#") && std::getline(fields, country, '\t') && std::getline(fields, place, '\t') &&
                std::getline(fields, name, '\t'))
                names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool ComputerZoneKnown()
{
    const std::optional<std::string> tz = ComputerTz();
    if (!tz || tz->empty())
        return true;
    const std::string_view zone = std::string_view(*tz).substr((*tz)[0] == ':');
    if (!zone.empty() && zone[0] == '/')
        return IsZoneFile(std::string(zone));
    return IsKnownZone(std::string(zone)) || IsZoneRule(zone);
}

std::string ComputerZoneName()
{
    const std::optional<std::string> tz = ComputerTz();
    if (tz && tz->empty())
        return "UTC";  // as the C library reads an empty TZ
    std::string zone;
    std::error_code error;
    if (tz)
        zone = tz->substr((*tz)[0] == ':');
    else
        zone = std::filesystem::read_symlink("/etc/localtime", error).string();
    const std::size_t folder = zone.rfind("zoneinfo/");
    return folder == std::string::npos || zone[0] != '/' ? zone : zone.substr(folder + 9);
}

bool UseClockOf(const std::string& zone)
{
    if (!zone.empty() && !IsKnownZone(zone))
        return false;
    const std::optional<std::string> computer = ComputerTz();
    if (zone.empty() && ComputerZoneKnown()) {
        SetTz(computer);
        PortClock.captured = false;
    } else {
        PortClock.computerTz = computer;
        PortClock.captured = true;
        // A computer whose zone the C library cannot follow gives UTC under another name: UTC is said instead.
        SetTz(zone.empty() ? std::string("UTC") : zone);
    }
    PortClock.zone = zone;
    return true;
}

const std::string& PortZoneInForce()
{
    return PortClock.zone;
}

std::string ClockDescription()
{
    if (!PortClock.zone.empty())
        return PortClock.zone;
    if (!ComputerZoneKnown())
        return "UTC, le fuseau de l'ordinateur (« " + ComputerZoneName() + " ») étant inconnu";
    const std::string name = ComputerZoneName();
    return "zone de l'ordinateur" + (name.empty() ? std::string() : " : " + name) + ", supposée";
}

void ForgetComputerClock()
{
    if (PortClock.captured)
        SetTz(PortClock.computerTz);
    PortClock = PortClockState{};
}

CalendarTime TimeNow()
{
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    char* end = nullptr;
    const long long seconds = fixed ? std::strtoll(fixed, &end, 10) : 0;
    if (fixed && *fixed && *end == '\0')
        return static_cast<CalendarTime>(seconds);
    return static_cast<CalendarTime>(std::time(nullptr));
}

std::tm LocalTimeNow()
{
    return LocalTimeOf(TimeNow());
}

// ---- Dates and times as texts ------------------------------------------------------

std::string UtcOffsetText(long seconds)
{
    const char sign = seconds < 0 ? '-' : '+';
    const long minutes = std::labs(seconds) / 60;
    return Format("%c%02li:%02li", sign, minutes / 60, minutes % 60);
}

std::string IsoMinuteText(CalendarTime t, Clock clock, const char* separator)
{
    const std::tm shown = TimeOn(clock, t);
    return Format("%04i-%02i-%02i%s%02i:%02i", shown.tm_year + 1900, shown.tm_mon + 1, shown.tm_mday, separator,
                  shown.tm_hour, shown.tm_min);
}

std::string IsoDateTime(CalendarTime t, Clock clock, bool seconds)
{
    const long offset = clock == Clock::Utc ? 0 : UtcOffsetOf(t);
    // An offset of local mean time has seconds (Paris's +0:09:21 until 1911),
    // which ISO 8601 cannot write: the time is given on the offset cut to the
    // minute that the text writes, so that it still names the instant t.
    const long written = offset / 60 * 60;
    const Clock shownOn = offset == written ? clock : Clock::Utc;
    const CalendarTime shown = offset == written ? t : t + written;
    const std::string second = seconds ? Format(":%02i", TimeOn(shownOn, shown).tm_sec) : std::string();
    return IsoMinuteText(shown, shownOn, "T") + second + (clock == Clock::Utc ? "Z" : UtcOffsetText(written));
}

std::string IsoBasicUtc(CalendarTime t)
{
    const std::tm utc = UtcTimeOf(t);
    return Format("%04i%02i%02iT%02i%02i%02iZ", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                  utc.tm_min, utc.tm_sec);
}

std::string ShortDateTimeText(CalendarTime t)
{
    const std::tm local = LocalTimeOf(t);
    return Format("%s %i %s %i %02i:%02i", DayAbbreviation(local.tm_wday).c_str(), local.tm_mday,
                  MonthAbbreviation(local.tm_mon).c_str(), local.tm_year + 1900, local.tm_hour, local.tm_min);
}

// ---- French names ------------------------------------------------------------------

namespace {

const char* const DAYS[7] = {"Dimanche", "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi"};

// A '|' marks where the abbreviation ends (then a full stop); a name without
// one is written whole.
const char* const MONTHS[12] = {
    "janv|ier", "févr|ier", "mars", "avr|il", "mai", "juin",
    "juil|let", "août", "sept|embre", "oct|obre", "nov|embre", "déc|embre",
};

// The form make(i) of each name, made once.
template <std::size_t N, typename Make>
std::array<std::string, N> FormsOf(Make make)
{
    std::array<std::string, N> forms;
    for (std::size_t i = 0; i < N; ++i)
        forms[i] = make(i);
    return forms;
}

}  // namespace

const std::string& DayName(int weekday)
{
    static const auto names = FormsOf<7>([](std::size_t d) { return std::string(DAYS[d]); });
    return names[static_cast<std::size_t>(weekday)];
}

const std::string& DayNameAligned(int weekday)
{
    // The names are ASCII: bytes are characters.
    static const auto names = FormsOf<7>([](std::size_t d) { return Format("%8s ", DAYS[d]); });
    return names[static_cast<std::size_t>(weekday)];
}

const std::string& DayAbbreviation(int weekday)
{
    static const auto names = FormsOf<7>([](std::size_t d) {
        std::string abbreviation(DAYS[d], 3);
        abbreviation[0] = static_cast<char>(abbreviation[0] - 'A' + 'a');  // every day's name starts with a capital
        return abbreviation + ".";
    });
    return names[static_cast<std::size_t>(weekday)];
}

const std::string& MonthName(int month)
{
    static const auto names = FormsOf<12>([](std::size_t m) {
        std::string name = MONTHS[m];
        const std::size_t cut = name.find('|');
        return cut == std::string::npos ? name : name.erase(cut, 1);
    });
    return names[static_cast<std::size_t>(month)];
}

const std::string& MonthAbbreviation(int month)
{
    static const auto names = FormsOf<12>([](std::size_t m) {
        const std::string name = MONTHS[m];
        const std::size_t cut = name.find('|');
        return cut == std::string::npos ? name : name.substr(0, cut) + ".";
    });
    return names[static_cast<std::size_t>(month)];
}

std::string Capitalised(std::string name)
{
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 'a' + 'A');  // not toupper: the names are ASCII whatever the locale
    return name;
}
