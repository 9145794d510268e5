// State and helpers shared by the files of the Qt backend.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/svg.h"

// The main window or a running template dialog.
struct PlatformWindow {
    QWidget* widget = nullptr;  // the QMainWindow, or the QDialog
    // Dialogs only:
    struct Control {
        ControlKind kind = ControlKind::Label;
        QWidget* widget = nullptr;
    };
    std::map<int, Control> controls;
    DialogProcedure procedure = nullptr;
    bool ended = false;
    int result = 0;
};

// A pen and a current point, in the client area's drawing coordinates. What
// is drawn goes to the client area, or to picture when it is set.
struct Canvas {
    Color pen;
    int x = 0, y = 0;
    bool direct = false;                     // drawn outside a paint
    std::vector<DrawOp>* picture = nullptr;  // a picture of the client area, drawn apart
};

namespace qtplatform {

// The program's texts are UTF-8; lines may end with CR LF, shown as line breaks.
QString QtText(const std::string& utf8);
std::string Utf8(const QString& text);

// The widget of a window, or null for no window (no owner).
QWidget* WidgetOf(Window window);

// The template dialog that a widget is, or null.
Window DialogWindowOf(QWidget* widget);

// Gives the keyboard back to a window once a modal window it owned has
// closed: the window system may leave none of the program's windows active.
void ReactivateOwner(QWidget* owner);

// Adds an op to what the client area shows. A direct op shows at the next
// turn of events; the others with the paint that draws them.
void AddToClientArea(DrawOp op, bool direct);

// Draws ops[first] on and the ops after it on a picture of the client area
// at its size in device pixels, for a drawing of drawingSize on a screen of
// dpr device pixels per pixel: geometry scaled to fill the picture, lines of
// one width on the screen, text at the menus' size or larger.
void RenderOps(QImage& device, QSize drawingSize, double dpr, const std::vector<DrawOp>& ops,
               std::size_t first = 0);

// The main window's side of long work.
bool IsMainWindowPart(const QObject* object);
void ShowLongWork(const QString& what);
void ShowProgress(double fractionDone);  // negative: not known
void HideLongWork();
// A close asked while a command or long work ran, carried out when neither does.
bool CloseIsPending();
void CloseIfPendingAndIdle();
bool InLongWork();
void AskLongWorkToStop();

}  // namespace qtplatform
