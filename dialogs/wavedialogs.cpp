#include "dialogs/wavedialogs.h"

#include <cmath>
#include <vector>

#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "analysis/scan.h"
#include "base/fields.h"
#include "base/log.h"
#include "base/text.h"
#include "model/units.h"
#include "model/waves.h"

int EditedWave = 0;

namespace {

// Control identifiers.
constexpr int MANAGER_LIST = 121, MANAGER_ADD = 101, MANAGER_DELETE = 102, MANAGER_EDIT = 103;
constexpr int ADD_NAME = 105, ADD_PERIOD = 103, ADD_KNOWN_LIST = 104;
constexpr int EDIT_NAME = 107, EDIT_PERIOD = 102, EDIT_AMPL = 103, EDIT_ETAB = 104;

bool Clicked(int id, int notification, int button)
{
    return id == button && notification == NOTIFY_CLICKED;
}

std::string FieldText(Window dialog, int id)
{
    return FirstChars(GetControlText(dialog, id), FIELD_CHARS);
}

// Only finite numbers may enter the model: the chart, the tables, the fits
// and the wave file all compute with them.
bool IsFiniteOrReport(Window dialog, const char* caption, const char* field, double value)
{
    if (std::isfinite(value))
        return true;
    ShowMessage(dialog, Format("Le champ « %s » donne un nombre trop grand.", field), caption, MessageButtons::Ok,
                MessageIcon::Warning);
    return false;
}

// The wave set, with wave index given amplitude ampl, stays within
// MAX_TIDE_RANGE_M.
bool WithinTideRangeOrReport(Window dialog, const char* caption, int index, double ampl)
{
    std::vector<Wave> waves(WaveSet.waves, WaveSet.waves + WaveSet.count);
    waves[static_cast<std::size_t>(index)].ampl = ampl;
    if (WaveBeyondTideRange(waves.data(), static_cast<int>(waves.size())) < 0)
        return true;
    ShowMessage(dialog,
                Format("Avec cette amplitude, les ondes prédiraient des hauteurs à plus de %g m du niveau moyen.",
                       MAX_TIDE_RANGE_M),
                caption, MessageButtons::Ok, MessageIcon::Warning);
    return false;
}

// A period in hours gives a speed only when its seconds are finite and
// not too close to zero for 2π / period to be finite.
bool HasSpeedOrReport(Window dialog, const char* caption, const std::string& typed, double periodHours)
{
    const double periodS = periodHours * 3600;
    if (std::isfinite(periodS) && std::isfinite(TWO_PI / periodS))
        return true;
    ShowMessage(dialog,
                Format("La période « %s » ne donne pas de vitesse : il faut un nombre fini d'heures, "
                       "ni trop grand ni trop proche de zéro.",
                       typed.c_str()),
                caption, MessageButtons::Ok, MessageIcon::Warning);
    return false;
}

}  // namespace

const DialogTemplate WaveManagerTemplate{"Gestionnaire d'ondes", 250, 151, {
    {ControlKind::CentredLabel, NO_ID, "Gestion des différentes ondes.", 5, 3, 240, 9},
    {ControlKind::ListBox, MANAGER_LIST, "", 5, 14, 240, 120},
    {ControlKind::PushButton, MANAGER_ADD, "Ajouter", 5, 135, 55, 14},
    {ControlKind::PushButton, MANAGER_DELETE, "Supprimer", 66, 135, 55, 14},
    {ControlKind::PushButton, MANAGER_EDIT, "Modifier", 127, 135, 55, 14},
    {ControlKind::DefaultPushButton, ID_OK, "OK", 190, 135, 55, 14},
}};

const DialogTemplate AddWaveTemplate{"Ajouter une onde", 226, 153, {
    {ControlKind::CentredLabel, NO_ID, "Ajout d'une onde", 5, 4, 216, 9},
    {ControlKind::Label, NO_ID, "Désignation :", 5, 18, 50, 9},
    {ControlKind::Edit, ADD_NAME, "", 58, 16, 163, 12},
    {ControlKind::Label, NO_ID, "Période :", 5, 33, 50, 9},
    {ControlKind::Edit, ADD_PERIOD, "", 58, 31, 60, 12},
    {ControlKind::ListBox, ADD_KNOWN_LIST, "", 5, 48, 217, 80},
    {ControlKind::DefaultPushButton, ID_OK, "OK", 112, 133, 50, 14},
    {ControlKind::PushButton, ID_CANCEL, "Annuler", 170, 133, 50, 14},
}};

