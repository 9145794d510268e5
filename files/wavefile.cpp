#include "files/wavefile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "base/calendar.h"
#include "base/log.h"
#include "base/savefile.h"
#include "base/text.h"
#include "files/station.h"
#include "model/port.h"
#include "model/record.h"
#include "model/units.h"
#include "model/waves.h"
#include "platform/platform.h"

std::string WaveFilePath;
std::uint64_t SavedWavesRevision = 0;

namespace {

FileDialogOptions WaveFileDialog(const char* title)
{
    FileDialogOptions dialog;
    dialog.title = title;
    dialog.filterName = "Fichier d'ondes";
    dialog.filterPattern = "*.TID";
    dialog.pathMustExist = true;
    return dialog;
}

// At most this many problems are listed one by one; the rest are counted.
constexpr std::size_t LISTED_PROBLEMS = 10;

// What a wave file holds, read before anything in memory changes.
struct WaveFileContents {
    std::string portLine;
    long year = 0;
    std::optional<double> meanLevel;
    std::vector<Wave> waves;
    int wavesLeftOut = 0;               // beyond the table's capacity
    int problemLines = 0;               // lines left out
    std::vector<std::string> problems;  // the first ones, each naming its line
    // The port's lines, which older versions read as waves of period 0 and skip.
    std::optional<std::string> zone;    // its zone; none: the file names none
    int zoneLine = 0;
    std::string datumName;
    std::optional<double> datumOffset;
    bool showCoefficient = true;
    std::optional<std::string> exactName;  // the port's name where Windows-1252 could not hold it
    std::optional<TideOffsets> offsets;    // a secondary port's, from any of its lines
};

// The port's lines: "0.0;0.0;0.0;" then the key and the value, the datum's
// offset in the amplitude field.
constexpr std::string_view NAME_KEY = "Nom du port : ";
constexpr std::string_view ZONE_KEY = "Fuseau horaire : ";
constexpr std::string_view DATUM_KEY = "Zéro des hauteurs : ";
constexpr std::string_view OFFSET_KEY = "Niveau moyen au-dessus du zéro";
constexpr std::string_view COEFFICIENT_OFF = "Coefficient : non";
// A secondary port's: the reference's name, then for high and for low waters
// the ratio or the metres in the amplitude field, the minutes in the phase's.
constexpr std::string_view REFERENCE_KEY = "Port de référence : ";
constexpr std::string_view HIGH_RATIO_KEY = "Pleines mers : hauteur multipliée, minutes ajoutées";
constexpr std::string_view HIGH_METRES_KEY = "Pleines mers : mètres ajoutés, minutes ajoutées";
constexpr std::string_view LOW_RATIO_KEY = "Basses mers : hauteur multipliée, minutes ajoutées";
constexpr std::string_view LOW_METRES_KEY = "Basses mers : mètres ajoutés, minutes ajoutées";

void StripLineEnd(std::string& line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
}

// The line that starts at pos, as the message shows it.
std::string LineExcerpt(const TextReader& in, std::size_t pos)
{
    std::string line = in.text.substr(pos, std::min<std::size_t>(in.text.find('\n', pos) - pos, 60));
    return Utf8FromWindows1252(line);
}

void NoteProblem(WaveFileContents& file, const TextReader& in, std::size_t lineStart, const char* expected)
{
    ++file.problemLines;
    if (file.problems.size() < LISTED_PROBLEMS)
        file.problems.push_back(Format("ligne %i, « ", LineNumberAt(in, lineStart)) + LineExcerpt(in, lineStart) +
                                " » : " + expected);
}

// A line end would end the line in the file: it becomes a blank.
std::string NameForFile(std::string name)
{
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return name;
}

bool ScanWaveNumbers(TextReader& in, long double& period, long double& ampl, long double& etab)
{
    return ScanReal(in, period) && MatchLiteral(in, ";") && ScanReal(in, ampl) &&
           MatchLiteral(in, ";") && ScanReal(in, etab) && MatchLiteral(in, ";");
}

// The name is the rest of the line, cut to 99 characters.
std::string ScanWaveName(TextReader& in)
{
    std::string name;
    if (ReadLine(in, 100, name) && name.back() != '\n')
        SkipLine(in);
    StripLineEnd(name);
    return Utf8FromWindows1252(name);
}

// Nothing but finite numbers may enter the model: the chart, the tables and
// the fits all compute with them. A period so close to 0 that 2π / period
// overflows has no speed either.
const char* WaveProblem(double periodS, double ampl, double etab)
{
    if (!std::isfinite(periodS) || !std::isfinite(ampl) || !std::isfinite(etab))
        return "la période, l'amplitude et l'établissement doivent être des nombres finis";
    if (!std::isfinite(TWO_PI / periodS))
        return "la période est trop proche de zéro pour donner une vitesse";
    return nullptr;
}

// A line of a secondary port's offsets of high or low waters: the height
// and the whole minutes, within their bounds.
void ScanShiftLine(const TextReader& in, std::size_t lineStart, long double height, long double minutes, bool ratio,
                   TideShift& shift, WaveFileContents& file)
{
    // Whole minutes, and few enough for an int: the bound itself is TideShiftProblem's.
    if (!(std::fabs(minutes) <= 1e6L && std::nearbyint(minutes) == minutes))
        return NoteProblem(file, in, lineStart, "le décalage doit être un nombre entier de minutes ; la ligne est "
                                                "laissée de côté");
    const TideShift read{static_cast<int>(minutes), static_cast<double>(height), ratio};
    if (const std::string problem = TideShiftProblem(read); !problem.empty())
        return NoteProblem(file, in, lineStart, (problem + " ; la ligne est laissée de côté").c_str());
    shift = read;
}

// A line of period 0: one of the port's, or else a pseudo-wave (the mean
// level's form) that adds nothing.
void ScanPortLine(TextReader& in, std::size_t lineStart, long double ampl, long double etab, WaveFileContents& file)
{
    std::string line = Utf8FromWindows1252(ReadWholeLine(in));
    StripLineEnd(line);
    if (line.starts_with(NAME_KEY)) {
        // A name holds no line end: one written as a character reference
        // would split the port's line at the next save.
        std::string name = NameForFile(WithoutCharacterReferences(line.substr(NAME_KEY.size())));
        if (FirstChars(name, PORT_NAME_CHARS).size() < name.size())
            NoteProblem(file, in, lineStart,
                        Format("le nom du port dépasse %zu caractères ; celui de la ligne 1 est gardé", PORT_NAME_CHARS)
                            .c_str());
        else
            file.exactName = std::move(name);
    } else if (line.starts_with(ZONE_KEY)) {
        file.zone = line.substr(ZONE_KEY.size());
        file.zoneLine = LineNumberAt(in, lineStart);
    } else if (line.starts_with(DATUM_KEY))
        file.datumName = line.substr(DATUM_KEY.size());
    else if (line == OFFSET_KEY && std::isfinite(static_cast<double>(ampl)))
        file.datumOffset = static_cast<double>(ampl);
    else if (line == COEFFICIENT_OFF)
        file.showCoefficient = false;
    else if (line.starts_with(REFERENCE_KEY)) {
        if (!file.offsets)
            file.offsets.emplace();
        file.offsets->reference = line.substr(REFERENCE_KEY.size());
    } else if (line == HIGH_RATIO_KEY || line == HIGH_METRES_KEY || line == LOW_RATIO_KEY || line == LOW_METRES_KEY) {
        const bool high = line == HIGH_RATIO_KEY || line == HIGH_METRES_KEY;
        TideShift shift;
        ScanShiftLine(in, lineStart, ampl, etab, line == HIGH_RATIO_KEY || line == LOW_RATIO_KEY, shift, file);
        if (!file.offsets)
            file.offsets.emplace();
        (high ? file.offsets->high : file.offsets->low) = shift;
    }
}

void ScanWaveLines(TextReader& in, WaveFileContents& file)
{
    for (SkipWhitespace(in); !AtEnd(in); SkipWhitespace(in)) {
        const std::size_t lineStart = in.pos;
        long double period = 0, ampl = 0, etab = 0;
        if (!ScanWaveNumbers(in, period, ampl, etab)) {
            NoteProblem(file, in, lineStart, "une onde s'écrit période;amplitude;établissement;nom");
            SkipLine(in);
            continue;
        }
        const auto periodS = static_cast<double>(period);
        if (periodS == 0) {
            ScanPortLine(in, lineStart, ampl, etab, file);
            continue;
        }
        Wave w;
        w.name = ScanWaveName(in);
        if (const char* problem = WaveProblem(periodS, static_cast<double>(ampl), static_cast<double>(etab))) {
            NoteProblem(file, in, lineStart, problem);
            continue;
        }
        if (static_cast<int>(file.waves.size()) == WAVE_CAPACITY) {
            ++file.wavesLeftOut;
            continue;
        }
        w.speed = TWO_PI / periodS;
        w.ampl = static_cast<double>(ampl);
        w.etab = static_cast<double>(etab);
        file.waves.push_back(w);
    }
}

void ScanMeanLevel(TextReader& in, WaveFileContents& file)
{
    SkipWhitespace(in);
    const std::size_t lineStart = in.pos;
    long double mean = 0;
    if (!MatchLiteral(in, "0.0;") || !ScanReal(in, mean))
        return;
    if (std::isfinite(static_cast<double>(mean)))
        file.meanLevel = static_cast<double>(mean);
    else
        NoteProblem(file, in, lineStart, "le niveau moyen doit être un nombre fini ; celui en mémoire est gardé");
    MatchLiteral(in, ";0.0;Niveau Moyen\n");
}

void ReportPartialRead(const WaveFileContents& file)
{
    std::string text;
    if (file.wavesLeftOut > 0)
        text += Format("Le fichier contient %i ondes : seules les %i premières ont été chargées,\n"
                       "le tableau des ondes n'en contient pas plus.\n",
                       WAVE_CAPACITY + file.wavesLeftOut, WAVE_CAPACITY);
    if (file.problemLines > 0) {
        text += Format("%i ligne(s) illisible(s) du fichier ont été ignorées :\n", file.problemLines);
        for (const std::string& problem : file.problems)
            text += " - " + problem + "\n";
        if (file.problemLines > static_cast<int>(file.problems.size()))
            text += Format(" - et %i autre(s).\n", file.problemLines - static_cast<int>(file.problems.size()));
    }
    if (!text.empty())
        ShowMessage(MainWindow, "Fichier d'ondes « " + WaveFilePath + " » :\n" + text,
                    "Ouverture d'un fichier d'ondes", MessageButtons::Ok, MessageIcon::Warning);
}

void RefuseWaveFile(const std::string& reason)
{
    ShowMessage(MainWindow,
                "Le fichier d'ondes « " + WaveFilePath + " » n'a pas été chargé :\n" + reason +
                    ".\n\nLes ondes en mémoire sont conservées.",
                "Erreur", MessageButtons::Ok, MessageIcon::Warning);
}

void RefuseYear(const TextReader& in, std::size_t yearStart)
{
    RefuseWaveFile(Format("sa ligne %i, « ", LineNumberAt(in, yearStart)) + LineExcerpt(in, yearStart) +
                   " », devrait donner l'année, un nombre entier qui soit une date");
}

// The port line and the year; false, the user told, when the file cannot
// give them.
bool ScanWaveFileHead(TextReader& in, WaveFileContents& file, std::size_t& yearStart)
{
    const std::string portLine = ReadWholeLine(in);
    if (portLine.size() - (portLine.ends_with('\n') ? 1 : 0) > PORT_NAME_CHARS) {
        RefuseWaveFile(Format("sa ligne 1, le nom du port, dépasse %zu caractères", PORT_NAME_CHARS));
        return false;
    }
    file.portLine = portLine.empty() ? Header.PortName : Utf8FromWindows1252(portLine);
    SkipWhitespace(in);
    yearStart = in.pos;
    if (ScanInt(in, file.year))
        return true;
    RefuseYear(in, yearStart);
    return false;
}

// 1 January of the file's year on its port's clock: the zone it names, or
// the one assumed for files that name none. The port's clock becomes that
// zone; a record read from a file is carried to its time base. False, the
// user told and nothing changed, when the zone is unknown or the year has
// no date on it.
bool TakePortClock(const TextReader& in, std::size_t yearStart, const WaveFileContents& file, CalendarTime& start)
{
    const std::string zone = file.zone.value_or(AssumedPortZone);
    if (!UseClockOf(zone)) {
        RefuseWaveFile(Format("sa ligne %i nomme le fuseau horaire « ", file.zoneLine) + zone +
                       " », que le système ne connaît pas");
        return false;
    }
    const std::optional<CalendarTime> converted = YearStartTime(file.year);
    UsePortClock();
    if (!converted) {
        RefuseYear(in, yearStart);
        return false;
    }
    std::string why;
    if (zone != Header.TimeZone && !RecordSeries.Placeholder && !SetPortZone(zone, why)) {
        RefuseWaveFile("l'enregistrement en mémoire ne peut pas passer sur son fuseau horaire : " + why);
        return false;
    }
    UseClockOf(zone);
    Header.TimeZone = zone;
    start = *converted;
    return true;
}

// The file's phases refer to 1 January of its year. A record read from a
// file keeps the time origin, since its hours are tied to their dates: the
// waves are turned to it. The default series has no date and follows the file.
void InstallWaveFile(const WaveFileContents& file, CalendarTime start)
{
    Header.PortName = file.exactName ? *file.exactName + "\n" : file.portLine;
    Header.DatumName = file.datumName;
    Header.DatumOffset = file.datumOffset;
    Header.ShowCoefficient = file.showCoefficient;
    ForgetCurrentStation();
    Header.Offsets = file.offsets;
    if (file.meanLevel)
        WaveSet.MeanLevel = *file.meanLevel;
    WaveSet.count = 0;
    for (const Wave& w : file.waves)
        AppendWave(w);
    const CalendarTime recordStart = Header.Time_of_debut;
    const std::int32_t recordYear = Header.StartYear;
    Header.Time_of_debut = start;
    Header.StartYear = static_cast<std::int32_t>(file.year);
    if (!RecordSeries.Placeholder)
        MoveTimeOrigin(recordStart, recordYear);
}

// "%Lf" keeps six decimals, as the format always has. Below 1 s that would
// lose the wave (under 5e-7 s it writes 0) and from 1e9 s on 2π / speed
// drifts by more than the sixth decimal at each save, so there the period
// is written with twelve significant digits. The choice is made on that
// rounding, so that reading back never moves a period across the limits.
std::string PeriodText(double periodS)
{
    const std::string rounded = Format("%.11Le", Lf(periodS));
    const double magnitude = std::fabs(std::strtod(rounded.c_str(), nullptr));
    return magnitude >= 1 && magnitude < 1e9 ? Format("%Lf", Lf(periodS)) : rounded;
}

bool FileHoldsName(const std::string& name)
{
    const std::string stored = NameForFile(name);
    return stored == name && Utf8FromWindows1252(Windows1252FromUtf8(stored)) == stored;
}

// Characters the format cannot hold were replaced in the file; the names in
// memory keep them. The port's name is kept whole in a line of its own.
void ReportAlteredNames()
{
    std::string altered;
    const std::string port = PortName();
    if (NameForFile(port) != port)
        altered += " - le port : " + port + "\n";
    for (int i = 0; i < WaveSet.count; ++i)
        if (!FileHoldsName(WaveSet.waves[i].name))
            altered += Format(" - l'onde %i : ", i + 1) + WaveSet.waves[i].name + "\n";
    if (!altered.empty())
        ShowMessage(MainWindow,
                    "Le fichier d'ondes « " + WaveFilePath +
                        " » a été enregistré, mais il ne peut contenir ni fin de ligne dans un nom ni "
                        "caractère hors de Windows-1252 ;\nils y sont remplacés par un blanc ou « ? » "
                        "dans ces désignations :\n" + altered,
                    "Enregistrement", MessageButtons::Ok, MessageIcon::Warning);
}

// The port's lines of what Windows-1252 and the older versions' lines do
// not say: none for a port that has nothing more than a name it holds.
std::string PortLines()
{
    std::string lines;
    const auto line = [&lines](std::string_view key, const std::string& value) {
        lines += "0.0;0.0;0.0;" + std::string(key) + NameForFile(value) + "\n";
    };
    // A first line that starts with the bytes of a byte-order mark loses
    // them when read: the name line keeps it whole.
    const std::string port = PortName();
    if (!FileHoldsName(port) || Header.PortName.starts_with("\u00EF\u00BB\u00BF"))
        line(NAME_KEY, WithCharacterReferences(port));
    if (!Header.TimeZone.empty())
        line(ZONE_KEY, Header.TimeZone);
    if (!Header.DatumName.empty())
        line(DATUM_KEY, Header.DatumName);
    if (Header.DatumOffset)
        lines += Format("0.0;%Lf;0.0;", Lf(*Header.DatumOffset)) + std::string(OFFSET_KEY) + "\n";
    if (!Header.ShowCoefficient)
        lines += "0.0;0.0;0.0;" + std::string(COEFFICIENT_OFF) + "\n";
    if (const std::optional<TideOffsets>& o = Header.Offsets) {
        line(REFERENCE_KEY, o->reference);
        const auto shift = [&lines](const TideShift& s, std::string_view ratioKey, std::string_view metresKey) {
            lines += Format("0.0;%Lf;%i.0;", Lf(s.height), s.minutes) + std::string(s.ratio ? ratioKey : metresKey) +
                     "\n";
        };
        shift(o->high, HIGH_RATIO_KEY, HIGH_METRES_KEY);
        shift(o->low, LOW_RATIO_KEY, LOW_METRES_KEY);
    }
    return lines;
}

}  // namespace

