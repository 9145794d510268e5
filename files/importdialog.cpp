#include "files/importdialog.h"

#include "base/log.h"
#include "base/text.h"
#include "files/wavefile.h"
#include "model/port.h"

PendingImport Import;

namespace {

const char* const UNIT_NAMES[HEIGHT_UNIT_COUNT] = {"m (mètres)", "cm (centimètres)", "mm (millimètres)",
                                                   "ft (pieds)"};

void AddRow(DialogTemplate& t, int row, const char* caption, int id)
{
    const int y = 18 + 12 * row;
    t.controls.push_back({ControlKind::Label, NO_ID, caption, 5, y, 78, 9});
    t.controls.push_back({ControlKind::Label, id, "", 86, y, 254, 9});
}

// An edit field or a list where the file says nothing, with a word of warning.
void AddChoiceRow(DialogTemplate& t, int row, const char* caption, int id, bool editable, ControlKind kind,
                  const char* warning)
{
    if (!editable)
        return AddRow(t, row, caption, id);
    const int y = 18 + 12 * row;
    t.controls.push_back({ControlKind::Label, NO_ID, caption, 5, y, 78, 9});
    t.controls.push_back({kind, id, "", 86, y - 2, 80, kind == ControlKind::Edit ? 12 : 60});
    t.controls.push_back({ControlKind::Label, NO_ID, warning, 172, y, 168, 9});
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
    if (m.unitStated) {
        SetControlText(dialog, IMPORT_UNIT_ID, facts.unit);
        return;
    }
    for (const char* name : UNIT_NAMES)
        AddItem(dialog, IMPORT_UNIT_ID, name);
    SelectItem(dialog, IMPORT_UNIT_ID, static_cast<int>(m.unit));
}

// The record the file gives in the zone and unit shown first: its missing
// hours count those between the measurements too.
void ShowRecord(Window dialog)
{
    const Measurements& m = Import.measurements;
    ImportedRecord record;
    std::string message;
    if (!MeasuredRecord(Import.path, m, m.zoneMinutes, m.unit, record, message))
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
    const int selected = m.unitStated ? static_cast<int>(m.unit) : SelectedItem(dialog, IMPORT_UNIT_ID);
    const HeightUnit unit = selected >= 0 ? static_cast<HeightUnit>(selected) : m.unit;
    std::string message;
    if (!MeasuredRecord(Import.path, m, *zone, unit, Import.record, message)) {
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
    DialogTemplate t{"Importer des mesures", 345, 192, {}};
    t.controls.push_back({ControlKind::CentredLabel, NO_ID, "Mesures trouvées dans le fichier", 5, 4, 335, 9});
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
    t.controls.push_back({ControlKind::Label, NO_ID,
                          "Le relevé horaire prend la hauteur de chaque heure entière, en heure locale normale ; "
                          "une heure sans mesure reste manquante. OK remplace l'enregistrement en mémoire ; "
                          "les ondes d'un autre port y sont remplacées par les ondes listées de cette station.",
                          5, 128, 335, 40});
    t.controls.push_back({ControlKind::DefaultPushButton, ID_OK, "OK", 235, 174, 50, 14});
    t.controls.push_back({ControlKind::PushButton, ID_CANCEL, "Annuler", 290, 174, 50, 14});
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
    RunModalDialog(MainWindow, ImportTemplate(!m.zoneStated, !m.unitStated), ImportDialog);
    RecordChange change = RecordChange::None;
    if (Import.accepted) {
        InstallImportedRecord(Import.record);
        LogPrintf("\nImportation de mesures : %s\n%sTime_of_debut = %li\n\n", path->c_str(),
                  Import.record.description.c_str(), Header.Time_of_debut);
        change = Import.anotherPort ? RecordChange::AnotherPort : RecordChange::SamePort;
        Repaint();
    }
    Import = PendingImport{};
    return change;
}
