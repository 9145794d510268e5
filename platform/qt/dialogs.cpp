// Modal dialogs of the Qt backend: real widgets built from the template,
// placed in dialog units of the dialog's font, reporting the user's actions
// to the dialog procedure.
#include "platform/qt/internal.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>

#include <algorithm>
#include <vector>

using qtplatform::QtText;
using qtplatform::Utf8;

namespace {

void Notify(PlatformWindow* dialog, int id, int notification)
{
    dialog->procedure(dialog, DialogEvent::Command, id, notification);
}

// Where a control stands in the template's size, in pixels.
struct Placed {
    QWidget* widget = nullptr;
    QRect rect;
};

// Escape and the close box ask the procedure (Cancel, clicked); the dialog
// closes only through EndDialog. Made larger than its template, it gives the
// room to its list or report (grower): what lies below it moves down, what
// spans the dialog widens, and what stands right of it moves right.
class TemplateDialog : public QDialog {
public:
    explicit TemplateDialog(QWidget* owner) : QDialog(owner) { window.widget = this; }

    void reject() override { Notify(&window, ID_CANCEL, NOTIFY_CLICKED); }

    PlatformWindow window;
    std::vector<Placed> placed;
    QSize base;
    QRect grower;  // null: the dialog keeps its size

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QDialog::resizeEvent(event);
        if (!grower.isNull())
            Place(width() - base.width(), height() - base.height());
    }

private:
    void Place(int dw, int dh)
    {
        for (const Placed& p : placed) {
            QRect r = p.rect;
            if (r == grower) {
                r.adjust(0, 0, dw, dh);
            } else if (r.left() <= grower.left() && r.right() >= grower.right()) {
                r.setWidth(r.width() + dw);  // spans the dialog
                r.translate(0, r.top() >= grower.bottom() ? dh : 0);
            } else if (r.top() >= grower.bottom()) {
                r.translate(dw * (r.center().x()) / std::max(base.width(), 1), dh);
            } else if (r.left() >= grower.right()) {
                r.translate(dw, 0);
            }
            p.widget->setGeometry(r);
        }
    }
};

// Pixels of a length in dialog units: a horizontal unit is a quarter of the
// font's average character width (the width of the 52 letters / 26, rounded
// half up, then halved), a vertical unit an eighth of its height.
struct DialogUnits {
    int charWidth = 1, charHeight = 1;

    explicit DialogUnits(const QFont& font)
    {
        const QFontMetrics metrics(font);
        const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        charWidth = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
        charHeight = metrics.height();
    }
    int X(int units) const { return (units * charWidth + 2) / 4; }  // rounded to the nearest pixel
    int Y(int units) const { return (units * charHeight + 4) / 8; }
};

QWidget* MakeControl(TemplateDialog* dialog, const DialogControl& control, const DialogUnits& units)
{
    PlatformWindow* window = &dialog->window;
    const int id = control.id;
    const QString text = QtText(control.text);
    switch (control.kind) {
    case ControlKind::Label:
    case ControlKind::CentredLabel: {
        auto* label = new QLabel(text, dialog);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignTop |
                            (control.kind == ControlKind::Label ? Qt::AlignLeft : Qt::AlignHCenter));
        return label;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(text, dialog);
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(text, dialog);
        QObject::connect(edit, &QLineEdit::textEdited, dialog,
                         [window, id] { Notify(window, id, NOTIFY_EDITCHANGE); });
        return edit;
    }
    case ControlKind::ReportEdit: {
        auto* edit = new QPlainTextEdit(text, dialog);
        edit->setReadOnly(true);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // Columns of a report line up only when every character has one width.
        edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setTabStopDistance(units.X(32));  // a tab stop every 32 dialog units
        return edit;
    }
    case ControlKind::ListBox: {
        auto* list = new QListWidget(dialog);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // Not currentRowChanged: a click moves the current row before the
        // selection, which the procedure reads.
        QObject::connect(list, &QListWidget::itemSelectionChanged, dialog,
                         [window, id] { Notify(window, id, NOTIFY_SELCHANGE); });
        QObject::connect(list, &QListWidget::itemDoubleClicked, dialog,
                         [window, id](QListWidgetItem*) { Notify(window, id, NOTIFY_DBLCLK); });
        return list;
    }
    case ControlKind::DropDownList: {
        auto* combo = new QComboBox(dialog);
        QObject::connect(combo, &QComboBox::currentIndexChanged, dialog,
                         [window, id](int) { Notify(window, id, NOTIFY_SELCHANGE); });
        return combo;
    }
    case ControlKind::ComboEdit: {
        auto* combo = new QComboBox(dialog);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // A part of the name finds it: "Kolk" gives Asia/Kolkata.
        combo->completer()->setCompletionMode(QCompleter::PopupCompletion);
        combo->completer()->setFilterMode(Qt::MatchContains);
        combo->completer()->setCaseSensitivity(Qt::CaseInsensitive);
        combo->setEditText(text);
        QObject::connect(combo, &QComboBox::currentIndexChanged, dialog,
                         [window, id](int) { Notify(window, id, NOTIFY_SELCHANGE); });
        return combo;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(text, dialog);
        QObject::connect(box, &QCheckBox::clicked, dialog,
                         [window, id] { Notify(window, id, NOTIFY_CLICKED); });
        return box;
    }
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
        auto* button = new QPushButton(text, dialog);
        button->setDefault(control.kind == ControlKind::DefaultPushButton);
        QObject::connect(button, &QPushButton::clicked, dialog,
                         [window, id] { Notify(window, id, NOTIFY_CLICKED); });
        return button;
    }
    }
    return nullptr;
}

