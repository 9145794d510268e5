// The control functions that scripts of user actions call, acting on the
// real widgets of the Qt backend as a user would: each message box, file
// dialog and template dialog is answered from the queues once it shows, and
// the user's actions run in the main window's message loop. With them the
// batch program's scripts, and so the scenarios, play on the desktop
// program's own window. Long work cannot be stopped at a given look here:
// the Qt backend looks at the window by the clock.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

#include <deque>

#include "platform/headless/headless.h"
#include "platform/qt/internal.h"

namespace headless {

namespace {

struct Queues {
    std::deque<MessageAnswer> answers;
    std::deque<std::optional<std::string>> fileChoices;
    std::deque<DialogAction> dialogActions;
    std::deque<std::function<void()>> userActions;
    bool inUserAction = false;
};

Queues Q;
std::function<void(const std::string&)> Unanswered;
std::function<void(const MessageRecord&)> Observer;
std::function<void(const std::string&)> StatusObserver;
QPointer<QStatusBar> WatchedStatusBar;

void Report(const std::string& what)
{
    if (Unanswered)
        Unanswered(what);
}

std::string OwnerOf(const QWidget* widget)
{
    const QWidget* owner = widget->parentWidget();
    if (!owner)
        return "none";
    return owner == qtplatform::WidgetOf(MainWindow) ? "main window" : qtplatform::Utf8(owner->windowTitle());
}

MessageIcon IconOf(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::Information: return MessageIcon::Information;
    case QMessageBox::Question: return MessageIcon::Question;
    case QMessageBox::Warning: return MessageIcon::Warning;
    case QMessageBox::Critical: return MessageIcon::Error;
    default: return MessageIcon::None;
    }
}

void Answer(QMessageBox* box)
{
    const bool yesNo = box->button(QMessageBox::Yes) != nullptr;
    const bool cancel = box->button(QMessageBox::Cancel) != nullptr;
    const MessageButtons buttons = !yesNo ? MessageButtons::Ok : cancel ? MessageButtons::YesNoCancel : MessageButtons::YesNo;
    MessageRecord record{OwnerOf(box), qtplatform::Utf8(box->windowTitle()), qtplatform::Utf8(box->text()),
                         buttons, IconOf(box->icon()), MessageAnswer::Ok};
    if (!Q.answers.empty()) {
        record.answer = Q.answers.front();
        Q.answers.pop_front();
    } else if (yesNo) {
        Report("nothing answers the question \"" + record.caption + "\": " + record.text);
        record.answer = cancel ? MessageAnswer::Cancel : MessageAnswer::No;
    }
    if (Observer)
        Observer(record);
    const QMessageBox::StandardButton button = record.answer == MessageAnswer::Yes      ? QMessageBox::Yes
                                               : record.answer == MessageAnswer::No     ? QMessageBox::No
                                               : record.answer == MessageAnswer::Cancel ? QMessageBox::Cancel
                                                                                        : QMessageBox::Ok;
    if (QAbstractButton* pressed = box->button(button))
        pressed->click();
    else
        box->reject();
}

void Answer(QFileDialog* dialog)
{
    if (Q.fileChoices.empty()) {
        Report(std::string("nothing answers the ") + (dialog->acceptMode() == QFileDialog::AcceptSave ? "save" : "open") + " file dialog \"" +
               qtplatform::Utf8(dialog->windowTitle()) + "\"");
        return dialog->reject();
    }
    const std::optional<std::string> choice = Q.fileChoices.front();
    Q.fileChoices.pop_front();
    if (!choice)
        return dialog->reject();
    QLineEdit* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (choice->empty() && name->text().isEmpty()) {
        Report("the file dialog \"" + qtplatform::Utf8(dialog->windowTitle()) + "\" proposes no name");
        return dialog->reject();
    }
    dialog->setDirectory(QDir::current());
    if (!choice->empty())  // otherwise the name it proposes
        name->setText(QString::fromStdString(*choice));
    QMetaObject::invokeMethod(dialog, "accept");  // as Enter in the name field
}

// The control an action names, when the user can act on it; otherwise said.
QWidget* UsableControl(Window dialog, const DialogAction& action, const std::string& title)
{
    QWidget* widget = qtplatform::WidgetOf(dialog)->findChild<QWidget*>(QString::number(action.id));
    if (!widget) {
        Report("dialog \"" + title + "\" has no control " + std::to_string(action.id));
        return nullptr;
    }
    if (!widget->isEnabled()) {
        Report("dialog \"" + title + "\": control " + std::to_string(action.id) + " is greyed");
        return nullptr;
    }
    const int entries = static_cast<int>(GetItems(dialog, action.id).size());
    if ((action.kind == DialogAction::Kind::Select || action.kind == DialogAction::Kind::DoubleClick) &&
        (action.index < 0 || action.index >= entries)) {
        Report("dialog \"" + title + "\": control " + std::to_string(action.id) + " has no entry " +
               std::to_string(action.index));
        return nullptr;
    }
    return widget;
}

void Choose(QWidget* widget, int index, bool doubleClick)
{
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        list->setCurrentRow(index);
        if (doubleClick)
            emit list->itemDoubleClicked(list->item(index));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setCurrentIndex(index);
    }
}

