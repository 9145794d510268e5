// The scripted backend that the tests and the batch program rely on.
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using A = headless::DialogAction;

// Collects what the queues leave unanswered instead of failing the test.
class HeadlessTest : public ProgramTest {
protected:
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
    std::vector<std::string> unanswered;
};

TEST_F(HeadlessTest, MessageBoxesAreRecordedAndAnsweredFromTheQueueAndOnlyAnOkBoxMayGoUnanswered)
{
    headless::QueueAnswer(MessageAnswer::Yes);
    headless::QueueAnswer(MessageAnswer::No);
    ShowMessage(MainWindow, "un", "A", MessageButtons::YesNo, MessageIcon::Question);
    ShowMessage(nullptr, "deux", "B", MessageButtons::YesNo, MessageIcon::Warning);
    ShowMessage(MainWindow, "Fait.", "C", MessageButtons::Ok, MessageIcon::Information);
    EXPECT_TRUE(unanswered.empty());
    ShowMessage(MainWindow, "Supprimer ?", "D", MessageButtons::YesNo, MessageIcon::Question);
    ASSERT_EQ(unanswered.size(), 1u);
    EXPECT_NE(unanswered[0].find("Supprimer ?"), std::string::npos) << unanswered[0];
    std::vector<std::string> rows;
    for (const headless::MessageRecord& m : headless::Messages())
        rows.push_back(m.owner + "|" + m.caption + "|" + m.text + "|buttons " + std::to_string(int(m.buttons)) +
                       "|icon " + std::to_string(int(m.icon)) + "|answer " + std::to_string(int(m.answer)));
    // Buttons 0 OK, 1 Yes/No; icons 1 Information, 2 Question, 3 Warning; answers 0 OK, 1 Yes, 2 No.
    EXPECT_EQ(rows, (std::vector<std::string>{"main window|A|un|buttons 1|icon 2|answer 1",
                                              "none|B|deux|buttons 1|icon 3|answer 2",
                                              "main window|C|Fait.|buttons 0|icon 1|answer 0",
                                              "main window|D|Supprimer ?|buttons 1|icon 2|answer 2"}));
}

TEST_F(HeadlessTest, FileDialogsReturnQueuedChoicesWithTheDefaultExtensionAddedLikeTheRealDialog)
{
    FileDialogOptions dialog;
    dialog.defaultExtension = "TID";
    headless::QueueFileChoice("dir.v2/modele");  // the dot of the folder is no extension
    headless::QueueFileChoice("modele.tid");
    headless::QueueFileChoice(std::nullopt);
    EXPECT_EQ(ChooseFileToSave(MainWindow, dialog), "dir.v2/modele.TID");
    EXPECT_EQ(ChooseFileToSave(MainWindow, dialog), "modele.tid");
    EXPECT_EQ(ChooseFileToOpen(MainWindow, dialog), std::nullopt);
    EXPECT_TRUE(unanswered.empty());
    EXPECT_EQ(ChooseFileToOpen(MainWindow, dialog), std::nullopt);  // nothing queued: reported, cancelled
    EXPECT_EQ(unanswered.size(), 1u);
    EXPECT_TRUE(headless::FileDialogs()[1].save);
    EXPECT_FALSE(headless::FileDialogs()[2].save);
}

// A dialog that writes each notification it receives at the start of its report box.
void EchoProcedure(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init) {
        AddItem(dialog, 20, "un");
        AddItem(dialog, 20, "deux");
        return;
    }
    InsertTextAtStart(dialog, 30, std::to_string(id) + "/" + std::to_string(notification) + " ");
    if (id == ID_OK || id == ID_CANCEL)
        EndDialog(dialog, id == ID_OK ? 7 : 0);
}

const DialogTemplate ECHO_DIALOG{"Echo", 100, 50, {
    {ControlKind::Edit, 10, "", 0, 0, 10, 10},
    {ControlKind::ListBox, 20, "", 0, 0, 10, 10},
    {ControlKind::ReportEdit, 30, "", 0, 0, 10, 10},
    {ControlKind::CheckBox, 40, "Exportable", 0, 0, 10, 10},
}};

TEST_F(HeadlessTest, DialogsRunTheirProcedureOnQueuedActionsWithTheirNotifications)
{
    std::string typed;
    for (const A& a : {A::TypeInto(10, "2004"), A::Choose(20, 1), A::DoubleClickOn(20, 0), A::TickBox(40),
                       A::InspectWith([&](Window d) { typed = GetControlText(d, 10); }).In("Echo"), A::Press(ID_OK)})
        headless::QueueDialogAction(a);
    EXPECT_EQ(RunModalDialog(MainWindow, ECHO_DIALOG, EchoProcedure), 7);
    EXPECT_EQ(typed, "2004");
    EXPECT_TRUE(unanswered.empty());
    EXPECT_EQ(headless::Dialogs().at(0).owner, "main window");
    // Last first: typing does not notify; a double click also changes the selection.
    EXPECT_EQ(headless::Dialogs().at(0).finalTexts.at(30), "1/0 40/0 20/2 20/1 20/1 ");
}