bool ReadWaveFile(std::string_view bytes)
{
    TextReader in = ReaderOf(bytes);
    WaveFileContents file;
    std::size_t yearStart = 0;
    if (!ScanWaveFileHead(in, file, yearStart))
        return false;
    std::string header;  // its content does not matter
    ScanWord(in, header);
    ScanMeanLevel(in, file);
    ScanWaveLines(in, file);
    if (!file.meanLevel && file.waves.empty()) {
        RefuseWaveFile("il ne donne ni le niveau moyen ni aucune onde : ce n'est pas un fichier d'ondes");
        return false;
    }
    if (const int beyond = WaveBeyondTideRange(file.waves.data(), static_cast<int>(file.waves.size())); beyond >= 0) {
        RefuseWaveFile(Format("avec l'onde %s (amplitude %g m), ses ondes prédiraient des hauteurs à plus de %g m "
                              "du niveau moyen",
                              file.waves[static_cast<std::size_t>(beyond)].name.c_str(),
                              file.waves[static_cast<std::size_t>(beyond)].ampl, MAX_TIDE_RANGE_M));
        return false;
    }
    CalendarTime start = 0;
    if (!TakePortClock(in, yearStart, file, start))
        return false;
    InstallWaveFile(file, start);
    ReportPartialRead(file);
    return true;
}

