#include "exports/perioddialog.h"

#include "base/calendar.h"
#include "base/text.h"
#include "exports/tides.h"
#include "tables/tidetimes.h"

ExportPeriodChoice LastExportPeriod;

const DialogTemplate ExportPeriodTemplate{"Période à exporter", 190, 62, {
    {ControlKind::Label, NO_ID, "Année :", 7, 9, 28, 10},
    {ControlKind::Edit, PERIOD_YEAR_ID, "", 36, 7, 40, 13},
    {ControlKind::Label, NO_ID, "Mois :", 84, 9, 24, 10},
    {ControlKind::DropDownList, PERIOD_MONTH_ID, "", 109, 7, 74, 14},
    {ControlKind::DefaultPushButton, ID_OK, "Exporter", 40, 38, 55, 16},
    {ControlKind::PushButton, ID_CANCEL, "Annuler", 104, 38, 55, 16},
}};

namespace {

std::optional<ExportPeriod> Chosen;

void Refuse(Window dialog, const std::string& text)
{
    ShowMessage(dialog, text, "Période à exporter", MessageButtons::Ok, MessageIcon::Warning);
}

void FillPeriodDialog(Window dialog)
{
    ClearItems(dialog, PERIOD_MONTH_ID);
    for (int month = 0; month < 12; ++month)
        AddItem(dialog, PERIOD_MONTH_ID, MonthChoice(month));
    AddItem(dialog, PERIOD_MONTH_ID, "Toute l'année");
    const std::string& year = LastExportPeriod.yearEntry;
    SetControlText(dialog, PERIOD_YEAR_ID, year.empty() ? Format("%i", LocalTimeNow().tm_year + 1900) : year);
    SelectItem(dialog, PERIOD_MONTH_ID, LastExportPeriod.month);
}

void AcceptPeriod(Window dialog)
{
    const std::string entry = FirstChars(GetControlText(dialog, PERIOD_YEAR_ID), 99);
    std::optional<long> year = YearOfEntry(entry);
    if (!year)
        return Refuse(dialog, "Tapez l'année en chiffres, par exemple 2004.");
    int month = SelectedItem(dialog, PERIOD_MONTH_ID);
    if (month < 0 || month > WHOLE_YEAR)
        month = WHOLE_YEAR;
    if (!SpanOf(*year, month))
        return Refuse(dialog, Format("L'année %li ne peut pas être convertie en date : choisissez une autre année.",
                                     *year));
    LastExportPeriod = ExportPeriodChoice{entry, month};
    Chosen = ExportPeriod{*year, month};
    EndDialog(dialog, 1);
}

}  // namespace

void ExportPeriodDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init)
        return FillPeriodDialog(dialog);
    if (notification != NOTIFY_CLICKED)
        return;
    if (id == ID_OK)
        AcceptPeriod(dialog);
    else if (id == ID_CANCEL)
        EndDialog(dialog, 0);
}

std::optional<ExportPeriod> AskExportPeriod()
{
    Chosen.reset();
    RunModalDialog(MainWindow, ExportPeriodTemplate, ExportPeriodDialog);
    return Chosen;
}
