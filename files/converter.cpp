#include "files/converter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "base/log.h"
#include "base/savefile.h"
#include "base/text.h"
#include "files/recordfile.h"
#include "model/port.h"
#include "platform/platform.h"

namespace {

constexpr float HOURS_PER_MINUTE = 0.016666668f;  // 1/60 in single precision: tide times have always used it
constexpr double HALF_PI = 1.5707963267948966;
constexpr std::size_t LINE_CHARS = 99;  // a source line holds 99 characters at most

struct Tide {
    long hour = 0;
    long minute = 0;
    float time = 0;    // h since 00:00 of the first day
    float height = 0;  // m
    int line = 0;      // of the source, from 1
};

// Heights are refused beyond this (m): far above any tide, and their
// centimetres always fit the record's integers.
constexpr float MAX_HEIGHT_M = 1e6f;

// What the source holds. When it ends with a line end, its last tide is
// repeated once, at the same time, as the reading has always done.
struct TideSource {
    std::string portLine;
    std::string yearLine;
    long days = 0;
    std::vector<Tide> tides;
    int tideLines = 0;           // lines that gave at least an hour
    bool cutAtCapacity = false;  // tides were left unread after TIDES_PER_DAY × days
    std::string problem;         // why it cannot be converted; empty when it can
};

void PrintTo(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void PrintTo(std::string& out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    out += FormatV(format, args);
    va_end(args);
}

// ---- Reading the source ------------------------------------------------------------

enum class TideParse { Blank, NoHour, Read };

// sscanf(line, "%i\t%i\t%f"): the fields are assigned in order as far as the
// line allows, the others keep their values. A blank line assigns nothing
// but is not a failure.
TideParse ParseTideLine(const std::string& line, Tide& tide)
{
    TextReader in = ReaderOf(line);
    SkipWhitespace(in);
    if (AtEnd(in))
        return TideParse::Blank;
    if (!ScanInt(in, tide.hour))
        return TideParse::NoHour;
    if (ScanInt(in, tide.minute))
        ScanFloat(in, tide.height);
    return TideParse::Read;
}

// Reads one whole line into line: false, line untouched, when nothing was
// left. end tells whether the read met the end of the source. lineNumber
// is that of the next line to read.
bool ReadSourceLine(TextReader& in, std::string& line, bool& end, int& lineNumber)
{
    std::string next = ReadWholeLine(in);
    end = next.empty() || (next.back() != '\n' && AtEnd(in));
    if (next.empty())
        return false;
    line = std::move(next);
    ++lineNumber;
    return true;
}

std::string WithoutLineEnd(const std::string& line)
{
    return line.substr(0, line.find('\n'));
}

// Times in extended precision, stored as floats.
float FirstTime(const Tide& tide)
{
    long double t = static_cast<long double>(tide.hour) +
                    static_cast<long double>(tide.minute) * static_cast<long double>(HOURS_PER_MINUTE);
    return static_cast<float>(t);
}

// The day rule looks at the hour only: 12:50 then 12:10 is 40 minutes back.
float NextTime(const Tide& previous, const Tide& tide)
{
    long double t = static_cast<long double>(previous.time) +
                    (static_cast<long double>(tide.hour) - static_cast<long double>(previous.hour)) +
                    (static_cast<long double>(tide.minute) - static_cast<long double>(previous.minute)) *
                        static_cast<long double>(HOURS_PER_MINUTE);
    if (previous.hour > tide.hour)
        t += 24;
    return static_cast<float>(t);
}

bool HasMoreText(const TextReader& in)
{
    return in.text.find_first_not_of(" \t\n\v\f\r", in.pos) != std::string::npos;
}

// Why a tide read from this line cannot be drawn; empty when it can. Its
// time must not go back: the day only changes when the hour goes down.
std::string TideProblem(const Tide& tide, const Tide* previous, const std::string& line)
{
    const std::string quoted = Format("la marée de la ligne %i, « ", tide.line) + WithoutLineEnd(line) + " »,";
    if (line.size() - (line.ends_with('\n') ? 1 : 0) > LINE_CHARS)
        return Format("la ligne %i dépasse %zu caractères", tide.line, LINE_CHARS);
    if (tide.hour < 0 || tide.hour > 23 || tide.minute < 0 || tide.minute > 59)
        return quoted + " n'a pas une heure de 0 à 23 suivie de minutes de 0 à 59";
    if (!(std::fabs(tide.height) <= MAX_HEIGHT_M))
        return quoted + Format(" n'a pas une hauteur finie, entre %.0f et %.0f m", -static_cast<double>(MAX_HEIGHT_M),
                               static_cast<double>(MAX_HEIGHT_M));
    if (previous && tide.time < previous->time)
        return quoted + Format(" vient avant celle de la ligne %i : les marées doivent se suivre dans le temps, "
                               "le jour ne changeant que quand l'heure diminue",
                               previous->line);
    return "";
}

// Adds the tide, or sets the problem and returns false.
bool TakeTide(TideSource& source, const Tide& tide, const std::string& line)
{
    source.problem = TideProblem(tide, source.tides.empty() ? nullptr : &source.tides.back(), line);
    if (!source.problem.empty())
        return false;
    source.tides.push_back(tide);
    return true;
}

// The tide lines after the day count. The line that stops the reading (the
// end of the source, or a line that does not start with a number) still
// makes a tide, with the fields it could not give kept from the one before.
void ReadTides(TextReader& in, TideSource& source)
{
    std::string line;
    bool end = false;
    int lineNumber = LineNumberAt(in, in.pos);
    Tide tide;
    tide.line = lineNumber;
    if (!ReadSourceLine(in, line, end, lineNumber))
        return;
    if (ParseTideLine(line, tide) != TideParse::Read)
        return;
    tide.time = FirstTime(tide);
    if (!TakeTide(source, tide, line))
        return;
    source.tideLines = 1;
    const auto capacity = static_cast<std::size_t>(TIDES_PER_DAY * source.days);
    TideParse parse = TideParse::Read;
    while (!end && parse != TideParse::NoHour) {
        if (source.tides.size() == capacity) {
            source.cutAtCapacity = HasMoreText(in);
            return;
        }
        const Tide previous = source.tides.back();
        const int number = lineNumber;
        bool fresh = ReadSourceLine(in, line, end, lineNumber);
        parse = ParseTideLine(line, tide);
        if (fresh)
            tide.line = number;
        if (fresh && parse == TideParse::Read)
            ++source.tideLines;
        tide.time = NextTime(previous, tide);
        if (!TakeTide(source, tide, line))
            return;
    }
}

// One of the first two lines, copied to the output: it must fit a record's
// header line.
bool ReadHeaderLine(TextReader& in, std::string& line, const char* what, TideSource& source)
{
    line = ReadWholeLine(in);
    if (line.empty()) {
        source.problem = "le fichier source.txt s'arrête avant le nombre de jours (ligne 3)";
        return false;
    }
    if (line.size() - (line.ends_with('\n') ? 1 : 0) > PORT_NAME_CHARS) {
        source.problem = Format("la ligne %i, %s, dépasse %zu caractères", LineNumberAt(in, in.pos - 1), what,
                                PORT_NAME_CHARS);
        return false;
    }
    return true;
}

// The year line must hold a year alone, or the record written would be
// refused when read back.
bool IsYearLine(const std::string& line)
{
    TextReader in{line, 0};  // as the record reader will see it, mid-file
    long year = 0;
    if (!ScanInt(in, year) || !YearStartTime(year))
        return false;
    SkipWhitespace(in);
    return AtEnd(in);
}

// The header lines and the day count; false, with the problem set, when the
// source cannot give them.
bool ReadHeader(TextReader& in, TideSource& source)
{
    if (!ReadHeaderLine(in, source.portLine, "le nom du port", source) ||
        !ReadHeaderLine(in, source.yearLine, "l'année", source))
        return false;
    if (!IsYearLine(source.yearLine)) {
        source.problem = "la ligne 2, « " + WithoutLineEnd(source.yearLine) + " », n'est pas une année";
        return false;
    }
    if (!ScanInt(in, source.days)) {
        source.problem = "le nombre de jours (ligne 3) n'est pas un nombre";
        return false;
    }
    SkipWhitespace(in);
    if (source.days < 1 || source.days > MAX_RECORD_DAYS) {
        source.problem = Format("le nombre de jours (%li) n'est pas compris entre 1 et %li", source.days,
                                MAX_RECORD_DAYS);
        return false;
    }
    return true;
}

TideSource ReadTideSource(const std::string& bytes)
{
    TideSource source;
    TextReader in = ReaderOf(bytes);
    if (!ReadHeader(in, source))
        return source;
    TextReader atFirstTide = in;
    const std::string firstLine = ReadWholeLine(atFirstTide);
    if (firstLine.empty()) {
        source.problem = "le fichier source.txt ne contient aucune marée après le nombre de jours";
        return source;
    }
    ReadTides(in, source);
    if (!source.problem.empty())
        return source;
    if (source.tides.empty())
        source.problem = "la première marée, « " + WithoutLineEnd(firstLine) + " », ne commence pas par une heure";
    else if (source.tideLines < 2)
        source.problem = "il faut au moins deux marées pour tracer la courbe entre elles, et le fichier "
                         "source.txt n'en contient qu'une";
    return source;
}

// ---- Writing the record and the report ------------------------------------------

// The two tides an output hour lies between: it leaves lo at its steepest
// and reaches hi flat.
struct Pair {
    std::size_t p = 0;  // index of the upper end
    float lo = 0, hi = 0;    // h
    float Hlo = 0, Hhi = 0;  // m
};

Pair PairEndingAt(const std::vector<Tide>& tides, std::size_t p)
{
    return Pair{p, tides[p - 1].time, tides[p].time, tides[p - 1].height, tides[p].height};
}

void PrintPair(std::string& report, long x, const Pair& pair, bool step)
{
    const auto lo = static_cast<double>(pair.lo), hi = static_cast<double>(pair.hi);
    const auto Hlo = static_cast<double>(pair.Hlo), Hhi = static_cast<double>(pair.Hhi);
    if (step)
        PrintTo(report, "--> %li\t%f\t%f\t%f\t%f\n", x, lo, hi, Hlo, Hhi);
    else
        PrintTo(report, "%li\t%f\t%f\t%f\t%f\n", x, lo, hi, Hlo, Hhi);
}

// m at hour x, in extended precision.
long double HeightAt(float x, const Pair& pair)
{
    // Two tides at one time (a blank line repeats the one before) have no
    // curve between them.
    if (pair.hi == pair.lo)
        return static_cast<long double>(pair.Hhi);
    const auto lo = static_cast<long double>(pair.lo), hi = static_cast<long double>(pair.hi);
    const auto Hlo = static_cast<long double>(pair.Hlo), Hhi = static_cast<long double>(pair.Hhi);
    const long double angle = (static_cast<long double>(x) - lo) * static_cast<long double>(HALF_PI) / (hi - lo);
    return Hlo + (Hhi - Hlo) * std::sin(angle);
}

// Whole centimetres, truncated toward zero (4.567 m is 456, -0.129 m is -12).
// The curve stays within three times the largest height of the source, which
// is refused beyond MAX_HEIGHT_M: the centimetres fit an int.
int CentimetresOf(long double metres)
{
    return static_cast<int>(std::trunc(metres * 100));
}

// The hours from -1 to 24 × days - 2, to the record and to the report.
// Returns how many lie after the last tide.
long DrawHours(const TideSource& source, std::string& output, std::string& report)
{
    const std::vector<Tide>& tides = source.tides;
    // Before the first tide, the first two are taken with the first as upper end.
    Pair pair{0, tides[1].time, tides[0].time, tides[1].height, tides[0].height};
    long held = 0;
    for (long x = -1; x <= 24 * source.days - 2; ++x) {
        const auto hour = static_cast<float>(x);
        while (hour > pair.hi && pair.p + 1 < tides.size()) {
            pair = PairEndingAt(tides, pair.p + 1);
            PrintPair(report, x, pair, true);
        }
        PrintPair(report, x, pair, false);
        // Past the last tide nothing says where the curve goes: the hour is not measured.
        if (hour > pair.hi) {
            ++held;
            output += "-\n";
        } else {
            PrintTo(output, "%i\n", CentimetresOf(HeightAt(hour, pair)));
        }
    }
    return held;
}

// The head of the report: each tide after the first, with its height as
// last column; then the times of all tides but the last, which repeats its
// predecessor when the source ends with a line end.
void PrintTideLists(std::string& report, const std::vector<Tide>& tides)
{
    for (std::size_t i = 1; i < tides.size(); ++i)
        PrintTo(report, "%f\t%i\t%i\t%li\t%f\n", static_cast<double>(tides[i].time),
                static_cast<int>(tides[i].hour), static_cast<int>(tides[i].minute), static_cast<long>(i),
                static_cast<double>(tides[i].height));
    for (std::size_t i = 0; i + 1 < tides.size(); ++i)
        PrintTo(report, "%f\n", static_cast<double>(tides[i].time));
}

// What the conversion had to hold, for the message and the report.
std::string NotesOf(const TideSource& source, long held)
{
    std::string notes;
    if (source.cutAtCapacity)
        notes += Format("La source contient plus de %li marées (%li par jour sur %li jours) : les suivantes "
                        "n'ont pas été lues.\n",
                        TIDES_PER_DAY * source.days, TIDES_PER_DAY, source.days);
    if (held > 0)
        notes += Format("Les %li dernières heures tombent après la dernière marée de la source (%f h) : elles "
                        "sont laissées manquantes.\n",
                        held, static_cast<double>(source.tides.back().time));
    return notes;
}

// The record and the report of a source that can be converted; returns the
// notes of what the conversion had to hold.
std::string WriteConversion(const TideSource& source, std::string& output, std::string& report)
{
    output = source.portLine + source.yearLine;
    PrintTo(output, "%i\r\n\r\n", static_cast<int>(source.days));
    PrintTideLists(report, source.tides);
    const std::string notes = NotesOf(source, DrawHours(source, output, report));
    report += notes;
    return notes;
}

bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The source in the working directory whatever the letter case of its name:
// "source.txt" itself when it is there, or else the first such name in
// alphabetical order; "source.txt" when there is none.
std::string SourceFileName()
{
    std::error_code error;
    if (std::filesystem::exists(CONVERTER_SOURCE_FILE, error))
        return CONVERTER_SOURCE_FILE;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".", error))
        if (SameIgnoringCase(entry.path().filename().string(), CONVERTER_SOURCE_FILE))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names.empty() ? CONVERTER_SOURCE_FILE : names.front();
}