const DialogTemplate EditWaveTemplate{"Modifier une onde", 209, 141, {
    {ControlKind::CentredLabel, NO_ID, "Modification d'une onde", 5, 4, 199, 9},
    {ControlKind::CentredLabel, NO_ID, "! Attention !", 5, 16, 199, 9},
    {ControlKind::CentredLabel, NO_ID, "Il est fortement déconseillé de modifier les ondes", 5, 26, 199, 9},
    {ControlKind::GroupBox, NO_ID, "", 5, 38, 199, 76},
    {ControlKind::Label, NO_ID, "Désignation :", 12, 50, 55, 9},
    {ControlKind::Edit, EDIT_NAME, "", 70, 48, 128, 12},
    {ControlKind::Label, NO_ID, "Période :", 12, 65, 55, 9},
    {ControlKind::Edit, EDIT_PERIOD, "", 70, 63, 60, 12},
    {ControlKind::Label, NO_ID, "Amplitude :", 12, 80, 55, 9},
    {ControlKind::Edit, EDIT_AMPL, "", 70, 78, 60, 12},
    {ControlKind::Label, NO_ID, "Etablissement :", 12, 95, 55, 9},
    {ControlKind::Edit, EDIT_ETAB, "", 70, 93, 60, 12},
    {ControlKind::DefaultPushButton, ID_OK, "OK", 94, 121, 50, 14},
    {ControlKind::PushButton, ID_CANCEL, "Annuler", 154, 121, 50, 14},
}};

// ---- Wave manager -------------------------------------------------------------

namespace {

// The list mirrors the table, entry i being wave i; the first is selected.
// With no wave there is nothing to delete or modify.
void FillWaveList(Window dialog)
{
    ClearItems(dialog, MANAGER_LIST);
    for (int i = 0; i < WaveSet.count; ++i)
        AddItem(dialog, MANAGER_LIST, WaveSet.waves[i].name);
    SelectItem(dialog, MANAGER_LIST, 0);
    EnableControl(dialog, MANAGER_DELETE, WaveSet.count > 0);
    EnableControl(dialog, MANAGER_EDIT, WaveSet.count > 0);
}

// The selected wave, or nothing (and the user is told) when there is none.
std::optional<int> SelectedWaveOrReport(Window dialog, const char* what)
{
    int i = SelectedItem(dialog, MANAGER_LIST);
    if (i >= 0 && i < WaveSet.count)
        return i;
    ShowMessage(dialog, Format("Il n'y a aucune onde à %s.", what), "Gestionnaire d'ondes",
                MessageButtons::Ok, MessageIcon::Information);
    return std::nullopt;
}

void DeleteSelectedWave(Window dialog)
{
    std::optional<int> i = SelectedWaveOrReport(dialog, "supprimer");
    if (!i)
        return;
    if (ShowMessage(dialog, "Supprimer cette onde ?", "Suppression d'une onde", MessageButtons::YesNo,
                    MessageIcon::Question) != MessageAnswer::Yes)
        return;
    LogPrintf("Onde numéro %i supprimée\n\n", *i);
    RemoveWave(*i);
    FillWaveList(dialog);
}

void EditSelectedWave(Window dialog)
{
    std::optional<int> i = SelectedWaveOrReport(dialog, "modifier");
    if (!i)
        return;
    EditedWave = *i;
    RunModalDialog(dialog, EditWaveTemplate, EditWaveDialog);
    FillWaveList(dialog);
}

}  // namespace

void ShowWaveManager()
{
    RunModalDialog(MainWindow, WaveManagerTemplate, WaveManagerDialog);
    Repaint();
}

void WaveManagerDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init) {
        FillWaveList(dialog);
    } else if (Clicked(id, notification, ID_OK) || Clicked(id, notification, ID_CANCEL)) {
        EndDialog(dialog, 0);
    } else if (Clicked(id, notification, MANAGER_ADD)) {
        RunModalDialog(dialog, AddWaveTemplate, AddWaveDialog);
        FillWaveList(dialog);
    } else if (Clicked(id, notification, MANAGER_DELETE)) {
        DeleteSelectedWave(dialog);
    } else if (Clicked(id, notification, MANAGER_EDIT)) {
        EditSelectedWave(dialog);
    }
}

// ---- Add dialog ------------------------------------------------------------------