std::string WaveFileText()
{
    std::string text = Header.PortName;
    if (text.empty() || text.back() != '\n')
        text += '\n';
    text += Format("%i\n", Header.StartYear);
    text += "speed;ampl;etab;name\n";
    text += Format("0.0;%Lf;0.0;Niveau Moyen\n", Lf(WaveSet.MeanLevel));
    text += PortLines();
    for (int i = 0; i < WaveSet.count; ++i) {
        const Wave& w = WaveSet.waves[i];
        text += PeriodText(TWO_PI / w.speed) + Format(";%Lf;%Lf;", Lf(w.ampl), Lf(w.etab)) + NameForFile(w.name) + "\n";
    }
    return text;
}

std::string WaveFileBytes()
{
    return WithCrLf(Windows1252FromUtf8(WaveFileText()));
}

namespace {

// The name a save dialog proposes: the wave file's, or the port's.
std::string ProposedWaveFileName()
{
    if (!WaveFilePath.empty())
        return WaveFilePath;
    return FileNameOf(PortName()) + ".TID";
}

bool WriteWaveFile()
{
    std::string why;
    if (!SaveFileBytes(WaveFilePath, WaveFileBytes(), why)) {
        ShowMessage(MainWindow,
                    "Erreur enregistrement\n\nLe fichier d'ondes « " + WaveFilePath + " » n'a pas pu être écrit : " +
                        why + ".\nIl est resté tel qu'il était.",
                    "ERROR", MessageButtons::Ok, MessageIcon::None);
        return false;
    }
    LogText("\nEnregistrement.\n\n");
    MarkWavesSaved();
    ShowStatus("Ondes enregistrées dans « " + WaveFilePath + " ».");
    ReportAlteredNames();
    return true;
}

}  // namespace

