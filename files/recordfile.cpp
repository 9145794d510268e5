#include "files/recordfile.h"

#include "base/fields.h"
#include "files/wavefile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "analysis/fitting.h"
#include "base/log.h"
#include "base/savefile.h"
#include "base/text.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"
#include "platform/platform.h"

std::string RecordFilePath = DEFAULT_RECORD_FILE_PATH;

namespace {

constexpr std::string_view ZONE_KEY = "Fuseau horaire : ";
constexpr std::string_view DATUM_KEY = "Zéro des hauteurs : ";
constexpr std::string_view OFFSET_KEY = "Niveau moyen au-dessus du zéro : ";
constexpr std::string_view COEFFICIENT_OFF = "Coefficient : non";

void InstallDefaultSeries()
{
    // The year has been read before, so its start converts.
    MoveTimeOrigin(YearStartTime(Header.StartYear).value_or(Header.Time_of_debut), Header.StartYear);
    InstallRecord(365, std::vector<std::int32_t>(365 * 24 + 1, 0));
    RecordSeries.Placeholder = true;
}

FileDialogOptions RecordFileDialog(const char* title)
{
    FileDialogOptions dialog;
    dialog.title = title;
    dialog.filterName = "Fichier de relevé horaires";
    dialog.filterPattern = "*.TXT";
    dialog.pathMustExist = true;
    return dialog;
}

bool RefuseRecordFile(const std::string& reason)
{
    ShowMessage(MainWindow,
                Format("Le fichier de relevé horaires « %s » n'a pas été chargé :\n%s.\n\n"
                       "L'enregistrement en mémoire est conservé.",
                       RecordFilePath.c_str(), reason.c_str()),
                "Erreur", MessageButtons::Ok, MessageIcon::Warning);
    return false;
}

// The port line as UTF-8: taken as Windows-1252 when it is not UTF-8.
std::string PortNameFrom(const std::string& line)
{
    return IsValidUtf8(line) ? line : Utf8FromWindows1252(line);
}

// The mark of an hour that was not measured: a "-" alone on its line.
bool ScanMissingMark(TextReader& in)
{
    SkipWhitespace(in);
    const std::string& t = in.text;
    if (t.compare(in.pos, 1, MISSING_HOUR_MARK) != 0)
        return false;
    std::size_t end = in.pos + 1;
    while (end < t.size() && (t[end] == ' ' || t[end] == '\t'))
        ++end;
    if (end < t.size() && t[end] != '\n')
        return false;
    in.pos = end;
    return true;
}

// Reads up to values.size() − 1 heights or marks of missing hours; returns
// how many were read. The reader stops where the first value that could not
// be taken starts.
std::size_t ReadHeights(TextReader& in, std::vector<std::int32_t>& values)
{
    const std::size_t wanted = values.size() - 1;
    for (std::size_t i = 0; i < wanted; ++i) {
        SkipWhitespace(in);
        const std::size_t start = in.pos;
        long v = 0;
        if (ScanDecimal(in, v)) {
            // The lowest int32 is the mark of a missing hour in memory, not a height.
            if (v <= MISSING_HEIGHT_CM || v > std::numeric_limits<std::int32_t>::max()) {
                in.pos = start;
                return i;
            }
            values[i] = static_cast<std::int32_t>(v);
        } else if (ScanMissingMark(in)) {
            values[i] = MISSING_HEIGHT_CM;
        } else {
            in.pos = start;
            return i;
        }
    }
    return wanted;
}

// Where and why the reading of the heights stopped.
std::string StopReason(const TextReader& in)
{
    const int line = LineNumberAt(in, in.pos);
    if (AtEnd(in))
        return Format("le fichier s'arrête à la ligne %i", line - (in.text.ends_with('\n') ? 1 : 0));
    const std::string found = in.text.substr(in.pos, std::min<std::size_t>(in.text.find('\n', in.pos) - in.pos, 40));
    return Format("la ligne %i, « ", line) + PortNameFrom(found) +
           Format(" », n'est ni une hauteur en centimètres, un nombre entier entre %i et %i, ni « %s »",
                  MISSING_HEIGHT_CM + 1, std::numeric_limits<std::int32_t>::max(), MISSING_HOUR_MARK);
}

// The hours after the last value read were not measured: they stay missing,
// rather than take heights that would pull the mean level and the fits; the
// user is told where the reading stopped.
void MarkUnreadHoursMissing(std::vector<std::int32_t>& values, std::size_t read, long days, const std::string& why)
{
    const std::size_t wanted = values.size() - 1;
    for (std::size_t i = read; i < wanted; ++i)
        values[i] = MISSING_HEIGHT_CM;
    ShowMessage(MainWindow,
                Format("Le fichier de relevé horaires « %s » annonce %li jours, soit %zu valeurs,\n"
                       "mais seules les %zu premières ont pu être lues : %s.\n\n"
                       "Les %zu heures suivantes sont tenues pour manquantes : les déterminations "
                       "les laissent de côté.",
                       RecordFilePath.c_str(), days, wanted, read, why.c_str(), wanted - read),
                "Relevé horaire incomplet", MessageButtons::Ok, MessageIcon::Warning);
}

// The port line, line end kept; nothing, the user told, when it is too long.
std::optional<std::string> ReadPortLine(TextReader& in)
{
    const std::string line = ReadWholeLine(in);
    if (line.empty())
        return Header.PortName;  // an empty file: its year is missing anyway
    const std::string name = PortNameFrom(line);
    const std::size_t chars = name.ends_with('\n') ? name.size() - 1 : name.size();
    if (FirstChars(name, PORT_NAME_CHARS).size() < chars) {
        RefuseRecordFile(Format("sa ligne 1, le nom du port, dépasse %zu caractères", PORT_NAME_CHARS));
        return std::nullopt;
    }
    return name;
}

// The port's lines after the last height (RecordPortLines); the zone is
// AssumedPortZone where they name none, as in the files of older versions.
FileHeaderValues ReadPortLines(TextReader& in)
{
    FileHeaderValues port;
    port.TimeZone = AssumedPortZone;
    for (std::string line = ReadWholeLine(in); !line.empty(); line = ReadWholeLine(in)) {
        line = PortNameFrom(line);
        while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
            line.pop_back();
        if (line.starts_with(ZONE_KEY))
            port.TimeZone = line.substr(ZONE_KEY.size());
        else if (line.starts_with(DATUM_KEY))
            port.DatumName = line.substr(DATUM_KEY.size());
        else if (line.starts_with(OFFSET_KEY))
            port.DatumOffset = DecimalOf(line.substr(OFFSET_KEY.size()));
        else if (line == COEFFICIENT_OFF)
            port.ShowCoefficient = false;
    }
    return port;
}

}  // namespace

