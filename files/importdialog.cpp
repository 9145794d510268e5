#include "files/importdialog.h"

#include "base/calendar.h"
#include "base/fields.h"
#include "base/log.h"
#include "base/text.h"
#include "files/wavefile.h"
#include "model/port.h"

PendingImport Import;

namespace {

const char* const UNIT_NAMES[HEIGHT_UNIT_COUNT] = {"m (mètres)", "cm (centimètres)", "mm (millimètres)",
                                                   "ft (pieds)"};

// The labels' column, wide enough for "Niveau moyen au-dessus :", where
// the values and fields start, and the right edge of the dialog's content.
constexpr int LABEL_WIDTH = 104, FIELD_X = 110, RIGHT = 365;

void AddRow(DialogTemplate& t, int row, const char* caption, int id)
{
    const int y = 18 + 12 * row;
    t.controls.push_back({ControlKind::Label, NO_ID, caption, 5, y, LABEL_WIDTH, 9});
    t.controls.push_back({ControlKind::Label, id, "", FIELD_X, y, RIGHT - FIELD_X, 9});
}

// An edit field or a list where the file says nothing, with a word of warning.
void AddChoiceRow(DialogTemplate& t, int row, const char* caption, int id, bool editable, ControlKind kind,
                  const char* warning)
{
    if (!editable)
        return AddRow(t, row, caption, id);
    const int y = 18 + 12 * row;
    t.controls.push_back({ControlKind::Label, NO_ID, caption, 5, y, LABEL_WIDTH, 9});
    t.controls.push_back({kind, id, "", FIELD_X, y - 2, 80, kind == ControlKind::Edit ? 12 : 60});
    t.controls.push_back({ControlKind::Label, NO_ID, warning, FIELD_X + 86, y, RIGHT - FIELD_X - 86, 9});
}

// A field of the port, with what leaving it empty means.
void AddFieldRow(DialogTemplate& t, int row, const char* caption, int id, ControlKind kind, int width,
                 const char* hint)
{
    const int y = 18 + 12 * row;
    t.controls.push_back({ControlKind::Label, NO_ID, caption, 5, y, LABEL_WIDTH, 9});
    t.controls.push_back({kind, id, "", FIELD_X, y - 2, width, kind == ControlKind::ComboEdit ? 80 : 12});
    if (*hint)
        t.controls.push_back({ControlKind::Label, NO_ID, hint, FIELD_X + width + 6, y, RIGHT - FIELD_X - width - 6, 9});
}

// A unit the format fixes is shown; one the file leaves open or only its
// header names is the user's to choose.
bool UnitChoosable(const Measurements& m)
{
    return !m.unitStated || m.unitFromHeader;
}

void ShowFacts(Window dialog)
{
    const Measurements& m = Import.measurements;
    const MeasurementFacts facts = FactsOf(m);
    SetControlText(dialog, IMPORT_FORMAT_ID, facts.format);
    SetControlText(dialog, IMPORT_STATION_ID, facts.station);
    SetControlText(dialog, IMPORT_FIRST_ID, facts.first);
    SetControlText(dialog, IMPORT_LAST_ID, facts.last);
    SetControlText(dialog, IMPORT_VALUES_ID, facts.values);
    SetControlText(dialog, IMPORT_INTERVAL_ID, facts.interval);
    SetControlText(dialog, IMPORT_ZONE_ID, facts.zone);
    if (!UnitChoosable(m))
        SetControlText(dialog, IMPORT_UNIT_ID, facts.unit);
    else {
        for (const char* name : UNIT_NAMES)
            AddItem(dialog, IMPORT_UNIT_ID, name);
        SelectItem(dialog, IMPORT_UNIT_ID, static_cast<int>(m.unit));
    }
    SetControlText(dialog, IMPORT_PORT_NAME_ID, m.station);
    for (const std::string& zone : KnownZoneNames())
        AddItem(dialog, IMPORT_PORT_ZONE_ID, zone);
    SetControlText(dialog, IMPORT_PORT_ZONE_ID, Header.TimeZone);
    SetControlText(dialog, IMPORT_DATUM_ID, m.datum);
}

void Refuse(Window dialog, const std::string& text)
{
    ShowMessage(dialog, text, "Importer des mesures", MessageButtons::Ok, MessageIcon::Warning);
}

// A date of the period on the port's clock, or an empty field: no bound.
bool ReadBound(Window dialog, int id, const char* field, bool end, std::optional<CalendarTime>& bound)
{
    const std::string text = GetControlText(dialog, id);
    if (text.find_first_not_of(' ') == std::string::npos)
        return true;
    bound = TimeOfIsoDate(text, Clock::Local, end);
    if (const std::string doubt = LocalTimeDoubt(text); !bound && !doubt.empty())
        Refuse(dialog, Format("« %s » : %s %s.", field, text.c_str(), doubt.c_str()));
    else if (!bound)
        Refuse(dialog, Format("« %s » : la date « %s » n'est pas lisible :\n"
                              "écrivez par exemple 2009-01-01 ou 2009-01-01T06:00.",
                              field, text.c_str()));
    return bound.has_value();
}

// The port as the dialog gives it; nothing, the user told, when a field
// cannot be read.
std::optional<PortChoices> PortOf(Window dialog)
{
    PortChoices port;
    port.name = GetControlText(dialog, IMPORT_PORT_NAME_ID);
    port.zone = GetControlText(dialog, IMPORT_PORT_ZONE_ID);
    port.datumName = GetControlText(dialog, IMPORT_DATUM_ID);
    const std::string offset = GetControlText(dialog, IMPORT_DATUM_OFFSET_ID);
    if (!port.zone.empty() && !IsKnownZone(port.zone)) {
        Refuse(dialog, "« Fuseau du port » : le fuseau horaire « " + port.zone +
                           " » n'est pas connu du système :\nchoisissez-en un dans la liste, par exemple Europe/Paris.");
        return std::nullopt;
    }
    if (offset.find_first_not_of(' ') != std::string::npos && !(port.datumOffset = DecimalOf(offset))) {
        Refuse(dialog, "« Niveau moyen au-dessus du zéro » : « " + offset +
                           " » n'est pas un nombre de mètres, par exemple 2.78.");
        return std::nullopt;
    }
    UseClockOf(port.zone);  // the period's dates are on the port's clock
    const bool read = ReadBound(dialog, IMPORT_FROM_ID, "Du", false, port.from) &&
                      ReadBound(dialog, IMPORT_TO_ID, "Au", true, port.to);
    UsePortClock();
    return read ? std::optional<PortChoices>(port) : std::nullopt;
}

// The record the file gives in the zone and unit shown first: its missing
// hours count those between the measurements too.
void ShowRecord(Window dialog)
{
    const Measurements& m = Import.measurements;
    PortChoices port;
    port.zone = Header.TimeZone;
    ImportedRecord record;
    std::string message;
    if (!MeasuredRecord(Import.path, m, m.zoneMinutes, m.unit, port, record, message))
        return SetControlText(dialog, IMPORT_RECORD_ID, "aucun : voir OK");
    SetControlText(dialog, IMPORT_RECORD_ID,
                   Format("%i jours depuis le 1er janvier %i, dont %i heures sans mesure", record.days, record.year,
                          record.missingHours));
}

// OK: the record with the zone and the unit chosen; a zone that cannot be
// read or a record that cannot be made keeps the dialog open.
void Accept(Window dialog)
{
    const Measurements& m = Import.measurements;
    std::optional<int> zone = m.zoneMinutes;
    if (!m.zoneStated && !(zone = ZoneFromText(GetControlText(dialog, IMPORT_ZONE_ID)))) {
        ShowMessage(dialog,
                    Format("Le fuseau horaire « %s » n'est pas lisible :\n"
                           "écrivez par exemple UTC, UTC+01:00 ou -5.",
                           GetControlText(dialog, IMPORT_ZONE_ID).c_str()),
                    "Importer des mesures", MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    const int selected = UnitChoosable(m) ? SelectedItem(dialog, IMPORT_UNIT_ID) : static_cast<int>(m.unit);
    const HeightUnit unit = selected >= 0 ? static_cast<HeightUnit>(selected) : m.unit;
    const std::optional<PortChoices> port = PortOf(dialog);
    if (!port)
        return;
    std::string message;
    if (!MeasuredRecord(Import.path, m, *zone, unit, *port, Import.record, message)) {
        ShowMessage(dialog, message, "Importer des mesures", MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    Import.anotherPort = IsAnotherPort(Import.record.portLine);
    if (Import.anotherPort && !MaySetWavesAside(dialog, "Importer des mesures", "de les remplacer"))
        return;
    Import.accepted = true;
    EndDialog(dialog, 0);
}

}  // namespace

DialogTemplate ImportTemplate(bool zoneEditable, bool unitEditable)
{
    DialogTemplate t{"Importer des mesures", RIGHT + 5, 276, {}};
    t.controls.push_back({ControlKind::CentredLabel, NO_ID, "Mesures trouvées dans le fichier", 5, 4, RIGHT - 5, 9});
    AddRow(t, 0, "Format :", IMPORT_FORMAT_ID);
    AddRow(t, 1, "Station :", IMPORT_STATION_ID);
    AddRow(t, 2, "Première mesure :", IMPORT_FIRST_ID);
    AddRow(t, 3, "Dernière mesure :", IMPORT_LAST_ID);
    AddRow(t, 4, "Valeurs :", IMPORT_VALUES_ID);
    AddRow(t, 5, "Intervalle :", IMPORT_INTERVAL_ID);
    AddChoiceRow(t, 6, "Fuseau horaire :", IMPORT_ZONE_ID, zoneEditable, ControlKind::Edit,
                 "non indiqué par le fichier");
    AddChoiceRow(t, 7, "Unité des hauteurs :", IMPORT_UNIT_ID, unitEditable, ControlKind::DropDownList,
                 "non indiquée par le fichier");
    AddRow(t, 8, "Relevé horaire :", IMPORT_RECORD_ID);
    t.controls.push_back({ControlKind::CentredLabel, NO_ID, "Le port du relevé", 5, 126, RIGHT - 5, 9});
    AddFieldRow(t, 10, "Nom :", IMPORT_PORT_NAME_ID, ControlKind::Edit, 199, "");
    AddFieldRow(t, 11, "Fuseau du port :", IMPORT_PORT_ZONE_ID, ControlKind::ComboEdit, 110,
                "vide : celui de l'ordinateur");
    AddFieldRow(t, 12, "Zéro des hauteurs :", IMPORT_DATUM_ID, ControlKind::Edit, 110, "vide : zéro du relevé");
    AddFieldRow(t, 13, "Niveau moyen au-dessus :", IMPORT_DATUM_OFFSET_ID, ControlKind::Edit, 50,
                "m ; vide : le zéro du relevé est le zéro");
    AddFieldRow(t, 14, "Du :", IMPORT_FROM_ID, ControlKind::Edit, 80, "vide : depuis la première mesure");
    AddFieldRow(t, 15, "Au :", IMPORT_TO_ID, ControlKind::Edit, 80, "vide : jusqu'à la dernière");
    t.controls.push_back({ControlKind::Label, NO_ID,
                          "Le relevé horaire prend la hauteur de chaque heure entière, en heure normale du port "
                          "(l'heure entière suivante si elle n'est pas à un nombre entier d'heures de UTC) ; une heure sans mesure "
                          "reste manquante. OK remplace l'enregistrement en mémoire ; "
                          "les ondes d'un autre port y sont remplacées par les ondes listées de cette station.",
                          5, 212, RIGHT - 5, 40});
    t.controls.push_back({ControlKind::DefaultPushButton, ID_OK, "OK", RIGHT - 105, 258, 50, 14});
    t.controls.push_back({ControlKind::PushButton, ID_CANCEL, "Annuler", RIGHT - 50, 258, 50, 14});
    return t;
}

void ImportDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init) {
        ShowFacts(dialog);
        return ShowRecord(dialog);
    }
    if (event != DialogEvent::Command || notification != NOTIFY_CLICKED)
        return;
    if (id == ID_OK)
        Accept(dialog);
    else if (id == ID_CANCEL)
        EndDialog(dialog, 0);
}

RecordChange ImportMeasurements()
{
    FileDialogOptions choice;
    choice.title = "Importer des mesures";
    choice.filterName = "Mesures de marégraphe";
    choice.filterPattern = "*";
    choice.fileMustExist = true;
    choice.pathMustExist = true;
    const std::optional<std::string> path = ChooseFileToOpen(MainWindow, choice);
    if (!path)
        return RecordChange::None;
    Import = PendingImport{*path, {}, {}, false, false};
    std::string message;
    if (!ReadMeasurementFile(*path, Import.measurements, message)) {
        ShowMessage(MainWindow, message + "\n\nL'enregistrement en mémoire est conservé.", "Erreur",
                    MessageButtons::Ok, MessageIcon::Warning);
        LogPrintf("%s\n\n", message.c_str());
        Import = PendingImport{};
        return RecordChange::None;
    }
    const Measurements& m = Import.measurements;
    RunModalDialog(MainWindow, ImportTemplate(!m.zoneStated, UnitChoosable(m)), ImportDialog);
    RecordChange change = RecordChange::None;
    if (Import.accepted) {
        InstallImportedRecord(Import.record);
        // The log of a port on the computer's zone says what it always has.
        const std::string port = Import.record.zone.empty() ? "" : PortFactsOf(Import.record);
        LogPrintf("\nImportation de mesures : %s\n%s%sTime_of_debut = %li\n\n", path->c_str(),
                  Import.record.description.c_str(), port.c_str(), Header.Time_of_debut);
        change = Import.anotherPort ? RecordChange::AnotherPort : RecordChange::SamePort;
        Repaint();
    }
    Import = PendingImport{};
    return change;
}