void OpenWaveFile()
{
    if (!MaySetWavesAside(MainWindow, "Ouvrir un fichier d'ondes", "d'en ouvrir d'autres"))
        return;
    FileDialogOptions dialog = WaveFileDialog("Ouvrir un fichier d'ondes");
    dialog.fileMustExist = true;
    if (std::optional<std::string> path = ChooseFileToOpen(MainWindow, dialog)) {
        const std::string before = WaveFilePath;
        WaveFilePath = *path;
        std::optional<std::string> bytes = ReadFileBytes(WaveFilePath, MAX_WAVE_FILE_BYTES);
        bool opened = false;
        if (!bytes)
            ShowMessage(MainWindow, "Erreur pendant l'ouverture du fichier", "ERROR",
                        MessageButtons::Ok, MessageIcon::None);
        else if (bytes->size() > MAX_WAVE_FILE_BYTES)
            RefuseWaveFile(Format("il dépasse %zu Mo, bien plus que ne tiennent %i ondes", MAX_WAVE_FILE_BYTES >> 20,
                                  WAVE_CAPACITY));
        else
            opened = ReadWaveFile(*bytes);
        if (opened) {
            LogText("Ouverture d'un fichier de composantes d'ondes.\n\n");
            MarkWavesSaved();
        } else {
            WaveFilePath = before;  // the waves in memory keep their file
        }
    }
    Repaint();
}

