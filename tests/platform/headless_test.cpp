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
