#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

class HeadlessTest : public ProgramTest {
protected:
    std::vector<std::string> unanswered;
    void SetUp() override
    {
        ProgramTest::SetUp();
        headless::SetUnansweredHandler([this](const std::string& what) { unanswered.push_back(what); });
    }
    void TearDown() override
    {
        headless::SetUnansweredHandler([](const std::string& what) { ADD_FAILURE() << "unanswered: " << what; });
        ProgramTest::TearDown();
    }
};

TEST_F(HeadlessTest, MessageBoxesAreRecordedWithOwnerAndTakeQueuedAnswersInOrder)
{
    headless::QueueAnswer(MessageAnswer::Yes);
    headless::QueueAnswer(MessageAnswer::No);
    EXPECT_EQ(ShowMessage(MainWindow, "un", "A", MessageButtons::YesNo, MessageIcon::Question), MessageAnswer::Yes);
    EXPECT_EQ(ShowMessage(nullptr, "deux", "B", MessageButtons::YesNo, MessageIcon::Question), MessageAnswer::No);
    ASSERT_EQ(headless::Messages().size(), 2u);
    EXPECT_EQ(headless::Messages()[0].owner, "main window");
    EXPECT_EQ(headless::Messages()[1].owner, "none");
    EXPECT_EQ(headless::Messages()[1].text, "deux");
    EXPECT_EQ(headless::Messages()[1].icon, MessageIcon::Question);
    EXPECT_TRUE(unanswered.empty());
}

TEST_F(HeadlessTest, OkBoxWithoutAnswerIsAcceptedButYesNoBoxIsReportedAndAnsweredNo)
{
    EXPECT_EQ(ShowMessage(MainWindow, "t", "c", MessageButtons::Ok, MessageIcon::None), MessageAnswer::Ok);
    EXPECT_TRUE(unanswered.empty());
    EXPECT_EQ(ShowMessage(MainWindow, "Supprimer ?", "c", MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::No);
    ASSERT_EQ(unanswered.size(), 1u);
    EXPECT_NE(unanswered[0].find("Supprimer ?"), std::string::npos);
}

TEST_F(HeadlessTest, FileDialogsReturnQueuedChoicesAndAddTheDefaultExtensionLikeTheRealDialog)
{
    FileDialogOptions dialog;
    dialog.title = "Enregistrer";
    dialog.defaultExtension = "TID";
    headless::QueueFileChoice("dir.v2/modele");
    headless::QueueFileChoice("modele.tid");
    headless::QueueFileChoice(std::nullopt);
    EXPECT_EQ(ChooseFileToSave(MainWindow, dialog), "dir.v2/modele.TID");
    EXPECT_EQ(ChooseFileToSave(MainWindow, dialog), "modele.tid");
    EXPECT_EQ(ChooseFileToOpen(MainWindow, dialog), std::nullopt);
    ASSERT_EQ(headless::FileDialogs().size(), 3u);
    EXPECT_TRUE(headless::FileDialogs()[0].save);
    EXPECT_FALSE(headless::FileDialogs()[2].save);

    EXPECT_EQ(ChooseFileToOpen(MainWindow, dialog), std::nullopt);
    EXPECT_EQ(unanswered.size(), 1u);
}

TEST_F(HeadlessTest, AnswersLeftInTheQueueAreReported)
{
    headless::QueueAnswer(MessageAnswer::Yes);
    headless::ExpectQueuesEmpty();
    EXPECT_EQ(unanswered.size(), 1u);
    headless::Reset();
}

}  // namespace

namespace {

// A dialog that echoes what it receives into its report box.
void EchoProcedure(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init) {
        AddItem(dialog, 20, "un");
        AddItem(dialog, 20, "deux");
        SelectItem(dialog, 20, 0);
        SetControlText(dialog, 10, "2026");
        return;
    }
    InsertTextAtStart(dialog, 30, std::to_string(id) + "/" + std::to_string(notification) + " ");
    if (id == ID_OK && notification == NOTIFY_CLICKED)
        EndDialog(dialog, 7);
    if (id == ID_CANCEL)
        EndDialog(dialog, 0);
}

const DialogTemplate ECHO_DIALOG{"Echo", 100, 50, {
    {ControlKind::Edit, 10, "", 0, 0, 10, 10},
    {ControlKind::ListBox, 20, "", 0, 0, 10, 10},
    {ControlKind::ReportEdit, 30, "", 0, 0, 10, 10},
    {ControlKind::CheckBox, 40, "Exportable", 0, 0, 10, 10},
    {ControlKind::DefaultPushButton, ID_OK, "OK", 0, 0, 10, 10},
}};

