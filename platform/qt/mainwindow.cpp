// The main window of the Qt backend: a client area that shows what the
// program draws, scaled to whatever size the user gives the window, the menu
// bar, the two scroll bars, the cursor, and a status bar that shows long work.
#include "platform/qt/internal.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QThread>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

Window MainWindow = nullptr;

namespace {

void NotifyScroll(ScrollBar bar, ScrollRequest request, int position);
bool BarInUse(ScrollBar bar);

// The request of the horizontal bar that a key makes on the chart.
std::optional<ScrollRequest> KeyRequest(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up: return ScrollRequest::LineUp;
    case Qt::Key_Right:
    case Qt::Key_Down: return ScrollRequest::LineDown;
    case Qt::Key_PageUp: return ScrollRequest::PageUp;
    case Qt::Key_PageDown: return ScrollRequest::PageDown;
    case Qt::Key_Home: return ScrollRequest::Top;
    case Qt::Key_End: return ScrollRequest::Bottom;
    default: return std::nullopt;
    }
}

// Keeps what the program drew, in its drawing coordinates, and shows it
// rendered at the widget's size in device pixels. Painting never calls the
// program, which paints only when it asks for a repaint: a new size is
// rendered from what was drawn.
class ClientArea : public QWidget {
public:
    ClientArea(QSize drawingSize, QSize openingSize) : drawing_(drawingSize), opening_(openingSize)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setObjectName(QStringLiteral("client area"));
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(drawingSize / 4);
    }

    QSize sizeHint() const override { return opening_; }

    void Clear()
    {
        ops_.clear();
        device_ = QImage();
    }

    void Add(DrawOp op, bool direct)
    {
        ops_.push_back(std::move(op));
        if (!device_.isNull())
            qtplatform::RenderOps(device_, drawing_, devicePixelRatioF(), ops_, ops_.size() - 1);
        if (direct)
            update();
    }

    // A drawing rendered as this area would show it now, in device pixels.
    QImage Rendered(const std::vector<DrawOp>& ops) const
    {
        QImage image(DeviceSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        qtplatform::RenderOps(image, drawing_, devicePixelRatioF(), ops);
        return image;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (device_.size() != DeviceSize())
            device_ = Rendered(ops_);
        QPainter painter(this);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(device_.size()) / devicePixelRatioF()), device_);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        const std::optional<ScrollRequest> request = KeyRequest(event->key());
        if (!request)
            return QWidget::keyPressEvent(event);
        if (BarInUse(ScrollBar::Horizontal))
            NotifyScroll(ScrollBar::Horizontal, *request, 0);
    }

    // A notch (120) is one request: a line of the horizontal bar, or with
    // Ctrl a page of the vertical one, as the wheel turns up or down.
    void wheelEvent(QWheelEvent* event) override
    {
        const QPoint turn = event->angleDelta();
        wheelTurn_ += turn.y() != 0 ? turn.y() : turn.x();
        const bool zoom = event->modifiers() & Qt::ControlModifier;
        const ScrollBar bar = zoom ? ScrollBar::Vertical : ScrollBar::Horizontal;
        for (; std::abs(wheelTurn_) >= 120; wheelTurn_ -= wheelTurn_ > 0 ? 120 : -120) {
            if (!BarInUse(bar))
                continue;
            if (zoom)
                NotifyScroll(bar, wheelTurn_ > 0 ? ScrollRequest::PageUp : ScrollRequest::PageDown, 0);
            else
                NotifyScroll(bar, wheelTurn_ > 0 ? ScrollRequest::LineUp : ScrollRequest::LineDown, 0);
        }
        event->accept();
    }

private:
    QSize DeviceSize() const { return (QSizeF(size()) * devicePixelRatioF()).toSize(); }

    QSize drawing_;
    QSize opening_;
    std::vector<DrawOp> ops_;
    QImage device_;  // null until the next paint renders it
    int wheelTurn_ = 0;
};

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

// Closing from the title bar destroys the window as DestroyMainWindow does,
// once no command or long work runs and the program agrees.
class MainFrame : public QMainWindow {
protected:
    void closeEvent(QCloseEvent* event) override;
};

// What the status bar shows while long work runs.
struct LongWorkBar {
    QLabel* what = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* stop = nullptr;
};

struct MainState {
    PlatformWindow window;
    MainFrame* frame = nullptr;
    ClientArea* client = nullptr;
    QSize drawing;  // the client area's drawing coordinates
    ScrollBarWidget* bars[2] = {nullptr, nullptr};
    LongWorkBar work;
    WindowHandlers handlers;
    std::map<int, QAction*> actions;
    bool closeAsked = false;
};

