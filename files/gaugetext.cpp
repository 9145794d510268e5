#include "files/gaugetext.h"

#include "base/text.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    std::int64_t year, month, day;
};

CivilDate CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

std::int64_t DaysInMonth(std::int64_t year, std::int64_t month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Exactly n digits at s[at]; their value.
bool Digits(std::string_view s, std::size_t at, std::size_t n, std::int64_t& value)
{
    if (s.size() < at + n)
        return false;
    value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (!IsDigit(s[i]))
            return false;
        value = value * 10 + (s[i] - '0');
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
    std::int64_t hours = 0, minutes = 0;
    if (at >= s.size() || (s[at] != '+' && s[at] != '-') || !Digits(s, at + 1, 2, hours))
        return 0;
    std::size_t taken = 3;
    if (at + 3 < s.size() && s[at + 3] == ':' && Digits(s, at + 4, 2, minutes))
        taken = 6;
    else if (Digits(s, at + 3, 2, minutes))
        taken = 5;
    if (hours > 14 || minutes > 59)
        return 0;
    const auto total = static_cast<int>(hours * 60 + minutes);
    offsetMinutes = s[at] == '-' ? -total : total;
    return taken;
}

// Drops a leading sign; true when it was a minus.
bool TakeSign(std::string_view& s)
{
    const bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+'))
        s.remove_prefix(1);
    return negative;
}

// Appends the decimal digits to v; false at the first that is not a digit.
bool TakeDigits(std::string_view digits, std::int64_t& v)
{
    for (char c : digits) {
        if (!IsDigit(c))
            return false;
        v = v * 10 + (c - '0');
    }
    return true;
}

}  // namespace

LineReader LinesOf(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return LineReader{bytes, 0, 0};
}

bool NextLine(LineReader& in, std::string_view& line)
{
    if (in.pos >= in.text.size())
        return false;
    const std::size_t end = in.text.find_first_of("\r\n", in.pos);
    if (end == std::string_view::npos) {
        line = in.text.substr(in.pos);
        in.pos = in.text.size();
    } else {
        line = in.text.substr(in.pos, end - in.pos);
        in.pos = end + (in.text[end] == '\r' && end + 1 < in.text.size() && in.text[end + 1] == '\n' ? 2 : 1);
    }
    ++in.number;
    return true;
}

bool NextFilledLine(LineReader& in, std::string_view& line)
{
    while (NextLine(in, line))
        if (!Trim(line).empty())
            return true;
    return false;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::size_t SplitFields(std::string_view line, char sep, std::string_view* fields, std::size_t max)
{
    std::size_t count = 0;
    if (sep == ' ') {
        line = Trim(line);
        while (!line.empty()) {
            std::size_t end = 0;
            while (end < line.size() && !IsBlank(line[end]))
                ++end;
            if (count < max)
                fields[count] = line.substr(0, end);
            ++count;
            line = Trim(line.substr(end));
        }
        return count;
    }
    for (;;) {
        const std::size_t end = line.find(sep);
        if (count < max)
            fields[count] = line.substr(0, end);
        ++count;
        if (end == std::string_view::npos)
            return count;
        line.remove_prefix(end + 1);
    }
}

bool ParseWhole(std::string_view s, std::int64_t& value)
{
    const bool negative = TakeSign(s);
    std::int64_t v = 0;
    if (s.empty() || s.size() > 15 || !TakeDigits(s, v))
        return false;
    value = negative ? -v : v;
    return true;
}

bool ParseMicro(std::string_view s, std::int64_t& micro)
{
    const bool negative = TakeSign(s);
    const std::size_t point = s.find('.');
    const std::string_view whole = s.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : s.substr(point + 1);
    std::int64_t v = 0;
    if ((whole.empty() && fraction.empty()) || whole.size() > 7 || !TakeDigits(whole, v))
        return false;
    std::int64_t scale = MICRO;
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        if (!IsDigit(fraction[i]))
            return false;
        if (scale > 1) {
            scale /= 10;
            v = v * 10 + (fraction[i] - '0');
        } else if (i == 6 && fraction[i] >= '5') {
            ++v;  // the seventh decimal rounds the sixth
        }
    }
    v *= scale;
    if (v >= 10000000 * MICRO)
        return false;
    micro = negative ? -v : v;
    return true;
}

std::optional<std::int64_t> ClockSeconds(std::int64_t year, std::int64_t month, std::int64_t day,
                                         std::int64_t hour, std::int64_t minute, std::int64_t second)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

std::size_t IsoTimeAtStart(std::string_view s, std::int64_t& clockSeconds, std::optional<int>& offsetMinutes)
{
    std::int64_t y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    if (!Digits(s, 0, 4, y) || s.size() < 16 || s[4] != '-' || !Digits(s, 5, 2, mo) || s[7] != '-' ||
        !Digits(s, 8, 2, d) || (s[10] != 'T' && s[10] != ' ') || !Digits(s, 11, 2, h) || s[13] != ':' ||
        !Digits(s, 14, 2, mi))
        return 0;
    std::size_t taken = 16;
    if (taken < s.size() && s[taken] == ':') {
        if (!Digits(s, 17, 2, sec))
            return 0;
        taken = 19;
        if (taken < s.size() && s[taken] == '.') {
            do
                ++taken;
            while (taken < s.size() && s[taken] == '0');
            if (taken < s.size() && IsDigit(s[taken]))
                return 0;  // a fraction of a second is never a whole hour
        }
    }
    const std::optional<std::int64_t> clock = ClockSeconds(y, mo, d, h, mi, sec);
    if (!clock)
        return 0;
    clockSeconds = *clock;
    offsetMinutes.reset();
    return taken + OffsetAt(s, taken, offsetMinutes);
}

std::string ClockText(std::int64_t clockSeconds)
{
    const std::int64_t days = clockSeconds >= 0 ? clockSeconds / 86400 : -((-clockSeconds + 86399) / 86400);
    const std::int64_t inDay = clockSeconds - days * 86400;
    const CivilDate date = CivilFromDays(days);
    std::string text = Format("%04lld-%02lld-%02lld %02lld:%02lld", static_cast<long long>(date.year),
                              static_cast<long long>(date.month), static_cast<long long>(date.day),
                              static_cast<long long>(inDay / 3600), static_cast<long long>(inDay / 60 % 60));
    if (inDay % 60 != 0)
        text += Format(":%02lld", static_cast<long long>(inDay % 60));
    return text;
}
