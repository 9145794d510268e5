// The Qt backend on the offscreen platform: real widgets driven as a user
// would, pixels read back from the grabbed client area.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/internal.h"
#include "platform/qt/qt_platform.h"
#include "tests/support/qt_support.h"

namespace {

class QtBackendTest : public ::testing::Test {
protected:
    void CreateWindow(WindowHandlers handlers, MenuBar menu = {})
    {
        MainWindowSetup setup;
        setup.title = "Haliome. Essai";
        setup.menu = std::move(menu);
        setup.handlers = handlers;
        ASSERT_TRUE(CreateMainWindow(setup));
        ASSERT_NE(Frame(), nullptr);
    }
    void TearDown() override { DestroyMainWindow(); }
};

// ---- Menu ------------------------------------------------------------------

std::vector<int> Commands;
bool TimeAxis = true;

void RecordCommand(int command)
{
    Commands.push_back(command);
    if (command == 4) {
        TimeAxis = !TimeAxis;
        CheckMenuCommand(4, TimeAxis);
    }
}

TEST_F(QtBackendTest, MenuBarFollowsTheDataAndOnlyTheProgramSetsCheckMarks)
{
    Commands.clear();
    TimeAxis = true;
    WindowHandlers handlers;
    handlers.onCommand = RecordCommand;
    CreateWindow(handlers, {
        Submenu("&Fichier", {MenuCommand(1, "&Ouvrir"), MenuSeparator(), MenuCommand(2, "Interpolation", false, true),
                             Submenu("&Périodes", {MenuCommand(3, "De &5h à 37h.")})}),
        Submenu("&Options", {MenuCommand(4, "Axe du temps", true), MenuCommand(5, "Calcul &FFT")}),
        Submenu("&Aide", {MenuCommand(6, "Sommaire")}),
    });
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Haliome. Essai"));
    QMenuBar* bar = Frame()->menuBar();
    ASSERT_EQ(bar->actions().size(), 2);
    const QMenu* file = bar->actions()[0]->menu();
    const QMenu* options = bar->actions()[1]->menu();
    EXPECT_EQ(Describe(file), "&Ouvrir - Interpolation(grey) &Périodes{De &5h à 37h.}");
    EXPECT_EQ(Describe(options), "Axe du temps[x] Calcul &FFT");
    auto* corner = qobject_cast<QMenuBar*>(bar->cornerWidget(Qt::TopRightCorner));
    ASSERT_NE(corner, nullptr);  // the last menu stands at the right
    ASSERT_EQ(corner->actions().size(), 1);
    EXPECT_EQ(corner->actions()[0]->text(), QStringLiteral("&Aide"));

    QAction* axis = ActionNamed(options, QStringLiteral("Axe du temps"));
    QAction* fft = ActionNamed(options, QStringLiteral("Calcul &FFT"));
    axis->trigger();  // the program turns the option off
    EXPECT_FALSE(axis->isChecked());
    axis->trigger();
    EXPECT_TRUE(axis->isChecked());
    fft->trigger();  // the program sets no mark
    EXPECT_FALSE(fft->isChecked());
    CheckMenuCommand(5, true);
    fft->trigger();
    EXPECT_TRUE(fft->isChecked());
    ActionNamed(file, QStringLiteral("De &5h à 37h."))->trigger();
    EXPECT_EQ(Commands, (std::vector<int>{4, 4, 5, 5, 3}));
}

// ---- Painting --------------------------------------------------------------

const QRgb WHITE = qRgb(255, 255, 255);
const QRgb BLACK = qRgb(0, 0, 0);
const QRgb BLUE = qRgb(0, 0, 255);
const QRgb RED = qRgb(255, 0, 0);

void PaintKnownShapes(Canvas* canvas)
{
    FillWhite(canvas);
    LineTo(canvas, 40, 20);  // default pen, from the initial current point
    SelectPen(canvas, Color{0, 0, 255});
    MoveTo(canvas, 5, 400);
    LineTo(canvas, 5, 399);
    MoveTo(canvas, 0, 365);
    LineTo(canvas, 200, 365);
    MoveTo(canvas, 600, 100);
    LineTo(canvas, 600, 100);
    TextOut(canvas, 2, 360, "0m");
}

TEST_F(QtBackendTest, ClientAreaShowsLinesWithoutTheirEndPixelAndTextOnAWhiteBox)
{
    WindowHandlers handlers;
    handlers.onPaint = PaintKnownShapes;
    CreateWindow(handlers);
    ShowMainWindow();
    EXPECT_EQ(Frame()->minimumSize(), Frame()->maximumSize());  // not resizable
    QImage shown = Grab();
    ASSERT_EQ(shown.size(), QSize(640, 480));

    EXPECT_EQ(shown.pixel(0, 0), BLACK);
    EXPECT_EQ(shown.pixel(20, 10), BLACK);
    EXPECT_EQ(shown.pixel(40, 20), WHITE);  // the end pixel
    EXPECT_EQ(shown.pixel(5, 400), BLUE);   // the one-pixel tick
    EXPECT_EQ(shown.pixel(5, 399), WHITE);
    EXPECT_EQ(shown.pixel(600, 100), WHITE);  // a line to the current point draws nothing

    // The text's box hides the blue line from x = 2 to its right edge.
    EXPECT_EQ(shown.pixel(1, 365), BLUE);
    int boxEnd = 2;
    while (boxEnd < 200 && shown.pixel(boxEnd, 365) != BLUE)
        ++boxEnd;
    EXPECT_GT(boxEnd, 2 + 8);
    EXPECT_LT(boxEnd, 60);
    int glyphPixels = 0;
    for (int y = 360; y < 380; ++y)
        for (int x = 2; x < boxEnd; ++x)
            glyphPixels += shown.pixel(x, y) == BLACK;
    EXPECT_GT(glyphPixels, 10);

    int otherColours = 0;  // antialiasing would blend
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb p = shown.pixel(x, y);
            otherColours += p != WHITE && p != BLACK && p != BLUE;
        }
    EXPECT_EQ(otherColours, 0);