TEST_F(HeadlessTest, DialogsRunTheirProcedureOnQueuedActionsUntilEnded)
{
    using Action = headless::DialogAction;
    std::string seenYear;
    headless::QueueDialogAction(Action::TypeInto(10, "2004"));
    headless::QueueDialogAction(Action::Choose(20, 1));
    headless::QueueDialogAction(Action::TickBox(40));
    headless::QueueDialogAction(Action::InspectWith([&](Window d) { seenYear = GetControlText(d, 10); }).In("Echo"));
    headless::QueueDialogAction(Action::Press(ID_OK));
    EXPECT_EQ(RunModalDialog(MainWindow, ECHO_DIALOG, EchoProcedure), 7);
    EXPECT_EQ(seenYear, "2004");
    ASSERT_EQ(headless::Dialogs().size(), 1u);
    const headless::DialogRecord& record = headless::Dialogs()[0];
    EXPECT_EQ(record.title, "Echo");
    EXPECT_EQ(record.owner, "main window");
    EXPECT_EQ(record.finalTexts.at(30), "1/0 40/0 20/1 ");  // typing does not notify
    EXPECT_TRUE(unanswered.empty());
}

TEST_F(HeadlessTest, ADialogLeftWaitingOrActionsThatDoNotFitItAreReported)
{
    using Action = headless::DialogAction;
    headless::QueueDialogAction(Action::Choose(20, 5));              // no such entry
    headless::QueueDialogAction(Action::TypeInto(99, "x"));          // no such control
    headless::QueueDialogAction(Action::Press(ID_OK).In("Autre"));   // another dialog
    EXPECT_EQ(RunModalDialog(nullptr, ECHO_DIALOG, EchoProcedure), 0);
    EXPECT_EQ(unanswered.size(), 4u);  // the three actions, then the dialog left waiting
    EXPECT_EQ(headless::Dialogs()[0].owner, "none");
}

void PaintSomething(Canvas* canvas)
{
    FillWhite(canvas);
    LineTo(canvas, 640, 460);
    SelectPen(canvas, Color{0, 0, 255});
    MoveTo(canvas, 5, 400);
    LineTo(canvas, 5, 399);
    TextOut(canvas, 2, 360, "0m <");
}

int Commands = 0;
void CountCommand(int) { ++Commands; }

TEST_F(HeadlessTest, TheMainWindowPaintsScrollsAndRunsUserActionsUntilClosed)
{
    MainWindowSetup setup;
    setup.title = "Haliome.";
    setup.menu = {Submenu("&Options", {MenuCommand(1297, "Axe du temps", true), MenuCommand(1298, "Axe hauteur")})};
    setup.handlers.onPaint = PaintSomething;
    setup.handlers.onCommand = CountCommand;
    ASSERT_TRUE(CreateMainWindow(setup));
    EXPECT_TRUE(headless::IsMenuChecked(1297));
    EXPECT_FALSE(headless::IsMenuChecked(1298));
    CheckMenuCommand(1298, true);
    EXPECT_TRUE(headless::IsMenuChecked(1298));

    ShowMainWindow();
    const std::vector<headless::DrawOp>& ops = headless::ClientArea();
    ASSERT_EQ(ops.size(), 4u);
    EXPECT_EQ(ops[1].x0, 0);  // the first line starts at the initial current point
    EXPECT_EQ(ops[1].color, Color{});
    EXPECT_EQ(ops[2].color, (Color{0, 0, 255}));
    const std::string svg = headless::ClientAreaSvg();
    EXPECT_NE(svg.find("width=\"640\" height=\"480\""), std::string::npos);
    EXPECT_NE(svg.find(">0m &lt;</text>"), std::string::npos);

    Canvas* direct = BeginDirectDrawing();
    LineTo(direct, 3, 4);
    EndDirectDrawing(direct);
    EXPECT_EQ(headless::ClientArea().size(), 5u);
    EXPECT_EQ(headless::DirectDrawing().size(), 1u);
    Repaint();
    EXPECT_EQ(headless::ClientArea().size(), 4u);

    SetScrollRange(ScrollBar::Vertical, 60, 10000);
    SetScrollPos(ScrollBar::Vertical, 20000);
    EXPECT_EQ(GetScrollPos(ScrollBar::Vertical), 10000);
    SetScrollRange(ScrollBar::Vertical, 0, 0);
    EXPECT_EQ(GetScrollPos(ScrollBar::Vertical), 0);

    Commands = 0;
    headless::QueueUserAction([] { SendCommand(513); });
    headless::QueueUserAction([] { SendCommand(514); });
    RunMessageLoop();
    EXPECT_EQ(Commands, 2);
}

}  // namespace