// Writes one of the converter's files whole, in place of the old one; false,
// with why set, when it could not, the old file then being as it was.
bool SaveConverterFile(const char* name, const std::string& text, std::string& why)
{
    std::string reason;
    if (SaveFileBytes(name, WithCrLf(text), reason))
        return true;
    why = Format("le fichier %s n'a pas pu être écrit : %s ; il est resté tel qu'il était", name, reason.c_str());
    return false;
}

void Tell(const std::string& text, MessageIcon icon)
{
    if (icon == MessageIcon::Error || icon == MessageIcon::Warning)
        ++FailedActions;
    ShowMessage(nullptr, text, "Convertisseur", MessageButtons::Ok, icon);
}

// The report alone says why; the output is left as it was.
void RefuseSource(const std::string& problem, const std::string& sourceName)
{
    const std::string refusal = Format("Conversion impossible : %s.\n", problem.c_str());
    std::string why;
    const bool reported = SaveConverterFile(CONVERTER_REPORT_FILE, refusal, why);
    Tell(refusal + Format("\nFichier source : %s. Le fichier %s n'a pas été modifié.", sourceName.c_str(),
                          CONVERTER_OUTPUT_FILE) +
             (reported ? "" : "\nDe plus, " + why + "."),
         MessageIcon::Warning);
}