TEST_F(HeadlessTest, ActionsThatDoNotFitTheOpenDialogAndADialogLeftWaitingAreReported)
{
    headless::QueueDialogAction(A::Choose(20, 5));             // no such entry
    headless::QueueDialogAction(A::TypeInto(99, "x"));         // no such control
    headless::QueueDialogAction(A::Press(ID_OK).In("Autre"));  // another dialog
    EXPECT_EQ(RunModalDialog(nullptr, ECHO_DIALOG, EchoProcedure), 0);
    ASSERT_EQ(unanswered.size(), 4u);  // the three actions, then the dialog left waiting, closed as by Escape
    EXPECT_NE(unanswered[3].find("\"Echo\" waits"), std::string::npos) << unanswered[3];
    EXPECT_EQ(headless::Dialogs().at(0).finalTexts.at(30), "2/0 ");
    EXPECT_EQ(headless::Dialogs().at(0).owner, "none");
}

TEST_F(HeadlessTest, TheSvgOfTheClientAreaEscapesItsTextsAndKeepsThemInside)
{
    MainWindowSetup setup;
    setup.handlers.onPaint = [](Canvas* canvas) {
        TextOut(canvas, 2, 360, "0m <&");
        TextOut(canvas, 625, 470, "23:35");  // 5 glyphs of 8 × 16
    };
    ASSERT_TRUE(CreateMainWindow(setup));
    ShowMainWindow();
    const std::string svg = headless::ClientAreaSvg();
    EXPECT_NE(svg.find(" width=\"640\" height=\"480\""), std::string::npos) << svg;
    EXPECT_NE(svg.find(">0m &lt;&amp;</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<text x=\"600\" y=\"476\" xml:space=\"preserve\">23:35</text>"), std::string::npos) << svg;
}

// Polls of long work, as a computation makes them: the answers until it
// stops, then how it ended.
std::string RunLongWork(int polls)
{
    std::string answers;
    BeginLongWork("essai");
    BeginLongWork("dedans");  // nested: one work
    for (int i = 0; i < polls; ++i)
        answers += KeepWindowAliveAndAskStop(i / 10.0) ? "S" : ".";
    answers += EndLongWork() ? " stopped" : "";
    return answers + (EndLongWork() ? " stopped" : " done");
}

TEST_F(HeadlessTest, AQueuedStopAnswersFromItsPollToTheEndOfTheWorkAndAnUnreachedOneIsReported)
{
    EXPECT_FALSE(KeepWindowAliveAndAskStop(0.5));  // outside long work: no poll
    headless::QueueStop(3);
    EXPECT_EQ(RunLongWork(5), "..SSS stopped stopped");
    EXPECT_EQ(RunLongWork(2), ".. done");  // the next work starts afresh
    EXPECT_EQ(headless::LongWorkPolls(), 7);
    EXPECT_EQ(headless::LongWorks(), (std::vector<std::string>{"essai", "essai"}));
    headless::QueueStop(3);
    RunLongWork(2);
    headless::ExpectQueuesEmpty();
    ASSERT_EQ(unanswered.size(), 1u);
    EXPECT_NE(unanswered[0].find("a stop queued for poll 10 was not reached (9 polls)"), std::string::npos)
        << unanswered[0];
    EXPECT_EQ(RunLongWork(1), "S stopped stopped");  // it then stops the next work
}

// The close box during the work of a command closes the main window once
// the command has returned, and lets no later work start.
TEST_F(HeadlessTest, ClosingDuringLongWorkEndsTheLoopAfterTheCommand)
{
    static std::vector<std::string> done;
    done.clear();
    MainWindowSetup setup;
    setup.handlers.onCommand = [](int) {
        done.push_back(RunLongWork(3));
        done.push_back(RunLongWork(1));
    };
    ASSERT_TRUE(CreateMainWindow(setup));
    headless::QueueUserAction([] {
        headless::QueueStop(2, true);
        SendCommand(1);
    });
    headless::QueueUserAction([] { done.push_back("a second command"); });
    RunMessageLoop();
    EXPECT_EQ(done, (std::vector<std::string>{".SS stopped stopped", "S stopped stopped"}));
}

}  // namespace