bool LoadRecordFile()
{
    std::optional<std::string> bytes = ReadFileBytes(RecordFilePath, MAX_RECORD_FILE_BYTES);
    if (!bytes) {
        InstallDefaultSeries();
        return false;
    }
    if (bytes->size() > MAX_RECORD_FILE_BYTES)
        return RefuseRecordFile(Format("il dépasse %zu Mo, plus que n'en prend un siècle de hauteurs horaires",
                                       MAX_RECORD_FILE_BYTES >> 20));
    TextReader in = ReaderOf(*bytes);
    const std::optional<std::string> portLine = ReadPortLine(in);
    if (!portLine)
        return false;
    long year = 0;
    long days = 0;
    if (!ScanInt(in, year))
        return RefuseRecordFile("l'année (ligne 2) n'est pas un nombre");
    if (!ScanInt(in, days))
        return RefuseRecordFile("le nombre de jours (ligne 3) n'est pas un nombre");
    if (days < 0 || days > MAX_RECORD_DAYS)
        return RefuseRecordFile(
            Format("le nombre de jours (%li) n'est pas compris entre 0 et %li", days, MAX_RECORD_DAYS));
    std::optional<CalendarTime> start = YearStartTime(year);
    if (!start)
        return RefuseRecordFile(Format("l'année %li ne peut pas être convertie en date", year));

    std::vector<std::int32_t> values;
    try {
        values.resize(static_cast<std::size_t>(days) * 24 + 1);
    } catch (const std::bad_alloc&) {
        ShowMessage(nullptr, "Pas Assez de Mémoire", "Bleme", MessageButtons::Ok, MessageIcon::None);
        return false;
    }
    std::size_t read = ReadHeights(in, values);
    if (read < values.size() - 1)
        MarkUnreadHoursMissing(values, read, days, StopReason(in));
    const FileHeaderValues port = ReadPortLines(in);
    if (!UseClockOf(port.TimeZone))
        return RefuseRecordFile("il nomme le fuseau horaire « " + port.TimeZone + " », que le système ne connaît pas");
    start = YearStartTime(year);
    if (!start) {
        UsePortClock();
        return RefuseRecordFile(Format("l'année %li ne peut pas être convertie en date", year));
    }

    Header.PortName = *portLine;
    Header.TimeZone = port.TimeZone;
    Header.DatumName = port.DatumName;
    Header.DatumOffset = port.DatumOffset;
    Header.ShowCoefficient = port.ShowCoefficient;
    MoveTimeOrigin(*start, static_cast<std::int32_t>(year));
    InstallRecord(static_cast<std::int32_t>(days), std::move(values));
    DetermineMeanLevel(1);
    return true;
}

