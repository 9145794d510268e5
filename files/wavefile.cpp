#include "files/wavefile.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "base/localtime.h"
#include "base/log.h"
#include "base/text.h"
#include "model/record.h"
#include "model/units.h"
#include "model/waves.h"
#include "platform/platform.h"

std::string WaveFilePath = DEFAULT_WAVE_FILE_PATH;

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

// What a wave file holds, read before anything in memory changes.
struct WaveFileContents {
    std::string portLine;
    long year = 0;
    std::optional<double> meanLevel;
    std::vector<Wave> waves;
    int wavesLeftOut = 0;    // beyond the table's capacity
    int unreadableLines = 0;
};

void StripLineEnd(std::string& line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
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

void ScanWaveLines(TextReader& in, WaveFileContents& file)
{
    for (SkipWhitespace(in); !AtEnd(in); SkipWhitespace(in)) {
        long double period = 0, ampl = 0, etab = 0;
        if (!ScanWaveNumbers(in, period, ampl, etab)) {
            SkipLine(in);
            ++file.unreadableLines;
            continue;
        }
        Wave w;
        w.name = ScanWaveName(in);
        auto periodS = static_cast<double>(period);
        if (periodS == 0)
            continue;  // a pseudo-wave of period 0 (the mean level's form) adds nothing
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

void ReportPartialRead(const WaveFileContents& file)
{
    std::string text;
    if (file.wavesLeftOut > 0)
        text += Format("Le fichier contient %i ondes : seules les %i premières ont été chargées,\n"
                       "le tableau des ondes n'en contient pas plus.\n",
                       WAVE_CAPACITY + file.wavesLeftOut, WAVE_CAPACITY);
    if (file.unreadableLines > 0)
        text += Format("%i ligne(s) illisible(s) du fichier ont été ignorées.\n", file.unreadableLines);
    if (!text.empty())
        ShowMessage(MainWindow, text, "Ouverture d'un fichier d'ondes", MessageButtons::Ok,
                    MessageIcon::Warning);
}

void InstallWaveFile(const WaveFileContents& file, CalendarTime start)
{
    Header.PortName = file.portLine;
    Header.StartYear = static_cast<std::int32_t>(file.year);
    Header.Time_of_debut = start;
    if (file.meanLevel)
        WaveSet.MeanLevel = *file.meanLevel;
    WaveSet.count = 0;
    for (const Wave& w : file.waves)
        AppendWave(w);
}

}  // namespace

bool ReadWaveFile(std::string_view bytes)
{
    TextReader in = ReaderOf(bytes);
    WaveFileContents file;
    file.portLine = Header.PortName;
    if (ReadLine(in, 100, file.portLine))
        file.portLine = Utf8FromWindows1252(file.portLine);
    std::optional<CalendarTime> start;
    if (ScanInt(in, file.year))
        start = YearStartTime(file.year);
    if (!start) {
        ShowMessage(MainWindow,
                    Format("Le fichier d'ondes « %s » n'a pas été chargé :\n"
                           "son année (ligne 2) n'est pas lisible.\n\n"
                           "Les ondes en mémoire sont conservées.",
                           WaveFilePath.c_str()),
                    "Erreur", MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    std::string header;  // its content does not matter
    ScanWord(in, header);
    SkipWhitespace(in);
    long double mean = 0;
    if (MatchLiteral(in, "0.0;") && ScanReal(in, mean)) {
        file.meanLevel = static_cast<double>(mean);
        MatchLiteral(in, ";0.0;Niveau Moyen\n");
    }
    ScanWaveLines(in, file);
    InstallWaveFile(file, *start);
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
    for (int i = 0; i < WaveSet.count; ++i) {
        const Wave& w = WaveSet.waves[i];
        text += Format("%Lf;%Lf;%Lf;%s\n", Lf(TWO_PI / w.speed), Lf(w.ampl), Lf(w.etab), w.name.c_str());
    }
    return text;
}

std::string WaveFileBytes()
{
    return WithCrLf(Windows1252FromUtf8(WaveFileText()));
}

void OpenWaveFile()
{
    FileDialogOptions dialog = WaveFileDialog("Ouvrir un fichier d'ondes");
    dialog.fileMustExist = true;
    if (std::optional<std::string> path = ChooseFileToOpen(MainWindow, dialog)) {
        WaveFilePath = *path;
        std::optional<std::string> bytes = ReadFileBytes(WaveFilePath);
        if (!bytes)
            ShowMessage(MainWindow, "Erreur pendant l'ouverture du fichier", "ERROR",
                        MessageButtons::Ok, MessageIcon::None);
        else if (ReadWaveFile(*bytes))
            LogText("Ouverture d'un fichier de composantes d'ondes.\n\n");
    }
    Repaint();
}

void SaveWaveFile()
{
    const std::string bytes = WaveFileBytes();
    std::FILE* f = std::fopen(WaveFilePath.c_str(), "wb");
    bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0)
        written = false;
    if (!written) {
        ShowMessage(MainWindow, "Erreur enregistrement", "ERROR", MessageButtons::Ok, MessageIcon::None);
        return;
    }
    LogText("\nEnregistrement.\n\n");
}

void SaveWaveFileAs()
{
    FileDialogOptions dialog = WaveFileDialog("Enregistrer un fichier d'ondes");
    dialog.defaultExtension = "TID";
    if (std::optional<std::string> path = ChooseFileToSave(MainWindow, dialog)) {
        WaveFilePath = *path;
        SaveWaveFile();
    }
}
