// Helpers for the tests that run real Qt widgets on the offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>  // the tests reach for most widget classes

#include <functional>
#include <string>

#include "platform/platform.h"
#include "platform/qt/internal.h"

inline const QRgb WHITE = qRgb(255, 255, 255), BLACK = qRgb(0, 0, 0), BLUE = qRgb(0, 0, 255);

// Calls act with the modal widget of type T as soon as it is shown, while
// the code under test waits in its exec().
template <class T>
void WhenShown(std::function<void(T*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!widget || !widget->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        // Focus follows the user's clicks only in the active window.
        widget->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(widget));
        act(widget);
    });
    poll->start();
}

inline QMainWindow* Frame() { return qobject_cast<QMainWindow*>(qtplatform::WidgetOf(MainWindow)); }
inline QWidget* ClientArea() { return Frame()->findChild<QWidget*>(QStringLiteral("client area")); }
// The client area in device pixels.
inline QImage Grab() { return ClientArea()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Shows the main window with its client area at this size (logical pixels).
inline void ShowWithClientSize(QSize size)
{
    ShowMainWindow();
    Frame()->resize(Frame()->size() + size - ClientArea()->size());
    EXPECT_TRUE(QTest::qWaitFor([size] { return ClientArea()->size() == size; })) << "client area not resized";
}

// The control of a template dialog with this identifier.
template <class T>
T* Control(QWidget* dialog, int id)
{
    return dialog->findChild<T*>(QString::number(id));
}

// "text" per item; "-" a separator; "(grey)" disabled; "[x]" checked;
// a submenu's items in braces.
inline std::string Describe(const QMenu* menu)
{
    std::string out;
    for (const QAction* action : menu->actions()) {
        out += out.empty() ? "" : " ";
        if (action->isSeparator())
            out += "-";
        else
            out += qtplatform::Utf8(action->text()) + (action->isEnabled() ? "" : "(grey)") +
                   (action->isChecked() ? "[x]" : "") + (action->menu() ? "{" + Describe(action->menu()) + "}" : "");
    }
    return out;
}

// The action of that text in a menu or its submenus.
inline QAction* ActionNamed(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction* inner = ActionNamed(action->menu(), text))
                return inner;
    }
    return nullptr;
}

inline QString WithoutMnemonic(QString text) { return text.remove(QLatin1Char('&')); }
