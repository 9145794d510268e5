// The main window of the Qt backend: a fixed client area showing a picture
// that the program paints, the menu bar, the two scroll bars, the cursor.
#include "platform/qt/internal.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <QWindow>

#include <map>

Window MainWindow = nullptr;

namespace {

// Shows the picture; painting never calls the program, which paints the
// picture only when it asks for a repaint.
class ClientArea : public QWidget {
public:
    explicit ClientArea(QImage* picture) : picture_(picture)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setObjectName(QStringLiteral("client area"));
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.drawImage(event->rect(), *picture_, event->rect());
    }

private:
    QImage* picture_;
};

void NotifyScroll(ScrollBar bar, ScrollRequest request, int position);

// A scroll bar that reports the user's actions as scroll requests and moves
// only where the program puts it.
class ScrollBarWidget : public QScrollBar {
public:
    ScrollBarWidget(Qt::Orientation orientation, ScrollBar bar) : QScrollBar(orientation), bar_(bar)
    {
        connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { OnAction(action); });
        // "Scroll here" of the context menu sets the value without an action.
        connect(this, &QAbstractSlider::valueChanged, this, [this](int value) {
            if (!settingByProgram)
                Report(ScrollRequest::ThumbPosition, value);
        });
    }

    bool settingByProgram = false;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool dragging = isSliderDown();
        QScrollBar::mouseReleaseEvent(event);
        if (dragging)
            NotifyScroll(bar_, ScrollRequest::ThumbPosition, sliderPosition());
        NotifyScroll(bar_, ScrollRequest::EndScroll, 0);
    }

private:
    // Called when Qt has moved the slider position for the action but not
    // yet the value: the position goes back, and the value ends where the
    // program's SetScrollPos puts it.
    void OnAction(int action)
    {
        const int wanted = sliderPosition();
        setSliderPosition(value());
        switch (action) {
        case SliderSingleStepAdd: NotifyScroll(bar_, ScrollRequest::LineDown, 0); break;
        case SliderSingleStepSub: NotifyScroll(bar_, ScrollRequest::LineUp, 0); break;
        case SliderPageStepAdd: NotifyScroll(bar_, ScrollRequest::PageDown, 0); break;
        case SliderPageStepSub: NotifyScroll(bar_, ScrollRequest::PageUp, 0); break;
        case SliderToMinimum: NotifyScroll(bar_, ScrollRequest::Top, 0); break;
        case SliderToMaximum: NotifyScroll(bar_, ScrollRequest::Bottom, 0); break;
        case SliderMove:
            if (isSliderDown())
                NotifyScroll(bar_, ScrollRequest::ThumbTrack, wanted);
            else if (wanted != value())  // the mouse wheel: one line per turn
                NotifyScroll(bar_, wanted > value() ? ScrollRequest::LineDown : ScrollRequest::LineUp, 0);
            break;
        default: break;
        }
    }

    void Report(ScrollRequest request, int position)
    {
        NotifyScroll(bar_, request, position);
        NotifyScroll(bar_, ScrollRequest::EndScroll, 0);
    }

    ScrollBar bar_;
};

// Closing from the title bar destroys the window as DestroyMainWindow does.
class MainFrame : public QMainWindow {
protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        DestroyMainWindow();
    }
};

struct MainState {
    PlatformWindow window;
    MainFrame* frame = nullptr;
    ClientArea* client = nullptr;
    ScrollBarWidget* bars[2] = {nullptr, nullptr};
    QImage picture;
    WindowHandlers handlers;
    std::map<int, QAction*> actions;
};

MainState Main;

void NotifyScroll(ScrollBar bar, ScrollRequest request, int position)
{
    if (Main.handlers.onScroll)
        Main.handlers.onScroll(bar, request, position);
}

ScrollBarWidget* BarOf(ScrollBar bar)
{
    return Main.bars[bar == ScrollBar::Horizontal ? 0 : 1];
}

// A mark is shown only while checked, as on a menu whose items carry no
// check box; a checkable action toggles itself when chosen, so each command
// puts the mark back before the program decides (CheckMenuCommand).
void SetMark(QAction* action, bool checked)
{
    if (checked) {
        action->setCheckable(true);
        action->setChecked(true);
    } else {
        action->setChecked(false);
        action->setCheckable(false);
    }
}

void AddItems(QMenu* menu, const std::vector<MenuItem>& items)
{
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItem::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuItem::Kind::Submenu:
            AddItems(menu->addMenu(qtplatform::QtText(item.text)), item.items);
            break;
        case MenuItem::Kind::Command: {
            QAction* action = menu->addAction(qtplatform::QtText(item.text));
            action->setEnabled(!item.greyed);
            SetMark(action, item.checked);
            const int command = item.command;
            QObject::connect(action, &QAction::triggered, action, [action, command] {
                if (action->isCheckable())
                    action->setChecked(!action->isChecked());
                SendCommand(command);
            });
            Main.actions[command] = action;
            break;
        }
        }
    }
}

// The last top-level menu stands at the right end of the bar, in a bar of
// its own in the corner: Qt's styles do not right-align a menu.
void BuildMenuBar(QMainWindow* frame, const MenuBar& menu)
{
    QMenuBar* bar = frame->menuBar();
    for (std::size_t i = 0; i < menu.size(); ++i) {
        QMenuBar* target = bar;
        if (i + 1 == menu.size() && menu.size() > 1) {
            target = new QMenuBar(bar);
            bar->setCornerWidget(target, Qt::TopRightCorner);
        }
        AddItems(target->addMenu(qtplatform::QtText(menu[i].text)), menu[i].items);
    }
}

