// Text helpers: C-style formatting, CR LF lines, Windows-1252, and a reader
// that scans a text file the way the C scanning conversions do.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// printf into a std::string; the compiler checks the format.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// x with this many decimals and a decimal comma, as French texts write it;
// no sign on a number that rounds to zero ("0,00", not "-0,00").
std::string FrenchDecimal(double x, int decimals);

// "%Lf" takes a long double: passing a double is undefined behaviour.
inline long double Lf(double x) { return static_cast<long double>(x); }

// Lines the program writes end with CR LF: every LF not already preceded by
// a CR gets one.
std::string WithCrLf(std::string_view text);

// Writes text to a stream with CR LF line ends.
void WriteText(std::FILE* stream, std::string_view text);

// The whole file as bytes, or nothing when it cannot be opened or read (a
// folder). At most maxBytes + 1 bytes are read, so that the caller can tell
// a file larger than it would take without holding all of it. With
// textOnly, the read stops after the first 64 KiB that hold a NUL byte,
// which no text has: a device of zeros is not read to the bound.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes = SIZE_MAX,
                                         bool textOnly = false);

// What a text-mode read sees: each CR LF becomes LF.
std::string WithoutCr(std::string_view bytes);

// Wave files are Windows-1252 on disk; the program works in UTF-8. The five
// bytes Windows-1252 leaves undefined map to the C1 controls of the same
// value, so every byte sequence survives a round trip. Characters with no
// Windows-1252 code become '?'.
std::string Utf8FromWindows1252(std::string_view bytes);
std::string Windows1252FromUtf8(std::string_view utf8);
bool IsValidUtf8(std::string_view bytes);

// A UTF-8 text as Windows-1252 holds it: each character it has no code for
// as a numeric character reference ("Gda&#324;sk"), and "&" as "&amp;". The
// other way, such references (and "&amp;") give back their characters;
// anything else stays as it is.
std::string WithCharacterReferences(std::string_view utf8);
std::string WithoutCharacterReferences(std::string_view text);

// The first maxChars characters of a UTF-8 text.
std::string FirstChars(const std::string& utf8, std::size_t maxChars);

// A text being read from its start, with the semantics of the C stream
// functions on a text-mode stream.
struct TextReader {
    std::string text;  // every line end (CR LF, LF or CR alone) already a LF
    std::size_t pos = 0;
};

// The reader of a file's bytes: leading UTF-8 byte-order marks are dropped,
// and CR LF, LF and CR alone all end a line.
TextReader ReaderOf(std::string_view bytes);
bool AtEnd(const TextReader& in);

// The number, from 1, of the line that holds position pos of the text.
int LineNumberAt(const TextReader& in, std::size_t pos);

// fgets: at most size - 1 characters, stopping after a line feed, which is
// kept. False, with line untouched, when nothing is left to read.
bool ReadLine(TextReader& in, std::size_t size, std::string& line);

// The rest of the current line, its line feed kept, however long it is.
// Empty at the end of the text.
std::string ReadWholeLine(TextReader& in);

// Skips to just after the next line feed (or to the end).
void SkipLine(TextReader& in);

// The whitespace directive of a scanning format: skips any run of blanks,
// tabs and line ends.
void SkipWhitespace(TextReader& in);

// The conversions "%i" (a leading 0x means hexadecimal, a leading 0 octal),
// "%d" and "%Lf", each skipping leading whitespace. On failure nothing is
// assigned and the reader stays where the number should have started.
bool ScanInt(TextReader& in, long& value);
bool ScanDecimal(TextReader& in, long& value);
bool ScanReal(TextReader& in, long double& value);
// The conversion "%f": rounded once, straight to float.
bool ScanFloat(TextReader& in, float& value);

// The conversion "%s": skips leading whitespace, then takes characters up to
// the next whitespace. False at the end of the text.
bool ScanWord(TextReader& in, std::string& word);

// A number with the decimals it needs, at most six, and a dot: "11.75",
// "13", "0.000278"; what messages show of a period or a band.
std::string ShortDecimal(double value);

// The literal text of a scanning format: characters must match one by one,
// and a blank matches any run of whitespace. Stops at the first character
// that differs, which stays unread; true when the whole literal matched.
bool MatchLiteral(TextReader& in, std::string_view literal);
