#include "files/stationdialog.h"

#include <algorithm>
#include <string>

#include "base/calendar.h"
#include "base/log.h"
#include "base/reportdialog.h"
#include "base/text.h"
#include "files/catalogue.h"
#include "files/station.h"
#include "files/wavefile.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"

PendingStation StationChoice;

namespace {

constexpr const char* CAPTION = "Ouvrir une station";
constexpr const char* COMPARE_CAPTION = "Comparer aux constantes publiées";

using Position = std::optional<std::pair<double, double>>;

std::string EntryOf(int index, const Position& near)
{
    const CatalogueStation s = StationAt(index);
    std::string entry =
        s.name + " (" + s.countryCode + ") ; " + (s.offsets ? "secondaire" : "référence") + " ; " + s.source;
    if (near)
        entry += " ; " + FrenchDecimal(DistanceKm(near->first, near->second, index), 1) + " km";
    return entry;
}

void ShowFound(Window dialog)
{
    const std::string typed = GetControlText(dialog, STATION_NEAR_ID);
    const Position near = PositionOfText(typed);
    const std::vector<int> found = FindStations({GetControlText(dialog, STATION_SEARCH_ID), "", near, false});
    std::vector<int>& listed = StationChoice.listed;
    listed.assign(found.begin(), found.begin() + std::min<std::ptrdiff_t>(std::ssize(found), STATION_LIST_MAX));
    ClearItems(dialog, STATION_LIST_ID);
    for (int index : listed)
        AddItem(dialog, STATION_LIST_ID, EntryOf(index, near));
    std::string count = found.size() > listed.size()
                            ? Format("%zu stations ; les %zu premières sont listées", found.size(), listed.size())
                            : Format("%zu station(s)", found.size());
    if (near)
        count += ", les plus proches d'abord";
    else if (typed.find_first_not_of(' ') != std::string::npos)
        count += " ; position illisible : écrivez par exemple 48,38 ; -4,49";
    SetControlText(dialog, STATION_COUNT_ID, count);
    SetControlText(dialog, STATION_LICENCE_ID, "");
}

void ShowLicence(Window dialog, int index)
{
    const CatalogueStation s = StationAt(index);
    std::string text = s.id;
    if (s.offsets)
        text += Format(" : secondaire de %s, pleines mers %+d min, basses mers %+d min", s.offsets->reference.c_str(),
                       s.offsets->high.minutes, s.offsets->low.minutes);
    text += "\r\nSource : " + s.source + (s.sourceUrl.empty() ? "" : " (" + s.sourceUrl + ")") +
            "\r\nLicence : " + s.licence + (s.licenceUrl.empty() ? "" : " (" + s.licenceUrl + ")");
    if (!s.commercialUse)
        text += "\r\nUsage commercial interdit.";
    if (!s.attribution.empty())
        text += "\r\n" + s.attribution;
    SetControlText(dialog, STATION_LICENCE_ID, text);
}

void Refuse(Window dialog, const std::string& text)
{
    ShowMessage(dialog, text, StationChoice.comparing ? COMPARE_CAPTION : CAPTION, MessageButtons::Ok,
                MessageIcon::Warning);
}

// OK with a station chosen that has heights to give.
void Accept(Window dialog)
{
    const int row = SelectedItem(dialog, STATION_LIST_ID);
    if (row < 0 || row >= std::ssize(StationChoice.listed))
        return Refuse(dialog, "Choisissez une station dans la liste.");
    const int index = StationChoice.listed[static_cast<std::size_t>(row)];
    const CatalogueStation s = StationAt(index);
    if (s.offsets && StationChoice.comparing)
        return Refuse(dialog, s.name + " est une station secondaire : elle ne publie pas de constantes à elle ; "
                                       "comparez à sa station de référence, " + s.offsets->reference + ".");
    StationChoice.chosen = index;
    EndDialog(dialog, ID_OK);
}

void OpenChosen(int index)
{
    std::string message;
    // The year of the record in memory; this year when none was read.
    const std::int32_t year = RecordSeries.Placeholder ? LocalTimeNow().tm_year + 1900 : Header.StartYear;
    const std::optional<StationModel> model = StationModelOf(index, year, message);
    if (model && !MaySetWavesAside(MainWindow, CAPTION, "d'ouvrir la station"))
        return;
    std::string why;
    if (!model || !MakeStationThePort(*model, why)) {
        ShowMessage(MainWindow, "La station n'a pas été ouverte : " + (model ? why : message) + ".", CAPTION,
                    MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    // The catalogue gives these waves again; a save asks for a new file
    // rather than writing over the one read before.
    WaveFilePath.clear();
    MarkWavesSaved();
    std::string text = "Station : " + model->station.name + " (" + model->station.id + "), " +
                       Format("%zu ondes de %i", model->waves.waves.size(), model->year) + ", source " +
                       model->station.source + ", licence " + model->station.licence + ".\n";
    if (Header.Offsets)
        text += OffsetsNote() + ".\n";
    if (!model->waves.unknown.empty()) {
        text += "Constituantes inconnues laissées de côté :";
        for (const std::string& name : model->waves.unknown)
            text += " " + name;
        text += ".\n";
    }
    LogText(text + "\n");
}

}  // namespace

const DialogTemplate StationTemplate{CAPTION, 320, 200, {
    {ControlKind::Label, NO_ID, "Nom, lieu ou pays :", 5, 8, 80, 9},
    {ControlKind::Edit, STATION_SEARCH_ID, "", 90, 6, 225, 12},
    {ControlKind::Label, NO_ID, "Position (lat ; lon) :", 5, 23, 80, 9},
    {ControlKind::Edit, STATION_NEAR_ID, "", 90, 21, 100, 12},
    {ControlKind::ListBox, STATION_LIST_ID, "", 5, 37, 310, 79},
    {ControlKind::Label, STATION_COUNT_ID, "", 5, 118, 310, 9},
    {ControlKind::ReportEdit, STATION_LICENCE_ID, "", 5, 130, 310, 46},
    {ControlKind::DefaultPushButton, ID_OK, "OK", 210, 181, 50, 14},
    {ControlKind::PushButton, ID_CANCEL, "Annuler", 265, 181, 50, 14},
}};

const DialogTemplate CompareStationTemplate{COMPARE_CAPTION, StationTemplate.width, StationTemplate.height,
                                            StationTemplate.controls};

const DialogTemplate ComparisonReportTemplate{"Ondes déterminées et constantes publiées", 400, 250, {
    {ControlKind::ReportEdit, STATION_REPORT_ID, "", 5, 5, 390, 220},
    {ControlKind::DefaultPushButton, ID_OK, "Fermeture", 172, 230, 55, 15},
}};

void StationDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init)
        return ShowFound(dialog);
    if ((id == STATION_SEARCH_ID || id == STATION_NEAR_ID) && notification == NOTIFY_EDITCHANGE)
        return ShowFound(dialog);
    const int row = SelectedItem(dialog, STATION_LIST_ID);
    if (id == STATION_LIST_ID && notification == NOTIFY_SELCHANGE && row >= 0 &&
        row < std::ssize(StationChoice.listed))
        return ShowLicence(dialog, StationChoice.listed[static_cast<std::size_t>(row)]);
    if ((id == STATION_LIST_ID && notification == NOTIFY_DBLCLK) || id == ID_OK)
        return Accept(dialog);
    if (id == ID_CANCEL)
        EndDialog(dialog, ID_CANCEL);
}

