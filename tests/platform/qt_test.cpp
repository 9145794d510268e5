// The Qt backend on the offscreen platform: real widgets driven as a user
// would, pixels read back from the grabbed client area. What the program
// shows in them is the scenarios', played in this backend too.
#include "tests/support/qt_support.h"

namespace {

std::vector<std::string> Events;  // what the program's handlers received

class QtBackendTest : public ::testing::Test {
protected:
    void CreateWindow(WindowHandlers handlers, MenuBar menu = {})
    {
        Events.clear();
        ASSERT_TRUE(CreateMainWindow(MainWindowSetup{"Haliome", 640, 480, std::move(menu), handlers, {}}));
    }
    void TearDown() override { DestroyMainWindow(); }
};

// Command 4 toggles its option, ticked at start, and the option's mark, as the program does.
void OnMenuCommand(int command)
{
    Events.push_back(std::to_string(command));
    if (command == 4)
        CheckMenuCommand(4, std::count(Events.begin(), Events.end(), "4") % 2 == 0);
}

TEST_F(QtBackendTest, MenuBarFollowsTheDataAndOnlyTheProgramSetsCheckMarks)
{
    CreateWindow({nullptr, nullptr, nullptr, OnMenuCommand}, {
        Submenu("&Fichier", {MenuCommand(1, "&Ouvrir"), MenuSeparator(), MenuCommand(2, "Interpolation", false, true),
                             Submenu("&Périodes", {MenuCommand(3, "De &5h à 37h.")})}),
        Submenu("&Options", {MenuCommand(4, "Axe du temps", true), MenuCommand(5, "Calcul &FFT")}),
        Submenu("&Aide", {MenuCommand(6, "Sommaire")}),
    });
    QMenuBar* bar = Frame()->menuBar();
    auto* corner = qobject_cast<QMenuBar*>(bar->cornerWidget(Qt::TopRightCorner));
    ASSERT_TRUE(bar->actions().size() == 2 && corner);  // the last menu stands at the right
    EXPECT_EQ(Describe(bar->actions()[0]->menu()), "&Ouvrir - Interpolation(grey) &Périodes{De &5h à 37h.}");
    EXPECT_EQ(Describe(corner->actions()[0]->menu()), "Sommaire");
    // The program turns the option off, then on; the FFT item shows a mark
    // only once the program asks for it.
    const QMenu* options = bar->actions()[1]->menu();
    std::vector<std::string> shown{Describe(options)};
    auto choose = [&](const char* item) {
        ActionNamed(options, QString::fromUtf8(item))->trigger();
        shown.push_back(Describe(options));
    };
    choose("Axe du temps");
    choose("Axe du temps");
    choose("Calcul &FFT");
    CheckMenuCommand(5, true);
    choose("Calcul &FFT");
    ActionNamed(bar->actions()[0]->menu(), QStringLiteral("De &5h à 37h."))->trigger();
    EXPECT_EQ(shown, (std::vector<std::string>{"Axe du temps[x] Calcul &FFT", "Axe du temps Calcul &FFT",
                                               "Axe du temps[x] Calcul &FFT", "Axe du temps[x] Calcul &FFT",
                                               "Axe du temps[x] Calcul &FFT[x]"}));
    EXPECT_EQ(Events, (std::vector<std::string>{"4", "4", "5", "5", "3"}));
}

// Texts near the edges are moved back inside whole.
void PaintKnownShapes(Canvas* canvas)
{
    FillWhite(canvas);
    LineTo(canvas, 40, 20);  // default pen, from the initial current point
    MoveTo(canvas, 60, 20);
    LineTo(canvas, 100, 0);
    SelectPen(canvas, Color{0, 0, 255});
    MoveTo(canvas, 5, 400);
    LineTo(canvas, 5, 399);
    MoveTo(canvas, 0, 365);
    LineTo(canvas, 200, 365);
    TextOut(canvas, 2, 360, "0m");
    for (auto [x, y] : {std::pair{100, 100}, {625, 200}, {100, 475}})
        TextOut(canvas, x, y, "23:35");
}

// The client area of 640 × 480 device pixels, whatever the screen's scale.
QSize OneToOne() { return (QSizeF(640, 480) / Frame()->devicePixelRatioF()).toSize(); }

// The number of dark pixels (glyphs, antialiased or not) in a rectangle.
int DarkPixels(const QImage& picture, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += picture.valid(x, y) && qGray(picture.pixel(x, y)) < 100;
    return n;
}

// How many device pixels of blue cover column x between two rows: a
// pixel's share is how far its red has gone from white.
double BlueCover(const QImage& picture, int x, int top, int bottom)
{
    double cover = 0;
    for (int y = top; y <= bottom; ++y)
        if (qBlue(picture.pixel(x, y)) > 200)
            cover += (255 - qRed(picture.pixel(x, y))) / 255.0;
    return cover;
}

TEST_F(QtBackendTest, LinesAreAntialiasedOfOneWidthOnTheScreenAndTextOnAWhiteBoxGrowsWithThePicture)
{
    CreateWindow({nullptr, PaintKnownShapes, nullptr, nullptr});
    ShowWithClientSize(OneToOne());
    const QImage shown = Grab();
    ASSERT_EQ(shown.size(), QSize(640, 480));
    const double dpr = Frame()->devicePixelRatioF();
    // The base line at y = 365 is one and a half pixels of the desktop's
    // scale; the rising line is antialiased: it blends black into white.
    const int lineY = 365;
    EXPECT_NEAR(BlueCover(shown, 150, lineY - 6, lineY + 6), 1.5 * dpr, 0.35);
    EXPECT_EQ(shown.pixel(150, lineY - 6), WHITE);
    int blended = 0;
    for (int y = 0; y <= 20; ++y)
        for (int x = 62; x <= 98; ++x)
            blended += shown.pixel(x, y) != WHITE && shown.pixel(x, y) != BLACK;
    EXPECT_GT(blended, 20);
    // The text's box hides the line under "0m", whose glyphs are dark.
    EXPECT_LT(BlueCover(shown, 6, lineY - 6, lineY + 6), 0.5);
    EXPECT_GT(DarkPixels(shown, QRect(0, 355, 30, 25)), 10);
    // Texts that would pass an edge are moved back inside whole.
    const int whole = DarkPixels(shown, QRect(100, 100, 200, 100));
    EXPECT_GT(whole, 20);
    EXPECT_EQ(DarkPixels(shown, QRect(520 - 200, 200, 400, 100)), whole);
    EXPECT_EQ(DarkPixels(shown, QRect(100, shown.height() - 100, 200, 100)), whole);

    // Twice the picture in device pixels at the same desktop scale: the line
    // keeps its width on the screen, the text grows with the picture unless
    // the menus' size was larger already.
    ShowWithClientSize(OneToOne() * 2);
    const QImage scaled = Grab();
    ASSERT_EQ(scaled.size(), QSize(1280, 960));
    EXPECT_NEAR(BlueCover(scaled, 300, 2 * lineY - 8, 2 * lineY + 8), 1.5 * dpr, 0.35);
    const int twice = DarkPixels(scaled, QRect(200, 200, 400, 200));
    const double grown = std::max(2.0, dpr) / std::max(1.0, dpr);
    EXPECT_NEAR(static_cast<double>(twice) / whole, grown * grown, 0.4 * grown * grown);
}

// Long work that stops only when asked, with the user acting after 200 ms.
// True when it was stopped; what acts sees the window during the work.
bool WorkUntilStopped(std::function<void()> act)
{
    QTimer::singleShot(200, Frame(), act);
    BeginLongWork("Balayage d'essai");
    QDeadlineTimer deadline(5000);
    bool stopped = false;
    while (!stopped && !deadline.hasExpired())
        stopped = KeepWindowAliveAndAskStop(0.25);
    return EndLongWork() && stopped;
}

// What is drawn directly during the work shows at its looks, and stays
// until the next paint.
TEST_F(QtBackendTest, LongWorkShowsItsDrawingAndProgressGreysTheMenuAndStopsOnEscapeAnnulerOrTheCloseBox)
{
    CreateWindow({nullptr, PaintKnownShapes, nullptr, OnMenuCommand},
                 {Submenu("&Fichier", {MenuCommand(1, "&Ouvrir")}), Submenu("&Aide", {MenuCommand(6, "Sommaire")})});
    ShowWithClientSize(OneToOne());
    QMenuBar* bar = Frame()->menuBar();
    auto* stop = Frame()->findChild<QPushButton*>(QStringLiteral("stop long work"));
    auto* progress = Frame()->findChild<QProgressBar*>();
    ASSERT_TRUE(stop && progress);
    Canvas* direct = BeginDirectDrawing();
    MoveTo(direct, 300, 300);
    LineTo(direct, 310, 300);
    std::vector<std::string> seen;
    const QSize client = ClientArea()->size();
    auto look = [&] {
        EXPECT_EQ(ClientArea()->size(), client) << "the chart stays in place";
        seen.push_back(std::string(bar->isEnabled() ? "menu" : "greyed") +
                       (bar->cornerWidget(Qt::TopRightCorner)->isEnabled() ? " aide" : "") +
                       (ClientArea()->isEnabled() ? " chart" : "") + " " + std::to_string(progress->value()) +
                       (stop->isVisible() ? " Annuler" : "") + (qGray(Grab().pixel(305, 300)) < 100 ? " drawn" : ""));
    };
    EXPECT_TRUE(WorkUntilStopped([&] {
        look();
        QTest::keyClick(Frame(), Qt::Key_Escape);
    }));
    EXPECT_TRUE(WorkUntilStopped([&] { QTest::mouseClick(stop, Qt::LeftButton); }));
    EndDirectDrawing(direct);
    look();
    EXPECT_EQ(seen, (std::vector<std::string>{"greyed 250 Annuler drawn", "menu aide chart 250 drawn"}));
    EXPECT_TRUE(Events.empty());
    Repaint();
    EXPECT_EQ(Grab().pixel(305, 300), WHITE);
    // The close box stops the work, and closes the window once it has ended.
    bool openAtTheEnd = false;
    EXPECT_TRUE(WorkUntilStopped([&] {
        Frame()->close();
        openAtTheEnd = Frame() && Frame()->isVisible();
    }));
    EXPECT_TRUE(openAtTheEnd);
    EXPECT_EQ(MainWindow, nullptr);
}

// Moves the bar one line down and follows the thumb; leaves it otherwise.
void FollowSomeRequests(ScrollBar bar, ScrollRequest request, int position)
{
    const char* names[] = {"LineUp", "LineDown", "PageUp", "PageDown", "ThumbPosition",
                           "ThumbTrack", "Top", "Bottom", "EndScroll"};
    Events.push_back(std::string(bar == ScrollBar::Vertical ? "V " : "H ") + names[static_cast<int>(request)] +
                     " " + std::to_string(position));
    if (request == ScrollRequest::LineDown)
        SetScrollPos(bar, GetScrollPos(bar) + 1);
    if (request == ScrollRequest::ThumbTrack)
        SetScrollPos(bar, position);
}

QPoint CentreOf(QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

void SendWheel(int turn, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF at(10, 10);
    QWheelEvent wheel(at, ClientArea()->mapToGlobal(at), QPoint(), QPoint(0, turn), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(ClientArea(), &wheel);
}

// The bars keep their ranges and report the user's clicks and drags without
// moving by themselves; keys and the wheel on the chart make their requests.
TEST_F(QtBackendTest, TheUsersActionsOnTheBarsAndTheChartBecomeScrollRequests)
{
    const ScrollBar V = ScrollBar::Vertical;
    CreateWindow({nullptr, nullptr, FollowSomeRequests, nullptr});
    SetScrollRange(ScrollBar::Horizontal, 0, 10000);
    SetScrollRange(V, 60, 10000);
    ShowMainWindow();
    QScrollBar* vertical = nullptr;
    for (QScrollBar* bar : Frame()->findChildren<QScrollBar*>())
        vertical = bar->orientation() == Qt::Vertical ? bar : vertical;
    ASSERT_NE(vertical, nullptr);
    EXPECT_TRUE(vertical->isVisible());
    SetScrollPos(V, 0);
    EXPECT_EQ(GetScrollPos(V), 60);
    EXPECT_TRUE(Events.empty());  // the program's own moves are not requests

    for (auto part : {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddPage})
        QTest::mouseClick(vertical, Qt::LeftButton, {}, CentreOf(vertical, part));
    EXPECT_EQ(GetScrollPos(V), 61);  // moved by the program on LineDown only
    const QPoint thumb = CentreOf(vertical, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(vertical, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(vertical, thumb + QPoint(0, 100));
    QTest::mouseRelease(vertical, Qt::LeftButton, {}, thumb + QPoint(0, 100));
    const std::string dragged = std::to_string(GetScrollPos(V));
    EXPECT_GT(GetScrollPos(V), 61);
    EXPECT_EQ(Events, (std::vector<std::string>{"V LineDown 0", "V EndScroll 0", "V LineUp 0", "V EndScroll 0",
                                                "V PageDown 0", "V EndScroll 0", "V ThumbTrack " + dragged,
                                                "V ThumbPosition " + dragged, "V EndScroll 0"}));

    Events.clear();
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp,
                        Qt::Key_End, Qt::Key_Home, Qt::Key_A})
        QTest::keyClick(ClientArea(), key);
    for (int turn : {-120, 120, 60, 60})  // half a notch: nothing yet
        SendWheel(turn);
    SendWheel(120, Qt::ControlModifier);
    SendWheel(-240, Qt::ControlModifier);
    EXPECT_EQ(Events, (std::vector<std::string>{
                          "H LineDown 0", "H LineUp 0", "H LineDown 0", "H LineUp 0", "H PageDown 0", "H PageUp 0",
                          "H Bottom 0", "H Top 0", "H LineDown 0", "H LineUp 0", "H LineUp 0", "V PageUp 0",
                          "V PageDown 0", "V PageDown 0"}));

    // A bar of range 0..0 is greyed in its place and receives nothing.
    const QSize client = ClientArea()->size(), frame = Frame()->size();
    Events.clear();
    SetScrollRange(V, 0, 0);
    SetScrollRange(ScrollBar::Horizontal, 0, 0);
    EXPECT_TRUE(vertical->isVisible() && !vertical->isEnabled());
    EXPECT_EQ(GetScrollPos(V), 0);
    QTest::keyClick(ClientArea(), Qt::Key_Right);
    SendWheel(-120);
    SendWheel(-120, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(std::make_tuple(ClientArea()->size(), Frame()->size()), std::make_tuple(client, frame));
    EXPECT_TRUE(Events.empty());
}

enum : int { YEAR = 102, MONTH = 103, EXPORTABLE = 104, COMPUTE = 111, SHOW_BOX = 112, WAVES = 121 };

const DialogTemplate TEST_DIALOG{"Calculer", 282, 226, {
    {ControlKind::Edit, YEAR, "", 40, 18, 40, 12},
    {ControlKind::DropDownList, MONTH, "", 90, 18, 60, 100},
    {ControlKind::CheckBox, EXPORTABLE, "Exportable", 160, 18, 60, 12},
    {ControlKind::ListBox, WAVES, "", 195, 42, 78, 90},
    {ControlKind::DefaultPushButton, ID_OK, "Fermeture", 7, 200, 55, 19},
    {ControlKind::PushButton, COMPUTE, "Calcul", 70, 200, 55, 19},
    {ControlKind::PushButton, SHOW_BOX, "Message", 133, 200, 55, 19},
}};

bool VisibleAtInit = true;

// Ends only on OK: Escape and the close box leave the dialog open. SHOW_BOX
// asks a question in a box the dialog owns.
void TestProcedure(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init) {
        VisibleAtInit = dialog->widget->isVisible();
        for (const char* item : {"Janvier", "Février", "Mars"})
            AddItem(dialog, MONTH, item);
        for (const char* item : {"M2", "S2", "N2"})
            AddItem(dialog, WAVES, item);
        SelectItem(dialog, MONTH, 0);
        SelectItem(dialog, WAVES, 0);
        SetControlText(dialog, YEAR, "2026");
        return;
    }
    if (id == SHOW_BOX)
        return static_cast<void>(ShowMessage(dialog, "Encore ?\r\n<deux>", "Détermination du niveau moyen",
                                             MessageButtons::YesNo, MessageIcon::None));
    Events.push_back(std::to_string(id) + "/" + std::to_string(notification));
    if (id == WAVES && notification == NOTIFY_SELCHANGE)
        Events.push_back("selected " + std::to_string(SelectedItem(dialog, WAVES)));
    if (id == COMPUTE) {
        Events.push_back(GetControlText(dialog, YEAR) + " " + GetControlText(dialog, MONTH) + " " +
                         std::to_string(SelectedItem(dialog, WAVES)) + (IsChecked(dialog, EXPORTABLE) ? " x" : ""));
        SelectItem(dialog, WAVES, 2);
    }
    if (id == ID_OK)
        EndDialog(dialog, 7);
}

TEST_F(QtBackendTest, DialogFromTemplateRunsItsProcedureOnTheUsersActionsAndIsActiveAgainAfterItsBox)
{
    CreateWindow({});
    ShowMainWindow();
    int selectedWave = -1;
    bool activeAfterBox = false;
    WhenShown<QDialog>([&](QDialog* dialog) {
        EXPECT_EQ(dialog->parentWidget(), Frame());
        auto* year = Control<QLineEdit>(dialog, YEAR);
        EXPECT_EQ(year->text(), QStringLiteral("2026"));
        year->selectAll();
        QTest::keyClicks(year, QStringLiteral("2004"));
        QTest::keyClick(Control<QComboBox>(dialog, MONTH), Qt::Key_Down);
        QTest::keyClick(Control<QComboBox>(dialog, MONTH), Qt::Key_Down);
        QTest::mouseClick(Control<QCheckBox>(dialog, EXPORTABLE), Qt::LeftButton);
        auto* list = Control<QListWidget>(dialog, WAVES);
        const QPoint second = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseClick(Control<QPushButton>(dialog, COMPUTE), Qt::LeftButton);
        selectedWave = list->currentRow();
        // A box the dialog owns, in French, wide enough for its whole title in
        // bold beside the title bar's buttons; the dialog has the keyboard
        // again once it is closed.
        WhenShown<QMessageBox>([dialog](QMessageBox* box) {
            EXPECT_EQ(std::make_tuple(box->parentWidget(), box->icon()),
                      std::make_tuple(static_cast<QWidget*>(dialog), QMessageBox::NoIcon));
            EXPECT_EQ(box->text(), QStringLiteral("Encore ?\n<deux>"));
            EXPECT_EQ(WithoutMnemonic(box->button(QMessageBox::Yes)->text()), QStringLiteral("Oui"));
            EXPECT_EQ(WithoutMnemonic(box->button(QMessageBox::No)->text()), QStringLiteral("Non"));
            QFont bold = box->font();
            bold.setBold(true);
            EXPECT_GT(box->width(), QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 60);
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(dialog, SHOW_BOX), Qt::LeftButton);
        activeAfterBox = QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; });
        QTest::keyClick(dialog, Qt::Key_Escape);
        dialog->close();  // the close box
        EXPECT_TRUE(dialog->isVisible());
        QTest::mouseClick(year, Qt::LeftButton);
        QTest::keyClick(year, Qt::Key_Return);  // presses the default button
    });
    EXPECT_EQ(RunModalDialog(MainWindow, TEST_DIALOG, TestProcedure), 7);
    EXPECT_FALSE(VisibleAtInit);
    EXPECT_EQ(selectedWave, 2);
    EXPECT_TRUE(activeAfterBox);
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == Frame(); }));
    // Each key typed notifies, the program's SetControlText and SelectItem
    // do not; a double click on the selected entry notifies once.
    EXPECT_EQ(Events, (std::vector<std::string>{"102/3", "102/3", "102/3", "102/3", "103/1", "103/1", "104/0",
                                                "121/1", "selected 1", "121/2", "111/0", "2004 Mars 1 x", "2/0",
                                                "2/0", "1/0"}));
}

}  // namespace
