// The scripted backend's rules that a script cannot reach: the notifications
// a dialog receives, an action meant for another dialog, nested long work, and
// texts of the client area's SVG. The rest is played by the scenarios.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"

namespace {

using A = headless::DialogAction;

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { headless::Reset(); }
    void TearDown() override { headless::ExpectQueuesEmpty(); }
};

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
    std::vector<std::string> unanswered;
    headless::SetUnansweredHandler([&](const std::string& what) { unanswered.push_back(what); });
    std::string typed;
    for (const A& a : {A::TypeInto(10, "2004"), A::Choose(20, 1), A::DoubleClickOn(20, 0), A::TickBox(40),
                       A::Press(ID_OK).In("Autre"),
                       A::InspectWith([&](Window d) { typed = GetControlText(d, 10); }).In("Echo"), A::Press(ID_OK)})
        headless::QueueDialogAction(a);
    EXPECT_EQ(RunModalDialog(MainWindow, ECHO_DIALOG, EchoProcedure), 7);
    headless::SetUnansweredHandler([](const std::string& what) { ADD_FAILURE() << "unanswered: " << what; });
    EXPECT_EQ(typed, "2004");
    EXPECT_EQ(unanswered, std::vector<std::string>{"dialog \"Echo\" is open, the action is for \"Autre\""});
    // Last first: typing into an edit notifies; a double click also changes the selection.
    EXPECT_EQ(headless::Dialogs().at(0).finalTexts.at(30), "1/0 40/0 20/2 20/1 20/1 10/3 ");
}

TEST_F(HeadlessTest, TheSvgOfTheClientAreaEscapesItsTextsAndKeepsThemInside)
{
    MainWindowSetup setup;
    setup.handlers.onPaint = [](Canvas* canvas) {
        TextOut(canvas, 2, 360, "0m <&>");
        TextOut(canvas, 625, 470, "23:35");  // 5 glyphs of 8 × 16
    };
    ASSERT_TRUE(CreateMainWindow(setup));
    ShowMainWindow();
    const std::string svg = headless::ClientAreaSvg();
    EXPECT_NE(svg.find(">0m &lt;&amp;&gt;</text>"), std::string::npos) << svg;
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

// A stop answers from its poll to the end of the work, and the next work
// starts afresh; the close box lets no later work of the command start.
TEST_F(HeadlessTest, AQueuedStopHoldsToTheEndOfTheWorkAndACloseToTheEndOfTheCommand)
{
    EXPECT_FALSE(KeepWindowAliveAndAskStop(0.5));  // outside long work: no poll
    headless::QueueStop(3);
    EXPECT_EQ(RunLongWork(5), "..SSS stopped stopped");
    EXPECT_EQ(RunLongWork(2), ".. done");
    EXPECT_EQ(headless::LongWorkPolls(), 7);
    EXPECT_EQ(headless::LongWorks(), (std::vector<std::string>{"essai", "essai"}));
    static std::vector<std::string> done;
    MainWindowSetup setup;
    setup.handlers.onCommand = [](int) { done = {RunLongWork(3), RunLongWork(1)}; };
    ASSERT_TRUE(CreateMainWindow(setup));
    headless::QueueStop(2, true);
    SendCommand(1);
    EXPECT_EQ(done, (std::vector<std::string>{".SS stopped stopped", "S stopped stopped"}));
}

}  // namespace
