#include "platform/RemoveFolderTree.h"

#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace korvane {

namespace fs = std::filesystem;

namespace {
class RemoveFolderTreeTest : public testing::Test {
  protected:
    // The folder to remove, inside the test's own temporary folder.
    std::string Setup() const { return m_root.File("KorvaneSetup"); }
    std::string InSetup(const std::string& relative) const { return Setup() + "/" + relative; }

    void MakeFolders(const std::string& relative) const {
        fs::create_directories(InSetup(relative));
    }

    TempFolder m_root;
};

TEST_F(RemoveFolderTreeTest, RemovesNestedFilesAndFolders) {
    MakeFolders("a/b/c");
    MakeFolders("empty");
    WriteTextFile(InSetup("top.txt"), "1");
    WriteTextFile(InSetup(".hidden-file"), "2");
    WriteTextFile(InSetup("a/one.mid"), "3");
    WriteTextFile(InSetup("a/b/c/deep.bin"), std::string(100000, 'x'));

    RemoveFolderTree(Setup());

    EXPECT_FALSE(fs::exists(Setup()));
    EXPECT_TRUE(fs::exists(m_root.Path()));
}

TEST_F(RemoveFolderTreeTest, RemovesLinksAsLinksAndLeavesTheirTargets) {
    const std::string outsideFolder = m_root.File("outside");
    const std::string outsideFile = m_root.File("outside.txt");
    fs::create_directories(outsideFolder + "/inner");
    WriteTextFile(outsideFolder + "/keep.mid", "keep");
    WriteTextFile(outsideFolder + "/inner/keep2.mid", "keep2");
    WriteTextFile(outsideFile, "keep3");
    MakeFolders("sub");
    fs::create_directory_symlink(outsideFolder, InSetup("folder-link"));
    fs::create_directory_symlink(outsideFolder, InSetup("sub/.hidden-folder-link"));
    fs::create_symlink(outsideFile, InSetup("file-link"));
    fs::create_symlink(m_root.File("nowhere"), InSetup("dangling-link"));

    RemoveFolderTree(Setup());

    EXPECT_FALSE(fs::exists(fs::symlink_status(Setup())));
    EXPECT_EQ(ReadTextFile(outsideFolder + "/keep.mid"), "keep");
    EXPECT_EQ(ReadTextFile(outsideFolder + "/inner/keep2.mid"), "keep2");
    EXPECT_EQ(ReadTextFile(outsideFile), "keep3");
}

TEST_F(RemoveFolderTreeTest, LeavesAFolderThatIsALinkAlone) {
    const std::string target = m_root.File("target");
    fs::create_directory(target);
    WriteTextFile(target + "/keep.mid", "keep");
    fs::create_directory_symlink(target, Setup());

    RemoveFolderTree(Setup());

    EXPECT_TRUE(fs::is_symlink(Setup()));
    EXPECT_EQ(ReadTextFile(target + "/keep.mid"), "keep");
}

TEST_F(RemoveFolderTreeTest, MissingFolderDoesNothing) {
    RemoveFolderTree(Setup());
    RemoveFolderTree("");
    EXPECT_FALSE(fs::exists(Setup()));
    EXPECT_TRUE(fs::is_empty(m_root.Path()));
}

TEST_F(RemoveFolderTreeTest, PassesOverHiddenFoldersAndKeepsTheirParents) {
    MakeFolders("sub/.cache");
    WriteTextFile(InSetup("sub/.cache/kept.txt"), "kept");
    WriteTextFile(InSetup("sub/gone.txt"), "gone");
    WriteTextFile(InSetup("gone.txt"), "gone");

    RemoveFolderTree(Setup());

    EXPECT_EQ(ReadTextFile(InSetup("sub/.cache/kept.txt")), "kept");
    EXPECT_FALSE(fs::exists(InSetup("sub/gone.txt")));
    EXPECT_FALSE(fs::exists(InSetup("gone.txt")));
}

TEST_F(RemoveFolderTreeTest, StopsSilentlyAtAFileThatCannotBeDeleted) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser may delete inside a read-only folder";
    }
    MakeFolders("locked");
    WriteTextFile(InSetup("locked/held.mid"), "held");
    fs::permissions(InSetup("locked"), fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_NO_THROW(RemoveFolderTree(Setup()));

    EXPECT_EQ(ReadTextFile(InSetup("locked/held.mid")), "held");
    EXPECT_TRUE(fs::exists(Setup()));
}
} // namespace
} // namespace korvane