std::string RecordPortLines(const std::string& zone, const std::string& datumName,
                            std::optional<double> datumOffset, bool showCoefficient)
{
    std::string lines;
    if (!zone.empty())
        lines += std::string(ZONE_KEY) + zone + "\n";
    if (!datumName.empty())
        lines += std::string(DATUM_KEY) + datumName + "\n";
    if (datumOffset)
        lines += std::string(OFFSET_KEY) + Format("%Lf", Lf(*datumOffset)) + "\n";
    if (!showCoefficient)
        lines += std::string(COEFFICIENT_OFF) + "\n";
    return lines;
}

std::string RecordFileText(const std::string& portLine, std::int32_t year, std::int32_t days,
                           const std::vector<std::int32_t>& values, const std::string& portLines)
{
    std::string text = portLine;
    if (text.empty() || text.back() != '\n')
        text += '\n';
    text += Format("%i\n%i\n\n", year, days);
    const std::size_t count = static_cast<std::size_t>(days) * 24;
    text.reserve(text.size() + count * 6);
    for (std::size_t i = 0; i < count && i < values.size(); ++i) {
        if (values[i] == MISSING_HEIGHT_CM) {
            text += MISSING_HOUR_MARK;
        } else {
            char digits[16];
            text.append(digits, std::to_chars(digits, digits + sizeof digits, values[i]).ptr);
        }
        text += '\n';
    }
    return text + portLines;
}

void SaveRecordFileAs()
{
    FileDialogOptions dialog = RecordFileDialog("Enregistrer le relevé horaire");
    dialog.defaultExtension = "TXT";
    dialog.proposedName = RecordSeries.Placeholder ? FileNameOf(PortName()) + ".TXT"
                                                   : RecordFilePath;
    std::optional<std::string> path = ChooseFileToWrite(MainWindow, dialog);
    if (!path)
        return;
    const std::string bytes = WithCrLf(RecordFileText(
        Header.PortName, Header.StartYear, RecordSeries.RecordDays, RecordSeries.RecordValues,
        RecordPortLines(Header.TimeZone, Header.DatumName, Header.DatumOffset, Header.ShowCoefficient)));
    std::string why;
    if (!SaveFileBytes(*path, bytes, why)) {
        ShowMessage(MainWindow,
                    Format("Le relevé horaire n'a pas pu être enregistré dans « %s » : %s.\n"
                           "Le fichier est resté tel qu'il était.",
                           path->c_str(), why.c_str()),
                    "Erreur", MessageButtons::Ok, MessageIcon::Warning);
        LogPrintf("Relevé horaire non enregistré : %s (%s)\n\n", path->c_str(), why.c_str());
        return;
    }
    RecordFilePath = *path;
    LogPrintf("\nEnregistrement du relevé horaire : %s\n%i jours, dont %i heures manquantes.\n\n",
              path->c_str(), RecordSeries.RecordDays, RecordSeries.MissingHours);
    ShowStatus("Relevé horaire enregistré dans « " + *path + " ».");
}

bool IsAnotherPort(const std::string& portLine)
{
    return WaveSet.count > 0 && PortNameOf(portLine) != PortName();
}

RecordChange ImportRecordFile()
{
    FileDialogOptions dialog = RecordFileDialog("Importer un fichier de relevé horaires");
    dialog.fileMustExist = true;
    RecordChange change = RecordChange::None;
    if (std::optional<std::string> path = ChooseFileToOpen(MainWindow, dialog)) {
        // The port line, to know before anything changes whose record it is.
        const std::optional<std::string> head = ReadFileBytes(*path, PORT_NAME_CHARS * 4);
        const bool another = head && IsAnotherPort(PortNameFrom(head->substr(0, head->find('\n'))));
        if (!head) {
            ShowMessage(MainWindow,
                        "Le fichier de relevé horaires « " + *path +
                            " » ne peut pas être ouvert.\n\nL'enregistrement en mémoire est conservé.",
                        "Erreur", MessageButtons::Ok, MessageIcon::Warning);
        } else if (!another || MaySetWavesAside(MainWindow, "Importer un enregistrement", "de les remplacer")) {
            const std::string before = RecordFilePath;
            RecordFilePath = *path;
            if (LoadRecordFile())
                change = another ? RecordChange::AnotherPort : RecordChange::SamePort;
            else
                RecordFilePath = before;
        }
    }
    LogPrintf("\nImportation d'un fichier de valeurs\nTime_of_debut = %li\n\n", Header.Time_of_debut);
    Repaint();
    return change;
}
