#include "files/recordfile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "analysis/fitting.h"
#include "base/log.h"
#include "base/text.h"
#include "model/record.h"
#include "platform/platform.h"

std::string RecordFilePath = DEFAULT_RECORD_FILE_PATH;

namespace {

void InstallDefaultSeries()
{
    // The year has been read before, so its start converts.
    Header.Time_of_debut = YearStartTime(Header.StartYear).value_or(Header.Time_of_debut);
    InstallRecord(365, std::vector<std::int32_t>(365 * 24 + 1, 0));
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

// Reads up to values.size() − 1 heights; returns how many were read. The
// reader stops where the first height that could not be taken starts.
std::size_t ReadHeights(TextReader& in, std::vector<std::int32_t>& values)
{
    const std::size_t wanted = values.size() - 1;
    for (std::size_t i = 0; i < wanted; ++i) {
        SkipWhitespace(in);
        const std::size_t start = in.pos;
        long v = 0;
        if (!ScanDecimal(in, v) || v < std::numeric_limits<std::int32_t>::min() ||
            v > std::numeric_limits<std::int32_t>::max()) {
            in.pos = start;
            return i;
        }
        values[i] = static_cast<std::int32_t>(v);
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
           " », n'est pas une hauteur en centimètres, un nombre entier entre -2147483648 et "
           "2147483647";
}

// Missing hours take the mean of the values read, so that the mean level and
// the fits are not pulled toward zero; the user is told.
void FillMissingHeights(std::vector<std::int32_t>& values, std::size_t read, long days, const std::string& why)
{
    const std::size_t wanted = values.size() - 1;
    double sum = 0;
    for (std::size_t i = 0; i < read; ++i)
        sum += values[i];
    auto fill = static_cast<std::int32_t>(read ? std::lround(sum / static_cast<double>(read)) : 0);
    for (std::size_t i = read; i < wanted; ++i)
        values[i] = fill;
    ShowMessage(MainWindow,
                Format("Le fichier de relevé horaires « %s » annonce %li jours, soit %zu valeurs,\n"
                       "mais seules les %zu premières ont pu être lues : %s.\n\n"
                       "Les %zu valeurs manquantes ont été remplacées par la moyenne des valeurs "
                       "lues (%i cm).",
                       RecordFilePath.c_str(), days, wanted, read, why.c_str(), wanted - read, fill),
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
        FillMissingHeights(values, read, days, StopReason(in));

    Header.PortName = *portLine;
    Header.StartYear = static_cast<std::int32_t>(year);
    Header.Time_of_debut = *start;
    InstallRecord(static_cast<std::int32_t>(days), std::move(values));
    DetermineMeanLevel(1);
    return true;
}

void ImportRecordFile()
{
    FileDialogOptions dialog;
    dialog.title = "Importer un fichier de relevé horaires";
    dialog.filterName = "Fichier de relevé horaires";
    dialog.filterPattern = "*.TXT";
    dialog.fileMustExist = true;
    dialog.pathMustExist = true;
    if (std::optional<std::string> path = ChooseFileToOpen(MainWindow, dialog)) {
        RecordFilePath = *path;
        LoadRecordFile();
    }
    LogPrintf("\nImportation d'un fichier de valeurs\nTime_of_debut = %li\n\n", Header.Time_of_debut);
    Repaint();
}