bool SaveWaveFile()
{
    return WaveFilePath.empty() ? SaveWaveFileAs() : WriteWaveFile();
}

bool SaveWaveFileAs()
{
    FileDialogOptions dialog = WaveFileDialog("Enregistrer un fichier d'ondes");
    dialog.defaultExtension = "TID";
    dialog.proposedName = ProposedWaveFileName();
    std::optional<std::string> path = ChooseFileToWrite(MainWindow, dialog);
    if (!path)
        return false;
    const std::string before = WaveFilePath;
    WaveFilePath = *path;
    if (WriteWaveFile())
        return true;
    WaveFilePath = before;
    return false;
}

bool HasUnsavedWaves()
{
    return WaveSet.revision != SavedWavesRevision;
}

void MarkWavesSaved()
{
    SavedWavesRevision = WaveSet.revision;
}

bool MaySetWavesAside(Window owner, const char* caption, const char* before)
{
    if (!HasUnsavedWaves())
        return true;
    const std::string where = WaveFilePath.empty() ? "" : " dans « " + WaveFilePath + " »";
    switch (ShowMessage(owner,
                        Format("Les ondes en mémoire ont changé depuis leur dernier enregistrement.\n\n"
                               "Les enregistrer%s avant %s ?",
                               where.c_str(), before),
                        caption, MessageButtons::YesNoCancel, MessageIcon::Question)) {
    case MessageAnswer::Yes: return SaveWaveFile();
    case MessageAnswer::No: return true;
    default: return false;
    }
}