namespace {

bool CatalogueOpenOrSay(const char* caption)
{
    std::string message;
    if (OpenCatalogue(message))
        return true;
    ShowMessage(MainWindow, "Le catalogue des stations ne peut pas être ouvert :\n" + message + ".", caption,
                MessageButtons::Ok, MessageIcon::Warning);
    return false;
}

}  // namespace

void CompareWithStation()
{
    if (RecordSeries.Placeholder || WaveSet.count == 0) {
        ShowMessage(MainWindow,
                    "Il faut un relevé et ses ondes déterminées : importez un enregistrement, puis déterminez "
                    "ses ondes (Analyse harmonique…) ; elles seront mises face aux constantes publiées.",
                    COMPARE_CAPTION, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    if (!CatalogueOpenOrSay(COMPARE_CAPTION))
        return;
    StationChoice = PendingStation{};
    StationChoice.comparing = true;
    if (RunModalDialog(MainWindow, CompareStationTemplate, StationDialog) != ID_OK || !StationChoice.chosen)
        return;
    std::string message;
    const std::optional<std::string> text = StationComparisonText(*StationChoice.chosen, message);
    if (!text) {
        ShowMessage(MainWindow, message + ".", COMPARE_CAPTION, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    LogText("Comparaison aux constantes publiées.\n" + *text + "\n");
    ShowReportDialog(ComparisonReportTemplate, STATION_REPORT_ID, *text);
}

void OpenStation()
{
    if (!CatalogueOpenOrSay(CAPTION))
        return;
    StationChoice = PendingStation{};
    if (RunModalDialog(MainWindow, StationTemplate, StationDialog) == ID_OK && StationChoice.chosen)
        OpenChosen(*StationChoice.chosen);
    Repaint();
}
