#include "dialogs/harmonicdialog.h"

#include <algorithm>
#include <string>

#include "analysis/jointfit.h"
#include "analysis/knownwaves.h"
#include "base/fields.h"
#include "base/reportdialog.h"
#include "base/text.h"
#include "model/waves.h"

namespace {

constexpr const char* CAPTION = "Analyse harmonique";
constexpr double LARGEST_RAYLEIGH = 100;

// What OK chose, for the analysis run once the dialog is closed.
struct HarmonicChoice {
    bool accepted = false;
    JointSet set = JointSet::Known;
    double rayleigh = DEFAULT_RAYLEIGH;
};
HarmonicChoice Chosen;

void ShowChoices(Window dialog)
{
    AddItem(dialog, HARMONIC_SET_ID, Format("Ondes connues (%i)", KNOWN_WAVE_COUNT));
    AddItem(dialog, HARMONIC_SET_ID,
            Format("Ondes connues et de petits fonds (%i)", KNOWN_WAVE_COUNT + SHALLOW_WAVE_COUNT));
    AddItem(dialog, HARMONIC_SET_ID, Format("Ondes en mémoire (%i)", WaveSet.count));
    SelectItem(dialog, HARMONIC_SET_ID, 0);
    SetControlText(dialog, HARMONIC_RAYLEIGH_ID, Format("%g", DEFAULT_RAYLEIGH));
}

void Warn(Window dialog, const std::string& text)
{
    ShowMessage(dialog, text, CAPTION, MessageButtons::Ok, MessageIcon::Warning);
}

void Accept(Window dialog)
{
    const std::string typed = GetControlText(dialog, HARMONIC_RAYLEIGH_ID);
    const std::optional<double> rayleigh = ParseTypedNumber(typed);
    if (!rayleigh || !(*rayleigh >= 0 && *rayleigh <= LARGEST_RAYLEIGH))
        return Warn(dialog, Format("Le nombre de Rayleigh « %s » ne convient pas :\n"
                                   "écrivez un nombre de 0 à %g, par exemple 1.",
                                   typed.c_str(), LARGEST_RAYLEIGH));
    const auto set = static_cast<JointSet>(std::max(0, SelectedItem(dialog, HARMONIC_SET_ID)));
    if (set == JointSet::InMemory && WaveSet.count == 0)
        return Warn(dialog, "Il n'y a aucune onde en mémoire : choisissez les ondes connues.");
    Chosen = {true, set, *rayleigh};
    EndDialog(dialog, 0);
}

}  // namespace

const DialogTemplate HarmonicAnalysisTemplate{CAPTION, 240, 92, {
    {ControlKind::Label, NO_ID, "Ondes ajustées ensemble, avec le niveau moyen :", 5, 6, 230, 9},
    {ControlKind::DropDownList, HARMONIC_SET_ID, "", 5, 17, 230, 60},
    {ControlKind::Label, NO_ID, "Nombre de Rayleigh R :", 5, 37, 90, 9},
    {ControlKind::Edit, HARMONIC_RAYLEIGH_ID, "", 100, 35, 40, 12},
    {ControlKind::Label, NO_ID, "Une onde n'est ajustée que si sa fréquence s'écarte d'au moins R cycle", 5, 52,
     230, 9},
    {ControlKind::Label, NO_ID, "sur la durée du relevé du niveau moyen et des ondes plus importantes.", 5, 61, 230,
     9},
    {ControlKind::DefaultPushButton, ID_OK, "OK", 115, 74, 55, 14},
    {ControlKind::PushButton, ID_CANCEL, "Annuler", 180, 74, 55, 14},
}};

const DialogTemplate HarmonicReportTemplate{"Analyse harmonique : résultats", 400, 250, {
    {ControlKind::ReportEdit, HARMONIC_REPORT_ID, "", 5, 5, 390, 220},
    {ControlKind::DefaultPushButton, ID_OK, "Fermeture", 172, 230, 55, 15},
}};

void HarmonicAnalysisDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init)
        ShowChoices(dialog);
    else if (notification == NOTIFY_CLICKED && id == ID_OK)
        Accept(dialog);
    else if (notification == NOTIFY_CLICKED && id == ID_CANCEL)
        EndDialog(dialog, 0);
}

void RunHarmonicAnalysisDialog()
{
    Chosen = {};
    RunModalDialog(MainWindow, HarmonicAnalysisTemplate, HarmonicAnalysisDialog);
    if (!Chosen.accepted)
        return;
    const std::optional<std::string> report = RunJointAnalysis(Chosen.set, Chosen.rayleigh);
    if (!report)
        return;
    ShowReportDialog(HarmonicReportTemplate, HARMONIC_REPORT_ID, *report);
}
