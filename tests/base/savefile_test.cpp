#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "base/savefile.h"
#include "tests/support/full_disk.h"
#include "tests/support/program_state.h"

namespace {

namespace fs = std::filesystem;

class SaveFileTest : public ::testing::Test {
protected:
    void TearDown() override { SetDiskFullAfterBytes(-1); }
    ScopedWorkDir folder;
};

std::vector<std::string> FolderContents()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator("."))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(SaveFileTest, TheFileIsReplacedWholeKeepingItsPermissionsAndTheLinkToIt)
{
    WriteFile("cible", "ancien");
    fs::permissions("cible", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("cible", "lien");
    std::string why;
    ASSERT_TRUE(SaveFileBytes("lien", "nouveau", why)) << why;
    EXPECT_EQ(ReadFile("cible"), "nouveau");
    EXPECT_TRUE(fs::is_symlink("lien"));
    EXPECT_EQ(fs::status("cible").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // A hard link keeps seeing the file: it is rewritten where it is.
    fs::create_hard_link("cible", "dur");
    ASSERT_TRUE(SaveFileBytes("cible", "plus nouveau", why)) << why;
    EXPECT_EQ(ReadFile("dur"), "plus nouveau");
    ASSERT_TRUE(SaveFileBytes("dur", "court", why)) << why;
    EXPECT_EQ(ReadFile("cible"), "court");
    EXPECT_EQ(fs::hard_link_count("cible"), 2u);
    ASSERT_TRUE(SaveFileBytes("neuf", "", why)) << why;
    EXPECT_EQ(FolderContents(), (std::vector<std::string>{"cible", "dur", "lien", "neuf"}));
}

TEST_F(SaveFileTest, AFailureLeavesWhatWasThereAndSaysWhy)
{
    fs::create_directory("dossier");
    fs::create_symlink("/dev/full", "plein");
    const struct { const char* path; std::int64_t failAfter; const char* why; } cases[] = {
        {"fichier", 0, "le disque est plein"},
        {"fichier", 5, "le disque est plein"},  // half-way through
        {"plein", -1, "le disque est plein"},   // a device is written in place, every write checked
        {"dossier", -1, "ce nom est celui d'un dossier"},
        {"absent/fichier", -1, "le dossier n'existe pas"},
    };
    for (const auto& c : cases) {
        WriteFile("fichier", "ancien contenu");
        if (c.failAfter == 5)
            fs::create_hard_link("fichier", "dur");  // rewritten in place, but not before the new bytes are safe
        SetDiskFullAfterBytes(c.failAfter);
        std::string why;
        EXPECT_FALSE(SaveFileBytes(c.path, "nouveau contenu", why)) << c.path;
        SetDiskFullAfterBytes(-1);
        EXPECT_EQ(why, c.why) << c.path;
        EXPECT_EQ(ReadFile("fichier"), "ancien contenu") << c.path;
        if (c.failAfter == 5) {
            EXPECT_EQ(ReadFile("dur"), "ancien contenu");
            fs::remove("dur");
        }
        EXPECT_EQ(FolderContents(), (std::vector<std::string>{"dossier", "fichier", "plein"})) << c.path;
    }
}

}  // namespace