void WriteConversionFiles(const TideSource& source)
{
    std::string output, report;
    const std::string notes = WriteConversion(source, output, report);
    std::string why;
    if (!SaveConverterFile(CONVERTER_OUTPUT_FILE, output, why))
        return Tell("Erreur lors de l'écriture des fichiers : " + why + ".\n\nLe fichier report.txt n'a pas été "
                    "modifié non plus.",
                    MessageIcon::Error);
    const std::string after = notes.empty() ? "" : "\n\n" + notes;
    if (!SaveConverterFile(CONVERTER_REPORT_FILE, report, why))
        return Tell("Conversion terminée, mais " + why + "." + after, MessageIcon::Warning);
    Tell("Conversion terminée." + after, MessageIcon::None);
}

}  // namespace

void ConvertTideTimes()
{
    const std::string sourceName = SourceFileName();
    const std::string confirmation =
        Format("Convertit horaires de marées -> Relevés horaires.\n\nFichier source : %s\n"
               "Fichier cible : %s\nFichier de Rapport : %s\n\nCommencer le traitement ?",
               sourceName.c_str(), CONVERTER_OUTPUT_FILE, CONVERTER_REPORT_FILE);
    if (ShowMessage(nullptr, confirmation, "Convertisseur pour Haliome", MessageButtons::YesNo,
                    MessageIcon::None) != MessageAnswer::Yes)
        return;
    const std::optional<std::string> bytes = ReadFileBytes(sourceName, MAX_CONVERTER_SOURCE_BYTES);
    if (!bytes)
        return Tell(Format("Erreur lors de l'ouverture des fichiers.\n\nLe fichier source %s ne peut pas être lu : "
                           "il doit se trouver dans le dossier de travail (son nom peut être en majuscules ou en "
                           "minuscules).",
                           sourceName.c_str()),
                    MessageIcon::Error);
    if (bytes->size() > MAX_CONVERTER_SOURCE_BYTES)
        return Tell(Format("Le fichier source %s dépasse %zu Mo, plus que n'en prennent %li marées par jour "
                           "pendant un siècle : il n'a pas été converti.",
                           sourceName.c_str(), MAX_CONVERTER_SOURCE_BYTES >> 20, TIDES_PER_DAY),
                    MessageIcon::Error);
    const TideSource source = ReadTideSource(*bytes);
    if (source.problem.empty())
        WriteConversionFiles(source);
    else
        RefuseSource(source.problem, sourceName);
}