    Canvas* direct = BeginDirectDrawing();
    SelectPen(direct, Color{255, 0, 0});
    MoveTo(direct, 300, 300);
    LineTo(direct, 310, 300);
    EXPECT_EQ(Grab().pixel(300, 300), RED);  // visible before drawing ends
    EndDirectDrawing(direct);
    EXPECT_EQ(Grab().pixel(309, 300), RED);
    EXPECT_EQ(Grab().pixel(310, 300), WHITE);
    Repaint();
    EXPECT_EQ(Grab().pixel(300, 300), WHITE);
}

// ---- Scroll bars -----------------------------------------------------------

struct ScrollEvent {
    ScrollBar bar;
    ScrollRequest request;
    int position;
    bool operator==(const ScrollEvent&) const = default;
};
std::vector<ScrollEvent> Scrolls;

// Moves the bar one line down and follows the thumb; leaves it otherwise.
void FollowSomeRequests(ScrollBar bar, ScrollRequest request, int position)
{
    Scrolls.push_back({bar, request, position});
    if (request == ScrollRequest::LineDown)
        SetScrollPos(bar, GetScrollPos(bar) + 1);
    if (request == ScrollRequest::ThumbTrack)
        SetScrollPos(bar, position);
}

QScrollBar* Bar(Qt::Orientation orientation)
{
    for (QScrollBar* bar : Frame()->findChildren<QScrollBar*>())
        if (bar->orientation() == orientation)
            return bar;
    return nullptr;
}

