#include "dialogs/periodrange.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "analysis/scan.h"
#include "base/options.h"
#include "base/text.h"
#include "model/record.h"

namespace {

constexpr int FROM_FIELD = 101, TO_FIELD = 102;
constexpr const char* CAPTION = "Détermination de période de ... à ...";

// A bound as the messages show it: what was typed when it gave the number,
// else the bound kept.
std::string Shown(const std::string& typed, bool read, double value)
{
    return read ? "« " + typed + " »" : Format("%Lf", Lf(value));
}

// The sweep runs on whole seconds that an int holds.
const char* BandProblem(double from, double to)
{
    if (!(from > 0 && to > from))
        return "les périodes doivent être positives, et celle de « De » plus petite que celle de « A »";
    if (!(to * 3600 <= INT_MAX))
        return "la période de « A » ne peut dépasser 596523 h";
    if (SweepFitCount(from, to) == 0)
        return "la période de « De » doit atteindre une seconde (0.000278 h), et la bande couvrir au moins "
               "une seconde";
    return nullptr;
}

bool IsSweepableOrReport(Window dialog, const std::string& band, double from, double to)
{
    const char* problem = BandProblem(from, to);
    if (!problem)
        return true;
    ShowMessage(dialog, "La bande " + band + " ne peut pas être balayée :\n" + problem + ".", CAPTION,
                MessageButtons::Ok, MessageIcon::Warning);
    return false;
}

// True when the sweep is short enough, or the user agrees to wait for it.
bool IsWaitableOrAsk(Window dialog, const std::string& band, double from, double to)
{
    const std::int64_t fits = SweepFitCount(from, to);
    const std::int32_t hours = RecordSeries.RecordCount;
    const double fitHours = static_cast<double>(fits) * std::max(hours, SWEEP_MIN_HOURS_PER_FIT);
    if (fitHours <= SWEEP_CONFIRM_FIT_HOURS)
        return true;
    const std::string cost = "La bande " + band +
                             Format(" demande %lli ajustements d'une onde sur les %i heures du relevé",
                                    static_cast<long long>(fits), hours);
    if (fitHours > SWEEP_REFUSE_FIT_HOURS) {
        ShowMessage(dialog, cost + " : bien plus qu'on ne peut attendre.\n\nChoisissez une bande plus étroite.",
                    CAPTION, MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    return ShowMessage(dialog, cost + " : le balayage sera long.\n\nBalayer cette bande quand même ?", CAPTION,
                       MessageButtons::YesNo, MessageIcon::Question) == MessageAnswer::Yes;
}

// A field that does not begin with a number keeps its bound.
void StoreBand(Window dialog)
{
    const std::string fromText = GetControlText(dialog, FROM_FIELD), toText = GetControlText(dialog, TO_FIELD);
    const std::optional<double> fromRead = RealAtStart(fromText), toRead = RealAtStart(toText);
    const double from = fromRead.value_or(Options.PeriodMin), to = toRead.value_or(Options.PeriodMax);
    const std::string band =
        "de " + Shown(fromText, fromRead.has_value(), from) + " h à " + Shown(toText, toRead.has_value(), to) + " h";
    if (!IsSweepableOrReport(dialog, band, from, to) || !IsWaitableOrAsk(dialog, band, from, to))
        return;
    Options.PeriodMin = from;
    Options.PeriodMax = to;
    EndDialog(dialog, 0);
}

}  // namespace

const DialogTemplate PeriodRangeTemplate{CAPTION, 137, 76, {
    {ControlKind::CentredLabel, NO_ID, "Détermination de périodes", 5, 4, 127, 9},
    {ControlKind::Label, NO_ID, "Indiquer les périodes en heures.", 5, 16, 127, 9},
    {ControlKind::Label, NO_ID, "De :", 12, 31, 20, 9},
    {ControlKind::Edit, FROM_FIELD, "", 36, 29, 50, 12},
    {ControlKind::Label, NO_ID, "A  :", 12, 45, 20, 9},
    {ControlKind::Edit, TO_FIELD, "", 36, 43, 50, 12},
    {ControlKind::PushButton, ID_CANCEL, "Annuler", 22, 58, 50, 14},
    {ControlKind::DefaultPushButton, ID_OK, "OK", 80, 58, 50, 14},
}};

void RunPeriodRangeDialog()
{
    RunModalDialog(MainWindow, PeriodRangeTemplate, PeriodRangeDialog);
}

void PeriodRangeDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event != DialogEvent::Command || notification != NOTIFY_CLICKED)
        return;
    if (id == ID_OK)
        StoreBand(dialog);
    else if (id == ID_CANCEL)
        EndDialog(dialog, 0);
}