void BuildClient(const MainWindowSetup& setup)
{
    Main.picture = QImage(setup.clientWidth, setup.clientHeight, QImage::Format_RGB32);
    Main.picture.fill(Qt::white);
    Main.client = new ClientArea(&Main.picture);
    Main.client->setFixedSize(setup.clientWidth, setup.clientHeight);
    Main.bars[0] = new ScrollBarWidget(Qt::Horizontal, ScrollBar::Horizontal);
    Main.bars[1] = new ScrollBarWidget(Qt::Vertical, ScrollBar::Vertical);
    auto* central = new QWidget;
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(Main.client, 0, 0);
    grid->addWidget(Main.bars[1], 0, 1);
    grid->addWidget(Main.bars[0], 1, 0);
    for (ScrollBarWidget* bar : Main.bars) {
        bar->setRange(0, 0);
        bar->hide();
    }
    Main.frame->setCentralWidget(central);
}

}  // namespace

namespace qtplatform {

QImage& ClientPicture()
{
    return Main.picture;
}

void ShowClientRect(const QRect& rect)
{
    if (Main.client)
        Main.client->repaint(rect);
}

}  // namespace qtplatform

bool CreateMainWindow(const MainWindowSetup& setup)
{
    if (Main.frame)
        Main.frame->deleteLater();
    Main = MainState{};
    Main.frame = new MainFrame;
    Main.handlers = setup.handlers;
    Main.window.widget = Main.frame;
    // A title, a system menu, minimize and close: no maximize box.
    Main.frame->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint);
    Main.frame->setWindowTitle(qtplatform::QtText(setup.title));
    BuildMenuBar(Main.frame, setup.menu);
    BuildClient(setup);
    // The window keeps the size of its parts: it grows and shrinks only as
    // a scroll bar appears or disappears, and the user cannot resize it.
    Main.frame->layout()->setSizeConstraint(QLayout::SetFixedSize);
    MainWindow = &Main.window;
    if (Main.handlers.onCreate)
        Main.handlers.onCreate();
    return true;
}

void ShowMainWindow()
{
    if (!Main.frame)
        return;
    Main.frame->show();
    // A window system may show the window only after a round trip; the
    // first paint must be visible before the program goes on computing.
    QDeadlineTimer deadline(1000);
    while (Main.frame->windowHandle() && !Main.frame->windowHandle()->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    Repaint();
}

namespace {

QEventLoop* MessageLoop = nullptr;

}  // namespace

void RunMessageLoop()
{
    if (!Main.frame)
        return;
    // A loop of its own: QCoreApplication::exit would also end every later
    // modal loop, such as a message box shown after this one ends.
    QEventLoop loop;
    MessageLoop = &loop;
    loop.exec();
    MessageLoop = nullptr;
}

void DestroyMainWindow()
{
    if (!Main.frame)
        return;
    Main.frame->hide();
    // The command that asks for it may be running from the window's own menu.
    Main.frame->deleteLater();
    Main = MainState{};
    MainWindow = nullptr;
    if (MessageLoop)
        MessageLoop->quit();
}

void SendCommand(int command)
{
    if (Main.handlers.onCommand)
        Main.handlers.onCommand(command);
}

void Repaint()
{
    if (!Main.frame)
        return;
    Main.picture.fill(Qt::white);  // the erase of the invalidated area
    if (Main.handlers.onPaint) {
        Canvas canvas{&Main.picture, 0xff000000, 0, 0, false, nullptr};
        Main.handlers.onPaint(&canvas);
    }
    Main.client->repaint();
}

std::optional<std::string> ClientAreaPicture(PictureFormat format)
{
    if (!Main.frame || !Main.handlers.onPaint)
        return std::nullopt;
    QImage image(Main.picture.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    std::vector<DrawOp> ops;
    Canvas canvas{&image, 0xff000000, 0, 0, false, &ops};
    Main.handlers.onPaint(&canvas);
    if (format == PictureFormat::Svg)
        return SvgOfDrawing(ops, image.width(), image.height());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return std::nullopt;
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void SetScrollRange(ScrollBar bar, int min, int max)
{
    ScrollBarWidget* widget = BarOf(bar);
    if (!widget)
        return;
    const bool hidden = min == 0 && max == 0;
    widget->settingByProgram = true;
    widget->setRange(min, max);
    if (hidden)
        widget->setValue(0);
    widget->settingByProgram = false;
    if (widget->isHidden() == hidden)
        return;
    widget->setHidden(hidden);
    // The window takes its new size now, not at the next turn of the message
    // loop: a long computation may follow, drawing directly.
    Main.frame->centralWidget()->layout()->activate();
    Main.frame->layout()->activate();
}

void SetScrollPos(ScrollBar bar, int position)
{
    ScrollBarWidget* widget = BarOf(bar);
    if (!widget)
        return;
    widget->settingByProgram = true;
    widget->setValue(position);  // kept inside the range by the bar
    widget->settingByProgram = false;
}

int GetScrollPos(ScrollBar bar)
{
    const ScrollBarWidget* widget = BarOf(bar);
    return widget ? widget->value() : 0;
}

void CheckMenuCommand(int command, bool checked)
{
    auto it = Main.actions.find(command);
    if (it != Main.actions.end())
        SetMark(it->second, checked);
}

void ShowWaitCursor()
{
    if (Main.frame)
        Main.frame->setCursor(Qt::WaitCursor);
}

void ShowArrowCursor()
{
    if (Main.frame)
        Main.frame->unsetCursor();
}
