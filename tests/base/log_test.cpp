#include <filesystem>

#include "base/log.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using LogTest = ProgramTest;

TEST_F(LogTest, StartsAfreshWithTheWelcomeLineAndWritesCrLf)
{
    WriteFile(LOG_FILE_NAME, "an earlier run\n");
    OpenLog();
    LogPrintf("Niveau moyen : %i\n", 3);
    EXPECT_EQ(LogBytes(), "Bienvenue à Haliome (la marée d'un port, par l'équipe Haliome).\r\n\r\nNiveau moyen : 3\r\n");
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(LogTest, ALogThatCannotBeOpenedIsReportedWithoutOwnerNamingTheFolderAndThenSkipped)
{
    std::filesystem::create_directory(LOG_FILE_NAME);
    OpenLog();
    ASSERT_EQ(headless::Messages().size(), 1u);
    const headless::MessageRecord& box = headless::Messages()[0];
    EXPECT_EQ(box.owner + " | " + box.text.substr(0, box.text.find('\n')),
              "none | Le journal « Haliome.log » ne peut pas être créé dans le dossier « " +
                  std::filesystem::current_path().string() + " » : ce nom est celui d'un dossier.");
    EXPECT_EQ(LogFile, nullptr);
    LogPrintf("nothing %s\n", "happens");
    LogText("nor here\n");
    EXPECT_TRUE(std::filesystem::is_empty(LOG_FILE_NAME)) << "nothing was written";
}

}  // namespace
