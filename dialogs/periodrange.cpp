#include "dialogs/periodrange.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "analysis/scan.h"
#include "base/fields.h"
#include "base/options.h"
#include "base/text.h"
#include "model/record.h"

namespace {

constexpr int FROM_FIELD = 101, TO_FIELD = 102;
constexpr const char* CAPTION = "Détermination de période de ... à ...";

// The band of the last run, kept for the next: "11.8;13".
constexpr const char* BAND_SETTING = "bande";

bool Accepted = false;

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

void StoreBand(Window dialog)
{
    std::optional<double> from, to;
    if (!(from = TypedNumberOrRefuse(dialog, FROM_FIELD, "De", "11,75", CAPTION)) ||
        !(to = TypedNumberOrRefuse(dialog, TO_FIELD, "A", "13", CAPTION)))
        return;
    const std::string band = "de « " + GetControlText(dialog, FROM_FIELD) + " » h à « " +
                             GetControlText(dialog, TO_FIELD) + " » h";
    if (!IsSweepableOrReport(dialog, band, *from, *to) || !IsWaitableOrAsk(dialog, band, *from, *to))
        return;
    Options.PeriodMin = *from;
    Options.PeriodMax = *to;
    KeepSetting(BAND_SETTING, ShortDecimal(*from) + ";" + ShortDecimal(*to));
    Accepted = true;
    EndDialog(dialog, 0);
}

void ShowBand(Window dialog)
{
    SetControlText(dialog, FROM_FIELD, ShortDecimal(Options.PeriodMin));
    SetControlText(dialog, TO_FIELD, ShortDecimal(Options.PeriodMax));
}

}  // namespace

const DialogTemplate PeriodRangeTemplate{CAPTION, 190, 80, {
    {ControlKind::CentredLabel, NO_ID, "Détermination de périodes", 5, 4, 180, 9},
    {ControlKind::Label, NO_ID, "Indiquer les périodes en heures.", 5, 16, 180, 9},
    {ControlKind::Label, NO_ID, "De :", 40, 31, 20, 9},
    {ControlKind::Edit, FROM_FIELD, "", 64, 29, 60, 12},
    {ControlKind::Label, NO_ID, "A  :", 40, 45, 20, 9},
    {ControlKind::Edit, TO_FIELD, "", 64, 43, 60, 12},
    {ControlKind::DefaultPushButton, ID_OK, "OK", 76, 61, 50, 14},
    {ControlKind::PushButton, ID_CANCEL, "Annuler", 134, 61, 50, 14},
}};

bool RunPeriodRangeDialog()
{
    Accepted = false;
    RunModalDialog(MainWindow, PeriodRangeTemplate, PeriodRangeDialog);
    return Accepted;
}

void RestoreKeptBand()
{
    const std::optional<std::string> kept = KeptSetting(BAND_SETTING);
    const std::size_t split = kept ? kept->find(';') : std::string::npos;
    if (split == std::string::npos)
        return;
    const std::optional<double> from = ParseTypedNumber(kept->substr(0, split));
    const std::optional<double> to = ParseTypedNumber(kept->substr(split + 1));
    if (from && to && !BandProblem(*from, *to)) {
        Options.PeriodMin = *from;
        Options.PeriodMax = *to;
    }
}

void PeriodRangeDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init)
        return ShowBand(dialog);
    if (event != DialogEvent::Command || notification != NOTIFY_CLICKED)
        return;
    if (id == ID_OK)
        StoreBand(dialog);
    else if (id == ID_CANCEL)
        EndDialog(dialog, 0);
}
