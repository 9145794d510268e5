// State and helpers shared by the files of the Qt backend.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include <map>
#include <string>

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

// A pen and a current point on the client area's picture; a direct canvas
// also shows each thing drawn at once, and a recording one (for an SVG
// picture) also keeps each in record.
struct Canvas {
    QImage* image = nullptr;
    QRgb pen = 0xff000000;
    int x = 0, y = 0;
    bool direct = false;
    std::vector<DrawOp>* record = nullptr;
};

namespace qtplatform {

// The program's texts are UTF-8; lines may end with CR LF, shown as line breaks.
QString QtText(const std::string& utf8);
std::string Utf8(const QString& text);

// The widget of a window, or null for no window (no owner).
QWidget* WidgetOf(Window window);

// What the client area shows; its size is the client area's.
QImage& ClientPicture();
// Shows at once the part of the picture in rect (client coordinates).
void ShowClientRect(const QRect& rect);

}  // namespace qtplatform