MainState Main;
int CommandsRunning = 0;  // one inside another; kept apart from Main, which a command may reset

bool ProgramLetsClose()
{
    return !Main.handlers.onClose || Main.handlers.onClose();
}

void MainFrame::closeEvent(QCloseEvent* event)
{
    event->ignore();  // the window goes through DestroyMainWindow only
    if (CommandsRunning > 0 || qtplatform::InLongWork()) {
        Main.closeAsked = true;
        qtplatform::AskLongWorkToStop();
        return;
    }
    ++CommandsRunning;  // the question is a command's: a second close waits for its answer
    const bool close = ProgramLetsClose();
    --CommandsRunning;
    if (close)
        DestroyMainWindow();
}

void NotifyScroll(ScrollBar bar, ScrollRequest request, int position)
{
    if (Main.handlers.onScroll)
        Main.handlers.onScroll(bar, request, position);
}

ScrollBarWidget* BarOf(ScrollBar bar)
{
    return Main.bars[bar == ScrollBar::Horizontal ? 0 : 1];
}

bool BarInUse(ScrollBar bar)
{
    const ScrollBarWidget* widget = BarOf(bar);
    return widget && widget->isEnabled();
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
            if (!item.keys.empty())
                action->setShortcut(QKeySequence(qtplatform::QtText(item.keys)));
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

// How long a status text stays: time to read a sentence.
constexpr int STATUS_MILLISECONDS = 10000;

// Room for the frame's own parts around the client area: title, menu,
// status and scroll bars, borders.
constexpr int FRAME_WIDTH = 30, FRAME_HEIGHT = 100;

// The client area opens at a comfortable share of the screen: the drawing
// size in steps of a quarter when it fits, smaller when it does not.
QSize OpeningClientSize(QSize drawing)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return drawing;
    const QSize room = screen->availableGeometry().size() * 0.95 - QSize(FRAME_WIDTH, FRAME_HEIGHT);
    double scale = std::min(static_cast<double>(room.width()) / drawing.width(),
                            static_cast<double>(room.height()) / drawing.height());
    if (scale >= 1)
        scale = std::floor(scale * 4) / 4;
    scale = std::max(scale, 0.25);
    return (QSizeF(drawing) * scale).toSize();
}

void BuildClient(const MainWindowSetup& setup)
{
    const QSize drawing(setup.clientWidth, setup.clientHeight);
    Main.drawing = drawing;
    Main.client = new ClientArea(drawing, OpeningClientSize(drawing));
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
        bar->setEnabled(false);
    }
    Main.frame->setCentralWidget(central);
    Main.client->setFocus();
}

// The window's place and size of the last run, kept by the desktop's settings.
const QString GEOMETRY_SETTING = QStringLiteral("fenêtre");

// The status bar is one line of text high: the progress and "Annuler" that
// long work shows fit in it.
void BuildStatusBar()
{
    QStatusBar* status = Main.frame->statusBar();
    const int line = status->fontMetrics().height() + 4;
    Main.work.what = new QLabel;
    Main.work.progress = new QProgressBar;
    Main.work.progress->setRange(0, 1000);
    Main.work.progress->setMaximumWidth(200);
    Main.work.progress->setMaximumHeight(line);
    Main.work.progress->setTextVisible(false);
    Main.work.stop = new QPushButton(QStringLiteral("Annuler"));
    Main.work.stop->setFlat(true);
    Main.work.stop->setMaximumHeight(line);
    Main.work.stop->setObjectName(QStringLiteral("stop long work"));
    QObject::connect(Main.work.stop, &QPushButton::clicked, Main.work.stop, [] { qtplatform::AskLongWorkToStop(); });
    status->addWidget(Main.work.what);
    status->addPermanentWidget(Main.work.progress);
    status->addPermanentWidget(Main.work.stop);
    for (QWidget* part : {static_cast<QWidget*>(Main.work.what), static_cast<QWidget*>(Main.work.progress),
                          static_cast<QWidget*>(Main.work.stop)}) {
        // The bar keeps its height when they show: the chart does not move.
        QSizePolicy policy = part->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        part->setSizePolicy(policy);
        part->hide();
    }
}

void SetIcon(const std::string& png)
{
    QPixmap icon;
    if (png.empty() ||
        !icon.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<uint>(png.size()), "PNG"))
        return;
    Main.frame->setWindowIcon(icon);
    QApplication::setWindowIcon(icon);  // the dialogs' too
}

