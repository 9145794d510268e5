#include "dialogs/portdialog.h"

#include "base/calendar.h"
#include "base/fields.h"
#include "base/log.h"
#include "base/text.h"
#include "model/port.h"

namespace {

constexpr const char* CAPTION = "Port";

void Fill(Window dialog)
{
    const std::string& line = Header.PortName;
    SetControlText(dialog, PORT_NAME_ID, line.ends_with('\n') ? line.substr(0, line.size() - 1) : line);
    for (const std::string& zone : KnownZoneNames())
        AddItem(dialog, PORT_ZONE_ID, zone);
    SetControlText(dialog, PORT_ZONE_ID, Header.TimeZone);  // after the list, which would choose its first entry
    SetControlText(dialog, PORT_DATUM_ID, Header.DatumName);
    SetControlText(dialog, PORT_DATUM_OFFSET_ID, Header.DatumOffset ? Format("%.3f", *Header.DatumOffset) : "");
    SetChecked(dialog, PORT_COEFFICIENT_ID, Header.ShowCoefficient);
}

bool Refuse(Window dialog, const std::string& text)
{
    ShowMessage(dialog, text, CAPTION, MessageButtons::Ok, MessageIcon::Warning);
    return false;
}

// Every field read, or the first that cannot be, said.
bool Apply(Window dialog)
{
    const std::string name = GetControlText(dialog, PORT_NAME_ID);
    const std::string zone = GetControlText(dialog, PORT_ZONE_ID);
    const std::string datum = GetControlText(dialog, PORT_DATUM_ID);
    const std::string offsetText = GetControlText(dialog, PORT_DATUM_OFFSET_ID);
    const bool offsetGiven = offsetText.find_first_not_of(' ') != std::string::npos;
    const std::optional<double> offset = DecimalOf(offsetText);
    if (FirstChars(name, PORT_NAME_CHARS).size() < name.size() || name.find('\n') != std::string::npos)
        return Refuse(dialog, Format("« Nom du port » : un nom de port tient sur une ligne de %zu caractères au plus.",
                                     PORT_NAME_CHARS));
    if (!zone.empty() && !IsKnownZone(zone))
        return Refuse(dialog, "« Fuseau horaire » : le fuseau « " + zone +
                                  " » n'est pas connu du système ;\nchoisissez-en un dans la liste, par exemple "
                                  "Europe/Paris, ou laissez le champ vide pour celui de l'ordinateur.");
    if (offsetGiven && !offset)
        return Refuse(dialog, "« Niveau moyen au-dessus du zéro » : « " + offsetText +
                                  " » n'est pas un nombre de mètres, par exemple 2.78 ou 2,78.");
    if (offsetGiven && datum.empty())
        return Refuse(dialog, "« Zéro des hauteurs » : donnez le nom du zéro au-dessus duquel le niveau moyen est à " +
                                  offsetText + " m.");
    std::string why;
    if (!SetPortZone(zone, why))
        return Refuse(dialog, "« Fuseau horaire » : " + why + ".");
    Header.PortName = name + "\n";
    Header.DatumName = datum;
    Header.DatumOffset = offsetGiven ? offset : std::nullopt;
    Header.ShowCoefficient = IsChecked(dialog, PORT_COEFFICIENT_ID);
    LogText("Port : " + name + " ; heure : " + ClockDescription() + " ; hauteurs " + HeightsReference() +
            " ; coefficient : " + (Header.ShowCoefficient ? "oui" : "non") + ".\n\n");
    return true;
}

}  // namespace

const DialogTemplate PortTemplate{CAPTION, 280, 132, {
    {ControlKind::Label, NO_ID, "Nom du port :", 5, 8, 100, 9},
    {ControlKind::Edit, PORT_NAME_ID, "", 110, 6, 165, 12},
    {ControlKind::Label, NO_ID, "Fuseau horaire :", 5, 24, 100, 9},
    {ControlKind::ComboEdit, PORT_ZONE_ID, "", 110, 22, 110, 80},
    {ControlKind::Label, NO_ID, "vide : celui de l'ordinateur", 110, 37, 165, 9},
    {ControlKind::Label, NO_ID, "Zéro des hauteurs :", 5, 52, 100, 9},
    {ControlKind::Edit, PORT_DATUM_ID, "", 110, 50, 110, 12},
    {ControlKind::Label, NO_ID, "Niveau moyen au-dessus :", 5, 68, 104, 9},
    {ControlKind::Edit, PORT_DATUM_OFFSET_ID, "", 110, 66, 50, 12},
    {ControlKind::Label, NO_ID, "m ; vide : hauteurs du relevé", 166, 68, 109, 9},
    {ControlKind::CheckBox, PORT_COEFFICIENT_ID, "Coefficient de marée (échelle de Brest)", 5, 86, 270, 10},
    {ControlKind::DefaultPushButton, ID_OK, "OK", 170, 112, 50, 14},
    {ControlKind::PushButton, ID_CANCEL, "Annuler", 225, 112, 50, 14},
}};

void RunPortDialog()
{
    RunModalDialog(MainWindow, PortTemplate, PortDialog);
}

void PortDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init)
        return Fill(dialog);
    if (event != DialogEvent::Command || notification != NOTIFY_CLICKED)
        return;
    if (id == ID_OK && Apply(dialog))
        EndDialog(dialog, 0);
    else if (id == ID_CANCEL)
        EndDialog(dialog, 0);
}
