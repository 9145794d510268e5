#include "files/gaugetext.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
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

bool LastLineUnended(const LineReader& in)
{
    return in.pos == in.text.size() && !in.text.empty() && in.text.back() != '\n' && in.text.back() != '\r';
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

std::size_t IsoTimeAtStart(std::string_view s, std::int64_t& clockSeconds, std::optional<int>& offsetMinutes)
{
    IsoFields when;
    const std::size_t taken = IsoDateTimeAtStart(s, when);
    if (taken == 0 || !when.hasTime)
        return 0;
    const std::optional<std::int64_t> clock =
        ClockSeconds(when.date.year, when.date.month, when.date.day, when.hour, when.minute, when.second);
    if (!clock)
        return 0;
    clockSeconds = *clock;
    offsetMinutes = when.offsetMinutes;
    return taken;
}
