#include "files/converter.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "files/recordfile.h"
#include "platform/platform.h"

namespace {

constexpr float HOURS_PER_MINUTE = 0.016666668f;  // 1/60 in single precision: tide times have always used it
constexpr double HALF_PI = 1.5707963267948966;
constexpr std::size_t LINE_SIZE = 100;  // a source line is read 99 characters at most

struct Tide {
    long hour = 0;
    long minute = 0;
    float time = 0;    // h since 00:00 of the first day
    float height = 0;  // m
};

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

void PrintTo(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
void PrintTo(std::FILE* stream, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteText(stream, FormatV(format, args));
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

// fgets into line: false, line untouched, when nothing was left. end tells
// whether the read met the end of the source.
bool ReadSourceLine(TextReader& in, std::string& line, bool& end)
{
    bool fresh = ReadLine(in, LINE_SIZE, line);
    end = !fresh || (line.back() != '\n' && AtEnd(in));
    return fresh;
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

// The tide lines after the day count. The line that stops the reading (the
// end of the source, or a line that does not start with a number) still
// makes a tide, with the fields it could not give kept from the one before.
void ReadTides(TextReader& in, TideSource& source)
{
    std::string line;
    bool end = false;
    Tide tide;
    if (!ReadSourceLine(in, line, end))
        return;
    if (ParseTideLine(line, tide) != TideParse::Read)
        return;
    tide.time = FirstTime(tide);
    source.tides.push_back(tide);
    source.tideLines = 1;
    const auto capacity = static_cast<std::size_t>(TIDES_PER_DAY * source.days);
    TideParse parse = TideParse::Read;
    while (!end && parse != TideParse::NoHour) {
        if (source.tides.size() == capacity) {
            source.cutAtCapacity = HasMoreText(in);
            return;
        }
        const Tide previous = source.tides.back();
        bool fresh = ReadSourceLine(in, line, end);
        parse = ParseTideLine(line, tide);
        if (fresh && parse == TideParse::Read)
            ++source.tideLines;
        tide.time = NextTime(previous, tide);
        source.tides.push_back(tide);
    }
}

// The header lines and the day count; false, with the problem set, when the
// source cannot give them.
bool ReadHeader(TextReader& in, TideSource& source)
{
    if (!ReadLine(in, LINE_SIZE, source.portLine) || !ReadLine(in, LINE_SIZE, source.yearLine)) {
        source.problem = "le fichier source.txt s'arrête avant le nombre de jours (ligne 3)";
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
    std::string firstLine;
    if (!ReadLine(atFirstTide, LINE_SIZE, firstLine)) {
        source.problem = "le fichier source.txt ne contient aucune marée après le nombre de jours";
        return source;
    }
    ReadTides(in, source);
    if (source.tides.empty())
        source.problem = Format("la première marée, « %s », ne commence pas par une heure",
                                firstLine.substr(0, firstLine.find('\n')).c_str());
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

void PrintPair(std::FILE* report, long x, const Pair& pair, bool step)
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
    // Past the last tide there is no next one: its height holds. Two tides at
    // one time (a blank line repeats the one before) have no curve between them.
    if (x > pair.hi || pair.hi == pair.lo)
        return static_cast<long double>(pair.Hhi);
    const auto lo = static_cast<long double>(pair.lo), hi = static_cast<long double>(pair.hi);
    const auto Hlo = static_cast<long double>(pair.Hlo), Hhi = static_cast<long double>(pair.Hhi);
    const long double angle = (static_cast<long double>(x) - lo) * static_cast<long double>(HALF_PI) / (hi - lo);
    return Hlo + (Hhi - Hlo) * std::sin(angle);
}

// Whole centimetres, truncated toward zero (4.567 m is 456, -0.129 m is -12).
int CentimetresOf(long double metres)
{
    const long double cm = std::trunc(metres * 100);
    // Only "nan" or a huge height in the source comes here: no int holds it.
    if (std::isnan(cm))
        return 0;
    if (cm > INT_MAX || cm < INT_MIN)
        return cm > 0 ? INT_MAX : INT_MIN;
    return static_cast<int>(cm);
}

// The hours from -1 to 24 × days - 2, to the record and to the report.
// Returns how many lie after the last tide.
long DrawHours(const TideSource& source, std::FILE* output, std::FILE* report)
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
        if (hour > pair.hi)
            ++held;
        PrintTo(output, "%i\n", CentimetresOf(HeightAt(hour, pair)));
    }
    return held;
}

// The head of the report: each tide after the first, with its height as
// last column; then the times of all tides but the last, which repeats its
// predecessor when the source ends with a line end.
void PrintTideLists(std::FILE* report, const std::vector<Tide>& tides)
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
                        "en gardent la hauteur, %f m.\n",
                        held, static_cast<double>(source.tides.back().time),
                        static_cast<double>(source.tides.back().height));
    return notes;
}

// Returns the text of the closing message.
std::string WriteConversion(const TideSource& source, std::FILE* output, std::FILE* report)
{
    WriteText(output, source.portLine);
    WriteText(output, source.yearLine);
    PrintTo(output, "%i\r\n\r\n", static_cast<int>(source.days));
    PrintTideLists(report, source.tides);
    const std::string notes = NotesOf(source, DrawHours(source, output, report));
    WriteText(report, notes);
    return notes.empty() ? "Conversion terminée." : "Conversion terminée.\n\n" + notes;
}

std::string WriteRefusal(const std::string& problem, const std::string& sourceName, std::FILE* report)
{
    PrintTo(report, "Conversion impossible : %s.\n", problem.c_str());
    return Format("Conversion impossible : %s.\n\nFichier source : %s. Le fichier sortie.txt est resté vide.",
                  problem.c_str(), sourceName.c_str());
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

struct ConverterFiles {
    std::string source;
    std::FILE* output = nullptr;
    std::FILE* report = nullptr;
};

void ReportOpeningFailure(const std::string& why)
{
    ShowMessage(nullptr, "Erreur lors de l'ouverture des fichiers.\n\n" + why, "Convertisseur", MessageButtons::Ok,
                MessageIcon::Error);
}

// Opens the source, then the output and the report, in that order. When one
// cannot be opened the user is told which and nothing is returned; an output
// opened before is left empty.
std::optional<ConverterFiles> OpenConverterFilesOrReport(const std::string& sourceName)
{
    ConverterFiles files;
    std::optional<std::string> source = ReadFileBytes(sourceName);
    if (!source) {
        ReportOpeningFailure(Format("Le fichier source %s ne peut pas être lu : il doit se trouver dans le dossier "
                                    "de travail (son nom peut être en majuscules ou en minuscules).",
                                    sourceName.c_str()));
        return std::nullopt;
    }
    files.output = std::fopen(CONVERTER_OUTPUT_FILE, "wb");
    if (!files.output) {
        ReportOpeningFailure(Format("Le fichier cible %s ne peut pas être écrit.", CONVERTER_OUTPUT_FILE));
        return std::nullopt;
    }
    files.report = std::fopen(CONVERTER_REPORT_FILE, "wb");
    if (!files.report) {
        std::fclose(files.output);
        ReportOpeningFailure(Format("Le fichier de rapport %s ne peut pas être écrit.", CONVERTER_REPORT_FILE));
        return std::nullopt;
    }
    files.source = std::move(*source);
    return files;
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
    std::optional<ConverterFiles> files = OpenConverterFilesOrReport(sourceName);
    if (!files)
        return;
    const TideSource source = ReadTideSource(files->source);
    const bool convertible = source.problem.empty();
    const std::string message = convertible ? WriteConversion(source, files->output, files->report)
                                            : WriteRefusal(source.problem, sourceName, files->report);
    std::fclose(files->report);
    std::fclose(files->output);
    ShowMessage(nullptr, message, "Convertisseur", MessageButtons::Ok,
                convertible ? MessageIcon::None : MessageIcon::Warning);
}