// Room on the title bar for the window system's buttons beside the title.
constexpr int TITLE_BAR_BUTTONS_WIDTH = 120;

// The width that shows the whole title, in the bold of common title bars.
int TitleWidth(const QWidget* dialog)
{
    QFont bold = dialog->font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + TITLE_BAR_BUTTONS_WIDTH;
}

void BuildControls(TemplateDialog* dialog, const DialogTemplate& dialogTemplate)
{
    const DialogUnits units(dialog->font());
    dialog->base = QSize(units.X(dialogTemplate.width), units.Y(dialogTemplate.height));
    int growerArea = 0;
    for (const DialogControl& control : dialogTemplate.controls) {
        QWidget* widget = MakeControl(dialog, control, units);
        int height = units.Y(control.height);
        // A drop-down list's height in the template is that of its open list.
        if (control.kind == ControlKind::DropDownList || control.kind == ControlKind::ComboEdit)
            height = widget->sizeHint().height();
        widget->setGeometry(units.X(control.x), units.Y(control.y), units.X(control.width), height);
        dialog->placed.push_back(Placed{widget, widget->geometry()});
        const int area = control.width * control.height;
        if ((control.kind == ControlKind::ListBox || control.kind == ControlKind::ReportEdit) && area > growerArea) {
            growerArea = area;
            dialog->grower = widget->geometry();
        }
        if (control.kind == ControlKind::GroupBox)
            widget->lower();  // a frame behind the controls inside it
        if (control.id != NO_ID) {
            widget->setObjectName(QString::number(control.id));
            dialog->window.controls[control.id] = PlatformWindow::Control{control.kind, widget};
        }
    }
    const QSize size(std::max(dialog->base.width(), TitleWidth(dialog)), dialog->base.height());
    if (dialog->grower.isNull()) {
        dialog->setFixedSize(size);
    } else {
        dialog->setMinimumSize(dialog->base);
        dialog->resize(size);
    }
}

QWidget* ControlOf(Window dialog, int id)
{
    auto it = dialog->controls.find(id);
    return it == dialog->controls.end() ? nullptr : it->second.widget;
}

}  // namespace

Window qtplatform::DialogWindowOf(QWidget* widget)
{
    auto* dialog = dynamic_cast<TemplateDialog*>(widget);
    return dialog ? &dialog->window : nullptr;
}

int RunModalDialog(Window owner, const DialogTemplate& dialogTemplate, DialogProcedure procedure)
{
    TemplateDialog dialog(qtplatform::WidgetOf(owner));
    dialog.setWindowTitle(QtText(dialogTemplate.title));
    dialog.window.procedure = procedure;
    BuildControls(&dialog, dialogTemplate);
    dialog.setSizeGripEnabled(!dialog.grower.isNull());
    procedure(&dialog.window, DialogEvent::Init, 0, 0);
    if (!dialog.window.ended) {
        dialog.exec();
        qtplatform::ReactivateOwner(dialog.parentWidget());
    }
    return dialog.window.result;
}

