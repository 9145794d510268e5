// Modal dialogs on the headless backend: the controls of the template are
// kept as values, and the user's actions come from the dialog queue.
#include "platform/headless/internal.h"

#include <algorithm>

using headless::DialogAction;
using headless::S;

namespace {

struct RunningDialog {
    PlatformWindow window;
    DialogProcedure procedure = nullptr;
};

PlatformWindow::Control& ControlOf(Window dialog, int id)
{
    return dialog->controls[id];
}

void Notify(RunningDialog& running, int id, int notification)
{
    running.procedure(&running.window, DialogEvent::Command, id, notification);
}

// An action must name a control of the dialog, and an entry it holds.
bool IsUsable(Window dialog, const DialogAction& action)
{
    using Kind = DialogAction::Kind;
    if (action.kind == Kind::Close || action.kind == Kind::Inspect ||
        (action.kind == Kind::Click && (action.id == ID_OK || action.id == ID_CANCEL)))
        return true;
    auto it = dialog->controls.find(action.id);
    if (it == dialog->controls.end()) {
        headless::ReportUnanswered("dialog \"" + dialog->title + "\" has no control " + std::to_string(action.id));
        return false;
    }
    if (!it->second.enabled) {
        headless::ReportUnanswered("dialog \"" + dialog->title + "\": control " + std::to_string(action.id) +
                                   " is greyed");
        return false;
    }
    if ((action.kind == Kind::Select || action.kind == Kind::DoubleClick) &&
        (action.index < 0 || action.index >= static_cast<int>(it->second.items.size()))) {
        headless::ReportUnanswered("dialog \"" + dialog->title + "\": control " + std::to_string(action.id) +
                                   " has no entry " + std::to_string(action.index));
        return false;
    }
    return true;
}

// Carries out one queued action; false when the queue has none for this dialog.
bool ActOnce(RunningDialog& running)
{
    if (S.dialogActions.empty())
        return false;
    DialogAction action = std::move(S.dialogActions.front());
    S.dialogActions.pop_front();
    Window dialog = &running.window;
    if (!action.expectedTitle.empty() && action.expectedTitle != dialog->title) {
        headless::ReportUnanswered("dialog \"" + dialog->title + "\" is open, the action is for \"" +
                                   action.expectedTitle + "\"");
        return true;
    }
    if (!IsUsable(dialog, action))
        return true;
    switch (action.kind) {
    case DialogAction::Kind::Type:
        ControlOf(dialog, action.id).text = action.text;
        break;
    case DialogAction::Kind::Select:
        SelectItem(dialog, action.id, action.index);
        Notify(running, action.id, NOTIFY_SELCHANGE);
        break;
    case DialogAction::Kind::DoubleClick:
        ControlOf(dialog, action.id).selection = action.index;
        Notify(running, action.id, NOTIFY_SELCHANGE);
        Notify(running, action.id, NOTIFY_DBLCLK);
        break;
    case DialogAction::Kind::Tick:
        ControlOf(dialog, action.id).checked = action.checked;
        Notify(running, action.id, NOTIFY_CLICKED);
        break;
    case DialogAction::Kind::Click:
        Notify(running, action.id, NOTIFY_CLICKED);
        break;
    case DialogAction::Kind::Close:
        Notify(running, ID_CANCEL, NOTIFY_CLICKED);
        break;
    case DialogAction::Kind::Inspect:
        if (action.inspect)
            action.inspect(dialog);
        break;
    }
    return true;
}

}  // namespace

int RunModalDialog(Window owner, const DialogTemplate& dialog, DialogProcedure procedure)
{
    RunningDialog running;
    running.window.title = dialog.title;
    running.procedure = procedure;
    for (const DialogControl& control : dialog.controls)
        if (control.id != NO_ID)
            running.window.controls[control.id] =
                PlatformWindow::Control{control.kind, control.text, {}, -1, false, true};
    procedure(&running.window, DialogEvent::Init, 0, 0);
    while (!running.window.ended) {
        if (ActOnce(running))
            continue;
        headless::ReportUnanswered("the dialog \"" + dialog.title + "\" waits for the user, and nothing answers it");
        Notify(running, ID_CANCEL, NOTIFY_CLICKED);
        running.window.ended = true;
    }
    headless::DialogRecord record{dialog.title, headless::OwnerName(owner), running.window.result, {}};
    for (const auto& [id, control] : running.window.controls)
        record.finalTexts[id] = control.text;
    S.dialogs.push_back(record);
    return running.window.result;
}

void EndDialog(Window dialog, int result)
{
    dialog->ended = true;
    dialog->result = result;
}

std::string GetControlText(Window dialog, int id)
{
    return ControlOf(dialog, id).text;
}

void SetControlText(Window dialog, int id, const std::string& text)
{
    ControlOf(dialog, id).text = text;
}

void InsertTextAtStart(Window dialog, int id, const std::string& text)
{
    ControlOf(dialog, id).text.insert(0, text);
}

// Text without a font has no tab stops to place.
void SetTabStops(Window, int, int) {}

void EnableControl(Window dialog, int id, bool enabled)
{
    ControlOf(dialog, id).enabled = enabled;
}

bool IsControlEnabled(Window dialog, int id)
{
    return ControlOf(dialog, id).enabled;
}

void ClearItems(Window dialog, int id)
{
    PlatformWindow::Control& control = ControlOf(dialog, id);
    control.items.clear();
    control.selection = -1;
}

void AddItem(Window dialog, int id, const std::string& text)
{
    ControlOf(dialog, id).items.push_back(text);
}

void SelectItem(Window dialog, int id, int index)
{
    PlatformWindow::Control& control = ControlOf(dialog, id);
    control.selection = index >= 0 && index < static_cast<int>(control.items.size()) ? index : -1;
    if (control.kind == ControlKind::ComboEdit && control.selection >= 0)
        control.text = control.items[static_cast<std::size_t>(index)];
}

int SelectedItem(Window dialog, int id)
{
    const PlatformWindow::Control& control = ControlOf(dialog, id);
    if (control.kind != ControlKind::ComboEdit)
        return control.selection;
    const auto entry = std::find(control.items.begin(), control.items.end(), control.text);
    return entry == control.items.end() ? -1 : static_cast<int>(entry - control.items.begin());
}

std::vector<std::string> GetItems(Window dialog, int id)
{
    return ControlOf(dialog, id).items;
}

bool IsChecked(Window dialog, int id)
{
    return ControlOf(dialog, id).checked;
}

void SetChecked(Window dialog, int id, bool checked)
{
    ControlOf(dialog, id).checked = checked;
}
