// Long work on the Qt backend: the computation runs on the one thread and,
// when it asks, the events of the window are handled in between its steps,
// with the menu and the chart's controls greyed so that no command can start
// under it. Escape, "Annuler" and the close box ask it to stop.
#include "platform/qt/internal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>

namespace {

// Below the first look, work is short enough to show nothing; between two
// looks the window redraws and answers often enough to feel alive.
constexpr qint64 FIRST_LOOK_MS = 100;
constexpr qint64 LOOK_EVERY_MS = 40;

// Escape anywhere in the main window asks the work to stop.
class EscapeStopsWork : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape ||
            !qtplatform::IsMainWindowPart(watched))
            return false;
        qtplatform::AskLongWorkToStop();
        return true;
    }
};

struct LongWorkState {
    int depth = 0;
    bool stopAsked = false;
    bool shown = false;
    QString what;
    QElapsedTimer sinceLook;
    EscapeStopsWork escape;
};

LongWorkState Work;

}  // namespace

namespace qtplatform {

bool InLongWork()
{
    return Work.depth > 0;
}

void AskLongWorkToStop()
{
    if (Work.depth > 0)
        Work.stopAsked = true;
}

}  // namespace qtplatform

void BeginLongWork(const std::string& what)
{
    if (Work.depth++ > 0)
        return;
    Work.stopAsked = qtplatform::CloseIsPending();  // a close already asked lets no new work start
    Work.shown = false;
    Work.what = qtplatform::QtText(what);
    Work.sinceLook.start();
}

bool KeepWindowAliveAndAskStop(double fractionDone)
{
    if (Work.depth == 0)
        return false;
    if (Work.stopAsked || Work.sinceLook.elapsed() < (Work.shown ? LOOK_EVERY_MS : FIRST_LOOK_MS))
        return Work.stopAsked;
    if (!Work.shown) {
        Work.shown = true;
        QCoreApplication::instance()->installEventFilter(&Work.escape);
        qtplatform::ShowLongWork(Work.what);
    }
    qtplatform::ShowProgress(fractionDone);
    QCoreApplication::processEvents();
    Work.sinceLook.restart();
    return Work.stopAsked;
}

bool EndLongWork()
{
    const bool stopped = Work.stopAsked;
    if (Work.depth == 0 || --Work.depth > 0)
        return stopped;
    if (Work.shown) {
        QCoreApplication::instance()->removeEventFilter(&Work.escape);
        qtplatform::HideLongWork();
    }
    Work.stopAsked = false;
    Work.shown = false;
    qtplatform::CloseIfPendingAndIdle();
    return stopped;
}