void Act(Window dialog, const DialogAction& action)
{
    using Kind = DialogAction::Kind;
    if (action.kind == Kind::Inspect)
        return action.inspect(dialog);
    if (action.kind == Kind::Close)
        return static_cast<void>(qobject_cast<QDialog*>(qtplatform::WidgetOf(dialog))->reject());
    const bool standard = action.kind == Kind::Click && (action.id == ID_OK || action.id == ID_CANCEL);
    if (standard && !qtplatform::WidgetOf(dialog)->findChild<QWidget*>(QString::number(action.id)))
        return dialog->procedure(dialog, DialogEvent::Command, action.id, NOTIFY_CLICKED);
    QWidget* widget = UsableControl(dialog, action, qtplatform::Utf8(qtplatform::WidgetOf(dialog)->windowTitle()));
    if (!widget)
        return;
    switch (action.kind) {
    case Kind::Type:
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            combo->setEditText(QString::fromStdString(action.text));
        else {  // as the user's typing: the text, then its notification
            auto* edit = qobject_cast<QLineEdit*>(widget);
            edit->setText(QString::fromStdString(action.text));
            emit edit->textEdited(edit->text());
        }
        break;
    case Kind::Select: Choose(widget, action.index, false); break;
    case Kind::DoubleClick: Choose(widget, action.index, true); break;
    case Kind::Tick: {
        auto* box = qobject_cast<QCheckBox*>(widget);
        box->setChecked(action.checked);
        emit box->clicked(action.checked);
        break;
    }
    case Kind::Click: qobject_cast<QAbstractButton*>(widget)->click(); break;
    default: break;
    }
}

// One action of the queue on the template dialog that shows.
void ActOnce(Window dialog)
{
    const std::string title = qtplatform::Utf8(qtplatform::WidgetOf(dialog)->windowTitle());
    if (Q.dialogActions.empty()) {
        Report("the dialog \"" + title + "\" waits for the user, and nothing answers it");
        auto* widget = qobject_cast<QDialog*>(qtplatform::WidgetOf(dialog));
        widget->reject();  // Escape, which the dialog may not take
        if (widget->isVisible())
            widget->done(0);
        return;
    }
    const DialogAction action = Q.dialogActions.front();
    Q.dialogActions.pop_front();
    if (!action.expectedTitle.empty() && action.expectedTitle != title)
        return Report("dialog \"" + title + "\" is open, the action is for \"" + action.expectedTitle + "\"");
    Act(dialog, action);
}

// The main window's own loop, nothing modal over it, no long work: where a
// user starts the next action.
bool WindowIsIdle()
{
    return MainWindow && QThread::currentThread()->loopLevel() == 1 && !QApplication::activeModalWidget() &&
           !qtplatform::InLongWork() && !Q.inUserAction;
}

// What the status bar shows of each window, from its first action on.
void WatchStatusBar()
{
    auto* frame = qobject_cast<QMainWindow*>(qtplatform::WidgetOf(MainWindow));
    if (!frame || frame->statusBar() == WatchedStatusBar)
        return;
    WatchedStatusBar = frame->statusBar();
    QObject::connect(WatchedStatusBar, &QStatusBar::messageChanged, WatchedStatusBar, [](const QString& text) {
        if (!text.isEmpty() && StatusObserver)
            StatusObserver(qtplatform::Utf8(text));
    });
}