// What would change the model: the menus and the chart's controls.
void EnableUserCommands(bool enabled)
{
    QMenuBar* bar = Main.frame->menuBar();
    bar->setEnabled(enabled);
    if (QWidget* corner = bar->cornerWidget(Qt::TopRightCorner))
        corner->setEnabled(enabled);
    Main.frame->centralWidget()->setEnabled(enabled);
}

}  // namespace

namespace qtplatform {

void AddToClientArea(DrawOp op, bool direct)
{
    if (Main.client)
        Main.client->Add(std::move(op), direct);
}

bool IsMainWindowPart(const QObject* object)
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return Main.frame && widget && widget->window() == Main.frame;
}

void ShowLongWork(const QString& what)
{
    if (!Main.frame)
        return;
    EnableUserCommands(false);
    Main.work.what->setText(what);
    for (QWidget* part : {static_cast<QWidget*>(Main.work.what), static_cast<QWidget*>(Main.work.progress),
                          static_cast<QWidget*>(Main.work.stop)})
        part->show();
    Main.work.stop->setFocus();
}

void ShowProgress(double fractionDone)
{
    if (!Main.frame)
        return;
    QProgressBar* progress = Main.work.progress;
    if (fractionDone < 0) {
        progress->setRange(0, 0);  // busy, how far not known
        return;
    }
    progress->setRange(0, 1000);
    progress->setValue(static_cast<int>(std::lround(std::min(fractionDone, 1.0) * 1000)));
}

void HideLongWork()
{
    if (!Main.frame)
        return;
    for (QWidget* part : {static_cast<QWidget*>(Main.work.what), static_cast<QWidget*>(Main.work.progress),
                          static_cast<QWidget*>(Main.work.stop)})
        part->hide();
    EnableUserCommands(true);
    Main.client->setFocus();
}

bool CloseIsPending()
{
    return Main.closeAsked;
}

void CloseIfPendingAndIdle()
{
    if (!Main.closeAsked || CommandsRunning > 0 || InLongWork())
        return;
    Main.closeAsked = false;
    ++CommandsRunning;
    const bool close = ProgramLetsClose();
    --CommandsRunning;
    if (close)
        DestroyMainWindow();
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
    Main.frame->setWindowTitle(qtplatform::QtText(setup.title));
    SetIcon(setup.iconPng);
    BuildMenuBar(Main.frame, setup.menu);
    BuildClient(setup);
    BuildStatusBar();
    Main.frame->resize(Main.frame->sizeHint());
    Main.frame->restoreGeometry(QSettings().value(GEOMETRY_SETTING).toByteArray());
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
    QSettings().setValue(GEOMETRY_SETTING, Main.frame->saveGeometry());
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
    ++CommandsRunning;
    if (Main.handlers.onCommand)
        Main.handlers.onCommand(command);
    --CommandsRunning;
    qtplatform::CloseIfPendingAndIdle();
}

void Repaint()
{
    if (!Main.frame)
        return;
    Main.client->Clear();
    if (Main.handlers.onPaint) {
        Canvas canvas;
        Main.handlers.onPaint(&canvas);
    }
    Main.client->repaint();
}

std::optional<std::string> ClientAreaPicture(PictureFormat format)
{
    if (!Main.frame || !Main.handlers.onPaint)
        return std::nullopt;
    std::vector<DrawOp> ops;
    Canvas canvas;
    canvas.picture = &ops;
    Main.handlers.onPaint(&canvas);
    if (format == PictureFormat::Svg)
        return SvgOfDrawing(ops, Main.drawing.width(), Main.drawing.height());
    const QImage image = Main.client->Rendered(ops);
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
    const bool unused = min == 0 && max == 0;
    widget->settingByProgram = true;
    widget->setRange(min, max);
    if (unused)
        widget->setValue(0);
    widget->settingByProgram = false;
    widget->setEnabled(!unused);  // greyed in its place: neither the window nor the chart moves
}

void SetScrollPage(ScrollBar bar, int page)
{
    if (ScrollBarWidget* widget = BarOf(bar))
        widget->setPageStep(std::max(page, 1));
}

void ShowStatus(const std::string& text)
{
    if (!Main.frame)
        return;
    // The same text again is a new one: it shows for its whole time.
    Main.frame->statusBar()->clearMessage();
    Main.frame->statusBar()->showMessage(qtplatform::QtText(text), STATUS_MILLISECONDS);
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

bool IsMenuCommandChecked(int command)
{
    auto it = Main.actions.find(command);
    return it != Main.actions.end() && it->second->isChecked();
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
