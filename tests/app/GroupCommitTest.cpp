#include "app/GroupCommit.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace korvane {
namespace {
// Names every output of the group and syncs their folders, as a run does.
std::vector<bool> CommitAll(const std::vector<TempOutput*>& outputs) {
    GroupCommit commit(outputs);
    std::vector<bool> named;
    for (size_t i = 0; i < outputs.size(); ++i) {
        named.push_back(commit.Name(i));
    }
    const std::vector<bool> synced = commit.SyncFolders();
    for (size_t i = 0; i < outputs.size(); ++i) {
        named[i] = named[i] && synced[i];
    }
    return named;
}

bool WriteThrough(const TempOutput& temp, const std::string& text) {
    const int fd = temp.OpenWriter();
    const bool written =
        fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
}

// Unnamed temporaries, and the hidden named ones used where unnamed files are refused.
class GroupCommitTest : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override { TempOutput::ForceNamed(GetParam()); }
    void TearDown() override { TempOutput::ForceNamed(false); }

    TempFolder folder;
};

TEST_P(GroupCommitTest, EveryOutputTakesItsNameWithItsBytes) {
    std::filesystem::create_directories(folder.File("a"));
    std::filesystem::create_directories(folder.File("b"));
    WriteTextFile(folder.File("a/0.mid"), "earlier");
    std::vector<std::unique_ptr<TempOutput>> temps;
    std::vector<TempOutput*> group;
    for (int i = 0; i < 6; ++i) {
        const std::string path = folder.File((i % 2 ? "b/" : "a/") + std::to_string(i) + ".mid");
        temps.push_back(std::make_unique<TempOutput>(TempOutput::Create(path)));
        ASSERT_TRUE(temps.back()->IsValid());
        ASSERT_TRUE(WriteThrough(*temps.back(), "new " + std::to_string(i)));
        group.push_back(temps.back().get());
    }
    // Nothing new shows before the group is committed.
    EXPECT_EQ(ReadTextFile(folder.File("a/0.mid")), "earlier");
    EXPECT_EQ(FolderEntries(folder.File("b")).size(), GetParam() ? 3u : 0u); // hidden names

    EXPECT_EQ(CommitAll(group), std::vector<bool>(6, true));
    temps.clear();
    for (int i = 0; i < 6; ++i) {
        const std::string path = folder.File((i % 2 ? "b/" : "a/") + std::to_string(i) + ".mid");
        EXPECT_EQ(ReadTextFile(path), "new " + std::to_string(i));
    }
    EXPECT_EQ(FolderEntries(folder.File("a")),
              (std::vector<std::string>{"0.mid", "2.mid", "4.mid"}));
    EXPECT_EQ(FolderEntries(folder.File("b")),
              (std::vector<std::string>{"1.mid", "3.mid", "5.mid"}));
}

TEST_P(GroupCommitTest, AnOutputWhoseFolderWentFailsAlone) {
    std::filesystem::create_directories(folder.File("gone"));
    TempOutput kept = TempOutput::Create(folder.File("kept.mid"));
    TempOutput lost = TempOutput::Create(folder.File("gone/lost.mid"));
    ASSERT_TRUE(WriteThrough(kept, "kept") && WriteThrough(lost, "lost"));
    std::filesystem::remove_all(folder.File("gone"));
    EXPECT_EQ(CommitAll({&kept, &lost}), (std::vector<bool>{true, false}));
    EXPECT_EQ(ReadTextFile(folder.File("kept.mid")), "kept");
}

TEST_P(GroupCommitTest, UncommittedOutputsLeaveNothing) {
    {
        TempOutput abandoned = TempOutput::Create(folder.File("x.mid"));
        ASSERT_TRUE(WriteThrough(abandoned, "half"));
    }
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

INSTANTIATE_TEST_SUITE_P(Temporaries, GroupCommitTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "Named" : "Unnamed";
                         });
} // namespace
} // namespace korvane