void EndDialog(Window dialog, int result)
{
    dialog->ended = true;
    dialog->result = result;
    if (auto* widget = qobject_cast<QDialog*>(dialog->widget))
        widget->done(result);
}

std::string GetControlText(Window dialog, int id)
{
    QWidget* widget = ControlOf(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return Utf8(edit->text());
    if (auto* report = qobject_cast<QPlainTextEdit*>(widget))  // lines end with CR LF, as they were given
        return Utf8(report->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return Utf8(combo->currentText());
    if (auto* list = qobject_cast<QListWidget*>(widget))
        return list->currentItem() ? Utf8(list->currentItem()->text()) : std::string();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return Utf8(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return Utf8(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return Utf8(group->title());
    return {};
}

void SetControlText(Window dialog, int id, const std::string& text)
{
    QWidget* widget = ControlOf(dialog, id);
    const QString value = QtText(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(value);
    else if (auto* report = qobject_cast<QPlainTextEdit*>(widget))
        report->setPlainText(value);
    else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->isEditable())
        combo->setEditText(value);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(value);
}

void InsertTextAtStart(Window dialog, int id, const std::string& text)
{
    QWidget* widget = ControlOf(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(QtText(text) + edit->text());
    } else if (auto* report = qobject_cast<QPlainTextEdit*>(widget)) {
        QTextCursor start(report->document());
        start.insertText(QtText(text));
        report->moveCursor(QTextCursor::Start);  // the inserted text in view
    }
}

void SetTabStops(Window dialog, int id, int characters)
{
    if (auto* report = qobject_cast<QPlainTextEdit*>(ControlOf(dialog, id)))
        report->setTabStopDistance(QFontMetricsF(report->font()).horizontalAdvance(QLatin1Char('0')) * characters);
}

void EnableControl(Window dialog, int id, bool enabled)
{
    if (QWidget* widget = ControlOf(dialog, id))
        widget->setEnabled(enabled);
}

bool IsControlEnabled(Window dialog, int id)
{
    const QWidget* widget = ControlOf(dialog, id);
    return widget && widget->isEnabled();
}

// The program's own changes to lists do not notify: only the user's do.
void ClearItems(Window dialog, int id)
{
    QWidget* widget = ControlOf(dialog, id);
    const QSignalBlocker quiet(widget);
    if (auto* list = qobject_cast<QListWidget*>(widget))
        list->clear();
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->clear();
}

void AddItem(Window dialog, int id, const std::string& text)
{
    QWidget* widget = ControlOf(dialog, id);
    const QSignalBlocker quiet(widget);
    if (auto* list = qobject_cast<QListWidget*>(widget))
        list->addItem(QtText(text));
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->addItem(QtText(text));
}

void SelectItem(Window dialog, int id, int index)
{
    QWidget* widget = ControlOf(dialog, id);
    const QSignalBlocker quiet(widget);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        if (index < 0 || index >= list->count()) {
            list->clearSelection();
            list->setCurrentRow(-1);
        } else {
            list->setCurrentRow(index);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setCurrentIndex(index < 0 || index >= combo->count() ? -1 : index);
    }
}

int SelectedItem(Window dialog, int id)
{
    QWidget* widget = ControlOf(dialog, id);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? -1 : list->row(selected.first());
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->isEditable() ? combo->findText(combo->currentText(), Qt::MatchExactly) : combo->currentIndex();
    return -1;
}

std::vector<std::string> GetItems(Window dialog, int id)
{
    std::vector<std::string> items;
    QWidget* widget = ControlOf(dialog, id);
    if (auto* list = qobject_cast<QListWidget*>(widget))
        for (int i = 0; i < list->count(); ++i)
            items.push_back(Utf8(list->item(i)->text()));
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(Utf8(combo->itemText(i)));
    return items;
}

bool IsChecked(Window dialog, int id)
{
    const auto* box = qobject_cast<QCheckBox*>(ControlOf(dialog, id));
    return box && box->isChecked();
}

void SetChecked(Window dialog, int id, bool checked)
{
    if (auto* box = qobject_cast<QCheckBox*>(ControlOf(dialog, id)))
        box->setChecked(checked);  // clicked is the user's signal only
}
