#include "base/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <vector>

std::string FormatV(const char* format, va_list args)
{
    // Most texts are a line: one pass into the stack, a second only for longer ones.
    char line[256];
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(line, sizeof line, format, args);
    std::string out;
    if (length > 0 && static_cast<std::size_t>(length) < sizeof line) {
        out.assign(line, static_cast<std::size_t>(length));
    } else if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, again);
        out.assign(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
    return out;
}

std::string FrenchDecimal(double x, int decimals)
{
    std::string text = Format("%.*f", decimals, x);
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = FormatV(format, args);
    va_end(args);
    return out;
}

std::string WithCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

void WriteText(std::FILE* stream, std::string_view text)
{
    std::string bytes = WithCrLf(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes, bool textOnly)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return std::nullopt;
    std::string bytes;
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        bytes.append(chunk, n);
        if (textOnly && std::memchr(chunk, '\0', n))
            break;
        if (bytes.size() > maxBytes) {
            bytes.resize(maxBytes + 1);
            break;
        }
    }
    const bool failed = std::ferror(f) != 0;  // a folder opens, and its first read fails
    std::fclose(f);
    if (failed)
        return std::nullopt;
    return bytes;
}

std::string WithoutCr(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        out += bytes[i];
    }
    return out;
}

// ---- Windows-1252 ----------------------------------------------------------

namespace {

// Code points of bytes 0x80 to 0x9F; the undefined ones keep their value.
constexpr char32_t HIGH_CONTROLS[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 character at text[i]; returns its length, 0 if invalid.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& c)
{
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b0 = byte(i);
    std::size_t length = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3
                       : (b0 >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    c = length == 1 ? b0 : static_cast<char32_t>(b0 & (0x7F >> length));
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    constexpr char32_t SHORTEST[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < SHORTEST[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

char Windows1252Of(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t k = 0; k < 32; ++k)
        if (HIGH_CONTROLS[k] == c)
            return static_cast<char>(0x80 + k);
    return '?';
}

}  // namespace

std::string Utf8FromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? HIGH_CONTROLS[b - 0x80] : b);
    }
    return out;
}

std::string Windows1252FromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        std::size_t length = DecodeUtf8(utf8, i, c);
        out += length ? Windows1252Of(c) : '?';
        i += length ? length : 1;
    }
    return out;
}

std::string WithCharacterReferences(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(utf8, i, c);
        if (length == 0)
            c = 0xFFFD;  // as a reader of UTF-8 shows a byte that is not
        if (c == '&')
            out += "&amp;";
        else if (Windows1252Of(c) == '?' && c != '?')
            out += Format("&#%u;", static_cast<unsigned>(c));
        else
            out.append(utf8.substr(i, length));
        i += length ? length : 1;
    }
    return out;
}

std::string WithoutCharacterReferences(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t end = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (end == std::string_view::npos) {
            out += text[i];
            continue;
        }
        const std::string_view name = text.substr(i + 1, end - i - 1);
        char* stop = nullptr;
        const std::string digits(name.substr(name.empty() ? 0 : 1));
        const unsigned long code = name.starts_with('#') && !digits.empty() && digits.size() <= 7
                                       ? std::strtoul(digits.c_str(), &stop, 10)
                                       : 0;
        if (name == "amp") {
            out += '&';
        } else if (stop && *stop == '\0' && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
            AppendUtf8(out, static_cast<char32_t>(code));
        } else {
            out += text[i];
            continue;
        }
        i = end;
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        std::size_t length = DecodeUtf8(bytes, i, c);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string FirstChars(const std::string& utf8, std::size_t maxChars)
{
    std::size_t i = 0;
    for (std::size_t chars = 0; i < utf8.size() && chars < maxChars; ++chars) {
        char32_t c = 0;
        std::size_t length = DecodeUtf8(utf8, i, c);
        i += length ? length : 1;
    }
    return utf8.substr(0, i);
}

// ---- Scanning ----------------------------------------------------------------

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool ScanInteger(TextReader& in, long& value, int base)
{
    SkipWhitespace(in);
    const char* start = in.text.c_str() + in.pos;
    char* end = nullptr;
    long v = std::strtol(start, &end, base);
    if (end == start)
        return false;
    value = v;  // out of range: strtol saturates, and the caller's range check refuses it
    in.pos += static_cast<std::size_t>(end - start);
    return true;
}

}  // namespace

TextReader ReaderOf(std::string_view bytes)
{
    while (bytes.starts_with("\xEF\xBB\xBF"))  // an editor may have added one to a file that had one
        bytes.remove_prefix(3);
    TextReader in;
    in.text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r')
            in.text += bytes[i];
        else if (i + 1 == bytes.size() || bytes[i + 1] != '\n')
            in.text += '\n';
    }
    return in;
}

int LineNumberAt(const TextReader& in, std::size_t pos)
{
    const auto end = in.text.begin() + static_cast<std::ptrdiff_t>(std::min(pos, in.text.size()));
    return 1 + static_cast<int>(std::count(in.text.begin(), end, '\n'));
}

bool AtEnd(const TextReader& in)
{
    return in.pos >= in.text.size();
}

bool ReadLine(TextReader& in, std::size_t size, std::string& line)
{
    if (AtEnd(in) || size < 2)
        return false;
    std::size_t limit = size - 1;
    std::size_t end = in.text.find('\n', in.pos);
    std::size_t length = end == std::string::npos ? in.text.size() - in.pos : end + 1 - in.pos;
    if (length > limit)
        length = limit;
    line = in.text.substr(in.pos, length);
    in.pos += length;
    return true;
}

std::string ReadWholeLine(TextReader& in)
{
    const std::size_t start = in.pos;
    SkipLine(in);
    return in.text.substr(start, in.pos - start);
}

void SkipLine(TextReader& in)
{
    std::size_t end = in.text.find('\n', in.pos);
    in.pos = end == std::string::npos ? in.text.size() : end + 1;
}

void SkipWhitespace(TextReader& in)
{
    while (!AtEnd(in) && IsSpace(in.text[in.pos]))
        ++in.pos;
}

bool ScanInt(TextReader& in, long& value) { return ScanInteger(in, value, 0); }
bool ScanDecimal(TextReader& in, long& value) { return ScanInteger(in, value, 10); }

bool ScanReal(TextReader& in, long double& value)
{
    SkipWhitespace(in);
    const char* start = in.text.c_str() + in.pos;
    char* end = nullptr;
    long double v = std::strtold(start, &end);
    if (end == start)
        return false;
    value = v;
    in.pos += static_cast<std::size_t>(end - start);
    return true;
}

bool ScanFloat(TextReader& in, float& value)
{
    SkipWhitespace(in);
    const char* start = in.text.c_str() + in.pos;
    char* end = nullptr;
    float v = std::strtof(start, &end);
    if (end == start)
        return false;
    value = v;
    in.pos += static_cast<std::size_t>(end - start);
    return true;
}

bool ScanWord(TextReader& in, std::string& word)
{
    SkipWhitespace(in);
    std::size_t start = in.pos;
    while (!AtEnd(in) && !IsSpace(in.text[in.pos]))
        ++in.pos;
    if (in.pos == start)
        return false;
    word = in.text.substr(start, in.pos - start);
    return true;
}

std::string ShortDecimal(double value)
{
    std::string text = Format("%.6f", value);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

bool MatchLiteral(TextReader& in, std::string_view literal)
{
    for (char c : literal) {
        if (IsSpace(c)) {
            SkipWhitespace(in);
            continue;
        }
        if (AtEnd(in) || in.text[in.pos] != c)
            return false;
        ++in.pos;
    }
    return true;
}