namespace {

void ShowKnownWave(Window dialog, int entry)
{
    if (entry < 0 || entry >= KNOWN_WAVE_COUNT)
        return;
    const KnownWave& known = KnownWaves[KnownWaveOrder[entry]];
    SetControlText(dialog, ADD_NAME, known.label);
    SetControlText(dialog, ADD_PERIOD, Format("%Lf", Lf(known.periodHours)));
}

void FillKnownWaves(Window dialog)
{
    ClearItems(dialog, ADD_KNOWN_LIST);
    for (int entry = 0; entry < KNOWN_WAVE_COUNT; ++entry)
        AddItem(dialog, ADD_KNOWN_LIST, KnownWaves[KnownWaveOrder[entry]].label);
    SelectItem(dialog, ADD_KNOWN_LIST, 0);
    ShowKnownWave(dialog, 0);
}

// Fits the wave of the period typed, appends it under the name typed and
// reports it; the dialog stays open when the period cannot be used.
void AddTypedWave(Window dialog)
{
    const char* caption = "Ajout d'une onde.";
    const std::string typed = GetControlText(dialog, ADD_PERIOD);
    const std::optional<double> periodHours = TypedNumberOrRefuse(dialog, ADD_PERIOD, "Période", "12,420601", caption);
    if (!periodHours)
        return;
    if (!(*periodHours > 0)) {
        ShowMessage(dialog, "La période d'une onde à ajouter est un nombre d'heures plus grand que zéro.", caption,
                    MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    if (!HasSpeedOrReport(dialog, caption, typed, *periodHours) || !CanAddFittedWaveOrReport(dialog))
        return;
    const double periodS = *periodHours * 3600.0;
    Wave w = DetermineWave(periodS);
    w.name = FieldText(dialog, ADD_NAME);
    const std::string report = AddedWaveReport(periodS * INV_3600, w);
    ShowMessageAndLog(dialog, report, "Ajout d'une onde.", MessageIcon::Information);
    AppendWave(w);
    EndDialog(dialog, 0);
}

}  // namespace

void AddWaveDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init)
        FillKnownWaves(dialog);
    else if (id == ADD_KNOWN_LIST && notification == NOTIFY_SELCHANGE)
        ShowKnownWave(dialog, SelectedItem(dialog, ADD_KNOWN_LIST));
    else if (Clicked(id, notification, ID_OK))
        AddTypedWave(dialog);
    else if (Clicked(id, notification, ID_CANCEL))
        EndDialog(dialog, 0);
}

// ---- Edit dialog -----------------------------------------------------------------

namespace {

void ShowEditedWave(Window dialog)
{
    const Wave& w = WaveSet.waves[EditedWave];
    SetControlText(dialog, EDIT_NAME, w.name);
    SetControlText(dialog, EDIT_PERIOD, Format("%Lf", Lf(PeriodHoursFromSpeed(w.speed))));
    SetControlText(dialog, EDIT_AMPL, Format("%Lf", Lf(w.ampl)));
    SetControlText(dialog, EDIT_ETAB, Format("%Lf", Lf(w.etab)));
}

// Stores the fields into the edited wave and reports it. A field that is not
// a number, or not finite, changes nothing and keeps the dialog open.
void StoreEditedWave(Window dialog)
{
    const char* caption = "Modification d'une onde";
    const std::string periodText = GetControlText(dialog, EDIT_PERIOD);
    const std::string amplText = GetControlText(dialog, EDIT_AMPL);
    const std::string etabText = GetControlText(dialog, EDIT_ETAB);
    std::optional<double> periodHours, ampl, etab;
    if (!(periodHours = TypedNumberOrRefuse(dialog, EDIT_PERIOD, "Période", "12,420601", caption)) ||
        !(ampl = TypedNumberOrRefuse(dialog, EDIT_AMPL, "Amplitude", "1,72", caption)) ||
        !(etab = TypedNumberOrRefuse(dialog, EDIT_ETAB, "Etablissement", "2,91", caption)) ||
        !IsFiniteOrReport(dialog, caption, "Amplitude", *ampl) ||
        !IsFiniteOrReport(dialog, caption, "Etablissement", *etab) ||
        (*periodHours != 0 && !HasSpeedOrReport(dialog, caption, periodText, *periodHours)) ||
        !WithinTideRangeOrReport(dialog, caption, EditedWave, *ampl))
        return;
    Wave& w = WaveSet.waves[EditedWave];
    if (periodText != Format("%Lf", Lf(PeriodHoursFromSpeed(w.speed))) || amplText != Format("%Lf", Lf(w.ampl)) ||
        etabText != Format("%Lf", Lf(w.etab)))
        w.uncertainty = {};  // a wave typed anew: the record no longer says how close it is
    w.name = FieldText(dialog, EDIT_NAME);
    w.speed = *periodHours == 0 ? ZERO_PERIOD_SPEED : TWO_PI / (*periodHours * 3600);
    w.ampl = *ampl;
    w.etab = *etab;
    NoteWavesChanged();
    std::string report = Format("L'onde %i a été modifiée : \n- Désignation : %s\n- Période : %Lf\n"
                                "- Amplitude : %Lf\n- Etablissement : %Lf\n",
                                EditedWave + 1, w.name.c_str(), Lf(PeriodHoursFromSpeed(w.speed)), Lf(w.ampl),
                                Lf(w.etab));
    ShowMessageAndLog(dialog, report, caption, MessageIcon::Information, "\n\n");
    EndDialog(dialog, 0);
}

}  // namespace

void EditWaveDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init)
        ShowEditedWave(dialog);
    else if (Clicked(id, notification, ID_OK))
        StoreEditedWave(dialog);
    else if (Clicked(id, notification, ID_CANCEL))
        EndDialog(dialog, 0);
}
