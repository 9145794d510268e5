// State and helpers shared by the files of the Qt backend.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include <map>
#include <string>

#include "platform/platform.h"

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

// A pen and a current point, in the client area's drawing coordinates.
struct Canvas {
    QRgb pen = 0xff000000;
    int x = 0, y = 0;
    bool direct = false;  // drawn outside a paint
};

namespace qtplatform {

// The program's texts are UTF-8; lines may end with CR LF, shown as line breaks.
QString QtText(const std::string& utf8);
std::string Utf8(const QString& text);

// The widget of a window, or null for no window (no owner).
QWidget* WidgetOf(Window window);

// Gives the keyboard back to a window once a modal window it owned has
// closed: the window system may leave none of the program's windows active.
void ReactivateOwner(QWidget* owner);

// One thing drawn on the client area, in its drawing coordinates; a text
// has its top-left corner at (x0, y0).
struct DrawnItem {
    enum class Kind { Line, Text, Fill };
    Kind kind = Kind::Line;
    QRgb color = 0xff000000;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    QString text;
};

// Adds an item to what the client area shows. A direct item shows at the
// next turn of events; the others with the paint that draws them.
void AddToClientArea(DrawnItem item, bool direct);

// Draws an item on a picture of the client area at its size in device
// pixels, for a drawing of drawingSize: geometry scaled to fill the picture,
// lines one device pixel wide, text in the default font at the scale.
void RenderItem(QImage& device, QSize drawingSize, const DrawnItem& item);

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