QPoint CentreOf(QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

TEST_F(QtBackendTest, ScrollBarsKeepTheirRangesAndReportTheUsersActions)
{
    Scrolls.clear();
    WindowHandlers handlers;
    handlers.onScroll = FollowSomeRequests;
    CreateWindow(handlers);
    SetScrollRange(ScrollBar::Horizontal, 0, 10000);
    SetScrollRange(ScrollBar::Vertical, 60, 10000);
    SetScrollPos(ScrollBar::Vertical, 100);
    ShowMainWindow();
    QScrollBar* vertical = Bar(Qt::Vertical);
    ASSERT_NE(vertical, nullptr);
    EXPECT_TRUE(vertical->isVisible());
    EXPECT_EQ(ClientArea()->size(), QSize(640, 480));
    EXPECT_EQ(GetScrollPos(ScrollBar::Vertical), 100);
    SetScrollPos(ScrollBar::Vertical, 20000);
    EXPECT_EQ(GetScrollPos(ScrollBar::Vertical), 10000);
    SetScrollPos(ScrollBar::Vertical, 0);
    EXPECT_EQ(GetScrollPos(ScrollBar::Vertical), 60);
    EXPECT_TRUE(Scrolls.empty());  // the program's own moves are not requests

    using R = ScrollRequest;
    const ScrollBar V = ScrollBar::Vertical;
    QTest::mouseClick(vertical, Qt::LeftButton, {}, CentreOf(vertical, QStyle::SC_ScrollBarAddLine));
    EXPECT_EQ(GetScrollPos(V), 61);
    QTest::mouseClick(vertical, Qt::LeftButton, {}, CentreOf(vertical, QStyle::SC_ScrollBarSubLine));
    QTest::mouseClick(vertical, Qt::LeftButton, {}, CentreOf(vertical, QStyle::SC_ScrollBarAddPage));
    EXPECT_EQ(GetScrollPos(V), 61);  // the program did not move it
    EXPECT_EQ(Scrolls, (std::vector<ScrollEvent>{{V, R::LineDown, 0}, {V, R::EndScroll, 0},
                                                  {V, R::LineUp, 0}, {V, R::EndScroll, 0},
                                                  {V, R::PageDown, 0}, {V, R::EndScroll, 0}}));

    Scrolls.clear();
    const QPoint thumb = CentreOf(vertical, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(vertical, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(vertical, thumb + QPoint(0, 100));
    QTest::mouseRelease(vertical, Qt::LeftButton, {}, thumb + QPoint(0, 100));
    ASSERT_EQ(Scrolls.size(), 3u);
    EXPECT_EQ(Scrolls[0].request, R::ThumbTrack);
    EXPECT_GT(Scrolls[0].position, 61);
    EXPECT_EQ(Scrolls[1], (ScrollEvent{V, R::ThumbPosition, Scrolls[0].position}));
    EXPECT_EQ(Scrolls[2].request, R::EndScroll);
    EXPECT_EQ(GetScrollPos(V), Scrolls[0].position);

    SetScrollRange(V, 0, 0);
    EXPECT_FALSE(vertical->isVisible());
    EXPECT_EQ(GetScrollPos(V), 0);
    EXPECT_EQ(ClientArea()->size(), QSize(640, 480));
}

// ---- Dialogs ---------------------------------------------------------------

enum : int { YEAR = 102, MONTH = 103, EXPORTABLE = 104, REPORT = 101, COMPUTE = 111, WAVES = 121 };

const DialogTemplate TEST_DIALOG{"Calculer", 282, 226, {
    {ControlKind::CentredLabel, NO_ID, "Calcul d'essai", 0, 5, 282, 8},
    {ControlKind::Label, NO_ID, "Année :", 7, 20, 30, 8},
    {ControlKind::Edit, YEAR, "", 40, 18, 40, 12},
    {ControlKind::DropDownList, MONTH, "", 90, 18, 60, 100},
    {ControlKind::CheckBox, EXPORTABLE, "Exportable", 160, 18, 60, 12},
    {ControlKind::ReportEdit, REPORT, "", 7, 35, 180, 100},
    {ControlKind::GroupBox, NO_ID, "Ondes", 190, 32, 88, 106},
    {ControlKind::ListBox, WAVES, "", 195, 42, 78, 90},
    {ControlKind::DefaultPushButton, ID_OK, "Fermeture", 7, 200, 55, 19},
    {ControlKind::PushButton, COMPUTE, "Calcul", 70, 200, 55, 19},
}};

std::vector<std::string> Events;
bool CancelEnds = false;
bool VisibleAtInit = true;

void TestProcedure(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init) {
        VisibleAtInit = dialog->widget->isVisible();
        for (const char* month : {"Janvier", "Février", "Mars"})
            AddItem(dialog, MONTH, month);
        SelectItem(dialog, MONTH, 0);
        for (const char* wave : {"M2", "S2", "N2"})
            AddItem(dialog, WAVES, wave);
        SelectItem(dialog, WAVES, 0);
        SetControlText(dialog, YEAR, "2026");
        return;
    }
    Events.push_back(std::to_string(id) + "/" + std::to_string(notification));
    if (id == COMPUTE) {
        InsertTextAtStart(dialog, REPORT, "deuxième\r\n");
        InsertTextAtStart(dialog, REPORT, "année " + GetControlText(dialog, YEAR) + ", mois " +
                                              std::to_string(SelectedItem(dialog, MONTH)) +
                                              (IsChecked(dialog, EXPORTABLE) ? ", exportable" : "") + "\r\n");
        SelectItem(dialog, WAVES, 2);
    }
    if (id == ID_OK || (id == ID_CANCEL && CancelEnds))
        EndDialog(dialog, id == ID_OK ? 7 : 3);
}

TEST_F(QtBackendTest, DialogFromTemplateRunsItsProcedureOnTheUsersActions)
{
    CreateWindow({});
    Events.clear();
    CancelEnds = false;
    std::string report;
    int selectedWave = -1;
    WhenShown<QDialog>([&](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Calculer"));
        EXPECT_EQ(dialog->parentWidget(), Frame());
        auto* year = Control<QLineEdit>(dialog, YEAR);
        EXPECT_EQ(year->text(), QStringLiteral("2026"));
        year->selectAll();
        QTest::keyClicks(year, QStringLiteral("2004"));
        QTest::keyClick(Control<QComboBox>(dialog, MONTH), Qt::Key_Down);
        QTest::keyClick(Control<QComboBox>(dialog, MONTH), Qt::Key_Down);
        QTest::mouseClick(Control<QCheckBox>(dialog, EXPORTABLE), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>(dialog, COMPUTE), Qt::LeftButton);
        report = Control<QPlainTextEdit>(dialog, REPORT)->toPlainText().toStdString();
        selectedWave = Control<QListWidget>(dialog, WAVES)->currentRow();
        QTest::keyClick(dialog, Qt::Key_Escape);  // the procedure keeps the dialog open
        EXPECT_TRUE(dialog->isVisible());
        QTest::mouseClick(year, Qt::LeftButton);
        QTest::keyClick(year, Qt::Key_Return);  // presses the default button
    });
    EXPECT_EQ(RunModalDialog(MainWindow, TEST_DIALOG, TestProcedure), 7);
    EXPECT_FALSE(VisibleAtInit);
    EXPECT_EQ(report, "année 2004, mois 2, exportable\ndeuxième\n");
    EXPECT_EQ(selectedWave, 2);
    // Typing does not notify; nor does the program's SelectItem.
    EXPECT_EQ(Events, (std::vector<std::string>{"103/1", "103/1", "104/0", "111/0", "2/0", "1/0"}));
}

TEST_F(QtBackendTest, ListNotifiesTheUsersChangeAndADoubleClickOnlyOnce)
{
    CreateWindow({});
    Events.clear();
    CancelEnds = true;
    WhenShown<QDialog>([&](QDialog* dialog) {
        auto* list = Control<QListWidget>(dialog, WAVES);
        const QPoint second = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseClick(Control<QPushButton>(dialog, COMPUTE), Qt::LeftButton);
        EXPECT_EQ(list->currentRow(), 2);
        dialog->close();  // the close box
    });
    EXPECT_EQ(RunModalDialog(nullptr, TEST_DIALOG, TestProcedure), 3);
    EXPECT_EQ(Events, (std::vector<std::string>{"121/1", "121/2", "111/0", "2/0"}));
}

// ---- Message boxes and file dialogs ----------------------------------------

TEST_F(QtBackendTest, MessageBoxesHaveTheirOwnerAndAnswerInFrench)
{
    CreateWindow({});
    WhenShown<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Suppression d'une onde"));
        EXPECT_EQ(box->text(), QStringLiteral("Supprimer cette onde ?\n<deux>"));
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->parentWidget(), Frame());
        EXPECT_EQ(WithoutMnemonic(box->button(QMessageBox::Yes)->text()), QStringLiteral("Oui"));
        EXPECT_EQ(WithoutMnemonic(box->button(QMessageBox::No)->text()), QStringLiteral("Non"));
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_EQ(ShowMessage(MainWindow, "Supprimer cette onde ?\r\n<deux>", "Suppression d'une onde",
                          MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::No);

    WhenShown<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->parentWidget(), nullptr);
        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    });
    EXPECT_EQ(ShowMessage(nullptr, "Encore ?", "Question", MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::Yes);

    WhenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(ShowMessage(MainWindow, "Fait.", "Info", MessageButtons::Ok, MessageIcon::Information),
              MessageAnswer::Ok);
}

TEST_F(QtBackendTest, SaveDialogAddsTheDefaultExtensionToATypedName)
{
    CreateWindow({});
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    FileDialogOptions options;
    options.title = "Enregistrer un fichier d'ondes";
    options.filterName = "Fichier d'ondes";
    options.filterPattern = "*.TID";
    options.pathMustExist = true;
    options.defaultExtension = "TID";
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Enregistrer un fichier d'ondes"));
        EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("Fichier d'ondes (*.TID)")});
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(name, folder.path() + QStringLiteral("/modele"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(ChooseFileToSave(MainWindow, options), (folder.path() + "/modele.TID").toStdString());
}

}  // namespace
