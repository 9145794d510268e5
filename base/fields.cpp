#include "base/fields.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "base/text.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view WithoutBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Where the digits that start at `at` end.
std::size_t DigitsEnd(std::string_view s, std::size_t at)
{
    while (at < s.size() && IsDigit(s[at]))
        ++at;
    return at;
}

std::size_t AfterSign(std::string_view s, std::size_t at)
{
    return at < s.size() && (s[at] == '+' || s[at] == '-') ? at + 1 : at;
}

}  // namespace

std::optional<double> ParseTypedNumber(std::string_view text)
{
    const std::string_view s = WithoutBlanks(text);
    std::size_t at = AfterSign(s, 0);
    const std::size_t integerEnd = DigitsEnd(s, at);
    std::size_t digits = integerEnd - at;
    at = integerEnd;
    if (at < s.size() && (s[at] == ',' || s[at] == '.')) {
        const std::size_t fractionEnd = DigitsEnd(s, at + 1);
        digits += fractionEnd - at - 1;
        at = fractionEnd;
    }
    if (digits == 0)
        return std::nullopt;
    if (at < s.size() && (s[at] == 'e' || s[at] == 'E')) {
        const std::size_t exponent = AfterSign(s, at + 1);
        at = DigitsEnd(s, exponent);
        if (at == exponent)
            return std::nullopt;
    }
    if (at != s.size())
        return std::nullopt;
    std::string c(s);
    for (char& ch : c)
        ch = ch == ',' ? '.' : ch;
    return std::strtod(c.c_str(), nullptr);  // the C locale's dot: the program never changes LC_NUMERIC
}

std::optional<double> DecimalOf(std::string_view text)
{
    const std::optional<double> value = ParseTypedNumber(text);
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<long> ParseTypedWhole(std::string_view text)
{
    const std::string_view s = WithoutBlanks(text);
    const std::size_t digits = AfterSign(s, 0);
    if (digits == s.size() || DigitsEnd(s, digits) != s.size())
        return std::nullopt;
    const std::string c(s);
    errno = 0;
    const long value = std::strtol(c.c_str(), nullptr, 10);
    if (errno == ERANGE)
        return std::nullopt;
    return value;
}

std::optional<double> TypedNumberOrRefuse(Window dialog, int id, const char* field, const char* example,
                                          const char* caption)
{
    const std::string typed = GetControlText(dialog, id);
    if (std::optional<double> value = ParseTypedNumber(typed))
        return value;
    const bool blank = WithoutBlanks(typed).empty();
    ShowMessage(dialog,
                Format("Le champ « %s » %s.\nTapez un nombre, par exemple %s.", field,
                       blank ? "est vide" : ("ne contient pas un nombre : « " + typed + " »").c_str(), example),
                caption, MessageButtons::Ok, MessageIcon::Warning);
    return std::nullopt;
}
