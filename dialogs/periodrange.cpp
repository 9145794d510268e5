#include "dialogs/periodrange.h"

#include "base/options.h"
#include "base/text.h"

namespace {

constexpr int FROM_FIELD = 101, TO_FIELD = 102;

// A field that does not begin with a number keeps its bound. A band that is
// empty or not positive is refused and the dialog stays open.
void StoreBand(Window dialog)
{
    double from = RealAtStart(GetControlText(dialog, FROM_FIELD)).value_or(Options.PeriodMin);
    double to = RealAtStart(GetControlText(dialog, TO_FIELD)).value_or(Options.PeriodMax);
    if (!(from > 0 && to > from)) {
        ShowMessage(dialog,
                    Format("La bande de %Lf h à %Lf h ne peut pas être balayée :\n"
                           "les périodes doivent être positives, et celle de « De » plus petite "
                           "que celle de « A ».",
                           Lf(from), Lf(to)),
                    "Détermination de période de ... à ...", MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    Options.PeriodMin = from;
    Options.PeriodMax = to;
    EndDialog(dialog, 0);
}

}  // namespace

const DialogTemplate PeriodRangeTemplate{"Détermination de période de ... à ...", 137, 76, {
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
