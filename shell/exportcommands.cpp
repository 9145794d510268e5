#include "shell/exportcommands.h"

#include <ctime>
#include <optional>
#include <string>

#include "base/log.h"
#include "base/savefile.h"
#include "base/text.h"
#include "exports/exportfile.h"
#include "exports/formats.h"
#include "exports/pages.h"
#include "exports/pdf.h"
#include "exports/perioddialog.h"
#include "exports/tides.h"
#include "files/station.h"
#include "model/port.h"
#include "platform/platform.h"

namespace {

// The save dialog of an export, proposing the port's name with what follows
// it ("-2009-03"), in the working directory.
std::optional<std::string> ChooseExportFile(const char* title, const char* filterName, const char* pattern,
                                            const char* extension, const std::string& nameEnd)
{
    FileDialogOptions dialog;
    dialog.title = title;
    dialog.filterName = filterName;
    dialog.filterPattern = pattern;
    dialog.pathMustExist = true;
    dialog.defaultExtension = extension;
    dialog.proposedName = FileNameOf(PortName()) + nameEnd + "." + extension;
    return ChooseFileToWrite(MainWindow, dialog);
}

void WriteAndLog(const std::string& path, const std::string& bytes, const char* what)
{
    if (!WriteExportFile(path, bytes))
        return;
    LogPrintf("Exportation %s dans « %s ».\n\n", what, path.c_str());
    ShowStatus("Exporté dans « " + path + " ».");
}

// What follows the port's name in a proposed file name: "-2009" or "-2009-03".
std::string PeriodNameEnd(const ExportPeriod& period)
{
    if (period.month == WHOLE_YEAR)
        return Format("-%li", period.year);
    return Format("-%li-%02i", period.year, period.month + 1);
}

std::string PeriodName(const ExportPeriod& period)
{
    if (period.month == WHOLE_YEAR)
        return Format("%li", period.year);
    return Format("%02i/%li", period.month + 1, period.year);
}

// The tides of the period the user asks for, or nothing when the dialog is
// cancelled.
std::optional<std::vector<Tide>> AskedTides(ExportPeriod& period)
{
    std::optional<ExportPeriod> asked = AskExportPeriod();
    if (!asked)
        return std::nullopt;
    period = *asked;
    ShowWaitCursor();
    // The dialog has checked that the period converts, and its months with it.
    std::optional<std::vector<Tide>> tides = TidesIn(*SpanOf(period.year, period.month));
    ShowArrowCursor();
    return tides;
}

std::optional<PictureFormat> PictureFormatOf(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == "png")
        return PictureFormat::Png;
    if (extension == "svg")
        return PictureFormat::Svg;
    return std::nullopt;
}

void ReportPictureRefused(const char* reason)
{
    ShowMessage(MainWindow, reason, "Exportation", MessageButtons::Ok, MessageIcon::Warning);
    LogPrintf("Exportation du graphique refusée. %s\n\n", reason);
}

// The tides of the period asked for, in the file chosen, as textOf writes
// them; what names them in the log.
void ExportTides(const char* title, const char* filterName, const char* extension, const char* what,
                 std::string (*textOf)(const std::vector<Tide>&))
{
    ExportPeriod period;
    std::optional<std::vector<Tide>> tides = AskedTides(period);
    if (!tides)
        return;
    const std::string pattern = std::string("*.") + extension;
    std::optional<std::string> path =
        ChooseExportFile(title, filterName, pattern.c_str(), extension, PeriodNameEnd(period));
    if (path)
        WriteAndLog(*path, textOf(*tides), Format("%s (%s)", what, PeriodName(period).c_str()).c_str());
}

}  // namespace

void ExportTidesCsv()
{
    ExportTides("Exporter les horaires de marées", "Fichier CSV", "csv", "des horaires de marées",
                [](const std::vector<Tide>& tides) { return TidesCsv(tides, ExportForm{}); });
}

void ExportTidesCalendar()
{
    ExportTides("Exporter le calendrier des marées", "Calendrier iCalendar", "ics", "du calendrier des marées",
                [](const std::vector<Tide>& tides) {
                    return TidesICalendar(tides, PortName(), TimeNow());
                });
}

void ExportTablesPdf()
{
    std::optional<ExportPeriod> period = AskExportPeriod();
    if (!period)
        return;
    std::optional<std::string> path =
        ChooseExportFile("Exporter l'annuaire des marées", "Document PDF", "*.pdf", "pdf", PeriodNameEnd(*period));
    if (!path)
        return;
    ShowWaitCursor();
    std::optional<std::vector<TablePage>> pages = PortTablePages(period->year, period->month);
    std::optional<std::string> pdf = pages ? PdfOfPages(*pages, "Annuaire des marées " + PortName()) : std::nullopt;
    ShowArrowCursor();
    if (pdf)
        WriteAndLog(*path, *pdf, Format("de l'annuaire des marées (%s)", PeriodName(*period).c_str()).c_str());
}

void ExportWavesCsv()
{
    std::optional<std::string> path = ChooseExportFile("Exporter les ondes", "Fichier CSV", "*.csv", "csv", "-ondes");
    if (path)
        WriteAndLog(*path, WavesCsv(), "des ondes");
}

void ExportChartPicture()
{
    std::optional<std::string> path =
        ChooseExportFile("Exporter le graphique", "Image PNG ou SVG", "*.png *.svg", "png", "");
    if (!path)
        return;
    std::optional<PictureFormat> format = PictureFormatOf(*path);
    if (!format)
        return ReportPictureRefused("Le graphique s'enregistre en PNG ou en SVG : donnez au fichier l'extension "
                                    ".png ou .svg.");
    std::optional<std::string> picture = ClientAreaPicture(*format);
    if (!picture)
        return ReportPictureRefused("Ce programme ne fait pas d'image du graphique dans ce format : sans "
                                    "fenêtre, le graphique s'enregistre en SVG seulement.");
    WriteAndLog(*path, *picture, "du graphique");
}

namespace {

// A station's licence that forbids commercial use, as its tables say it; "".
std::string LicenceNote()
{
    const StationModel* station = CurrentStation();
    if (!station || station->station.commercialUse)
        return "";
    return station->station.name + " : données sous licence " + station->station.licence +
           ", usage commercial interdit (" + station->station.licenceUrl + ")";
}

}  // namespace

std::string PortTablesNote()
{
    const std::string offsets = OffsetsNote();
    const std::string licence = LicenceNote();
    return offsets + (offsets.empty() || licence.empty() ? "" : "\n") + licence;
}

std::optional<std::vector<TablePage>> PortTablePages(long year, int month)
{
    std::optional<std::vector<TablePage>> pages = TablePages(year, month);
    if (!pages)
        return pages;
    const std::string note = LicenceNote();
    const std::string attribution = StationAttribution();
    for (TablePage& page : *pages) {
        if (!note.empty())
            page.footer.push_back(note);
        if (!attribution.empty())
            page.footer.push_back(attribution);
    }
    return pages;
}