void RunNextUserAction()
{
    WatchStatusBar();
    if (Q.userActions.empty())
        return DestroyMainWindow();  // the user closes the window
    std::function<void()> action = std::move(Q.userActions.front());
    Q.userActions.pop_front();
    Q.inUserAction = true;
    action();
    Q.inUserAction = false;
}

void Answer(QWidget* modal)
{
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        Answer(box);
    else if (auto* files = qobject_cast<QFileDialog*>(modal))
        Answer(files);
    else if (Window dialog = qtplatform::DialogWindowOf(modal))
        ActOnce(dialog);
}

// Each look decides what the user does next, and does it from a timer of its
// own: a timer is not called again while its call runs, and what the user
// does may open a modal window that needs the looks.
void Look()
{
    static bool acting = false;
    if (acting)
        return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && !modal->isVisible())
        return;
    if (!modal && !WindowIsIdle())
        return;
    acting = true;
    QTimer::singleShot(0, [forUser = !modal, modal = QPointer<QWidget>(modal)] {
        acting = false;
        if (forUser && WindowIsIdle())
            RunNextUserAction();
        else if (!forUser && modal && modal == QApplication::activeModalWidget())
            Answer(modal.data());
    });
}

QTimer* Looker()
{
    static QTimer* timer = [] {
        auto* t = new QTimer(QApplication::instance());
        t->setInterval(2);
        QObject::connect(t, &QTimer::timeout, Look);
        return t;
    }();
    return timer;
}

}  // namespace

void QueueAnswer(MessageAnswer answer) { Q.answers.push_back(answer); }
void QueueFileChoice(std::optional<std::string> path) { Q.fileChoices.push_back(std::move(path)); }
void QueueDialogAction(DialogAction action) { Q.dialogActions.push_back(std::move(action)); }
void QueueUserAction(std::function<void()> action) { Q.userActions.push_back(std::move(action)); }
void SetUnansweredHandler(std::function<void(const std::string&)> handler) { Unanswered = std::move(handler); }
void SetMessageObserver(std::function<void(const MessageRecord&)> observer) { Observer = std::move(observer); }
void SetStatusObserver(std::function<void(const std::string&)> observer) { StatusObserver = std::move(observer); }

void CloseMainWindow()
{
    qtplatform::WidgetOf(MainWindow)->close();
}

void QueueStop(int, bool)
{
    Report("a stop at a given look of long work, which the Qt backend does not count");
}

// Each run starts from no settings, as the headless backend's.
void Reset()
{
    Q = Queues{};
    QSettings().clear();
    Looker()->start();
}

void ExpectQueuesEmpty()
{
    if (!Q.answers.empty())
        Report(std::to_string(Q.answers.size()) + " queued message answer(s) not used");
    if (!Q.fileChoices.empty())
        Report(std::to_string(Q.fileChoices.size()) + " queued file choice(s) not used");
    if (!Q.dialogActions.empty())
        Report(std::to_string(Q.dialogActions.size()) + " queued dialog action(s) not used");
}

std::string ClientAreaSvg()
{
    return ClientAreaPicture(PictureFormat::Svg).value_or("");
}

void Scroll(ScrollBar bar, ScrollRequest request, int thumbPosition)
{
    const Qt::Orientation orientation = bar == ScrollBar::Horizontal ? Qt::Horizontal : Qt::Vertical;
    QScrollBar* widget = nullptr;
    for (QScrollBar* candidate : qtplatform::WidgetOf(MainWindow)->findChildren<QScrollBar*>())
        if (candidate->orientation() == orientation && candidate->objectName().isEmpty())
            widget = candidate;
    switch (request) {
    case ScrollRequest::LineUp: return widget->triggerAction(QAbstractSlider::SliderSingleStepSub);
    case ScrollRequest::LineDown: return widget->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    case ScrollRequest::PageUp: return widget->triggerAction(QAbstractSlider::SliderPageStepSub);
    case ScrollRequest::PageDown: return widget->triggerAction(QAbstractSlider::SliderPageStepAdd);
    case ScrollRequest::Top: return widget->triggerAction(QAbstractSlider::SliderToMinimum);
    case ScrollRequest::Bottom: return widget->triggerAction(QAbstractSlider::SliderToMaximum);
    case ScrollRequest::EndScroll: {
        // The button let go on the bar, which ends every use of it; the thumb stays.
        const QPointF at(1, 1);
        QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(widget, &release);
        return;
    }
    default: return widget->setValue(thumbPosition);
    }
}

}  // namespace headless
