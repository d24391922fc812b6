#include "platform/TempOutput.h"
#include "platform/SignalCleanup.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {
using Names = std::vector<std::string>;

bool UnnamedFilesWork(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

bool WriteThrough(const TempOutput& temp, const std::string& text) {
    const int fd = temp.OpenWriter();
    const bool written =
        fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
}

// The same steps with the file system's unnamed temporary and with the hidden named one that
// stands in where unnamed files are refused.
class TempOutputTest : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (!Named() && !UnnamedFilesWork(folder.Path())) {
            GTEST_SKIP() << "the temporary folder's file system refuses unnamed files";
        }
        TempOutput::ForceNamed(Named());
    }
    void TearDown() override { TempOutput::ForceNamed(false); }

    bool Named() const { return GetParam(); }
    // What the folder shows besides the files a test made itself.
    Names Visible() const { return FolderEntries(folder.Path()); }

    TempFolder folder;
    const std::string out = folder.File("out.mid");
};

TEST_P(TempOutputTest, OnlyTheNamedKindIsVisibleWhileWritten) {
    TempOutput temp = TempOutput::Create(out);
    ASSERT_TRUE(temp.IsValid());
    ASSERT_TRUE(WriteThrough(temp, "half"));
    const Names visible = Visible();
    if (Named()) {
        ASSERT_EQ(visible.size(), 1u);
        EXPECT_EQ(visible[0].rfind(".korvane-", 0), 0u) << visible[0];
        EXPECT_EQ(folder.File(visible[0]), temp.NamePath());
        struct stat st {};
        ASSERT_EQ(::stat(temp.NamePath().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << "readable by others while written";
    } else {
        EXPECT_EQ(visible, Names{});
        EXPECT_EQ(temp.NamePath(), "");
    }
}

TEST_P(TempOutputTest, StepsPutTheCompleteFileInPlaceWithUsualPermissions) {
    WriteTextFile(out, "earlier");
    ASSERT_EQ(::chmod(out.c_str(), 0640), 0);
    TempOutput temp = TempOutput::Create(out);
    ASSERT_TRUE(WriteThrough(temp, "complete"));
    ASSERT_TRUE(temp.SyncData());
    EXPECT_EQ(ReadTextFile(out), "earlier");
    ASSERT_TRUE(temp.LinkIntoName());
    EXPECT_EQ(Visible().size(), 2u) << "a hidden name beside the output before the rename";
    ASSERT_TRUE(temp.RenameOverOutput());
    ASSERT_TRUE(temp.SyncFolder());
    EXPECT_EQ(ReadTextFile(out), "complete");
    struct stat st {};
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    const std::string fresh = folder.File("fresh.mid");
    const mode_t mask = ::umask(027);
    TempOutput second = TempOutput::Create(fresh);
    ::umask(mask);
    ASSERT_TRUE(WriteThrough(second, "new"));
    ASSERT_TRUE(second.Commit());
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Visible(), (Names{"fresh.mid", "out.mid"}));
}

// Private while written only where a file, which may be private, can hold the name; the
// final mode is whatever holds the name at the rename, even one that appeared meanwhile.
TEST(TempOutputModes, PrivateWhileWrittenOnlyWhereAFileMayHoldTheName) {
    struct Case {
        TempOutput::OutputThere there;
        mode_t appearingMode; // a file given the name before the rename; 0 for none
        mode_t whileWritten;
        mode_t final;
    };
    const Case cases[] = {{TempOutput::OutputThere::Maybe, 0, 0600, 0644},
                          {TempOutput::OutputThere::No, 0, 0644, 0644},
                          {TempOutput::OutputThere::No, 0600, 0644, 0600}};
    TempOutput::ForceNamed(true);
    const mode_t mask = ::umask(022);
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string out = folder.File("out.mid");
        TempOutput temp = TempOutput::Create(out, c.there);
        ASSERT_TRUE(WriteThrough(temp, "new"));
        struct stat st {};
        ASSERT_EQ(::stat(temp.NamePath().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, c.whileWritten);
        if (c.appearingMode != 0) {
            WriteTextFile(out, "other run's");
            ASSERT_EQ(::chmod(out.c_str(), c.appearingMode), 0);
        }
        ASSERT_TRUE(temp.Commit());
        ASSERT_EQ(::stat(out.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, c.final);
        EXPECT_EQ(ReadTextFile(out), "new");
    }
    ::umask(mask);
    TempOutput::ForceNamed(false);
}

TEST_P(TempOutputTest, AbandonedAtAnyStepLeavesNoFile) {
    WriteTextFile(out, "earlier");
    for (int steps = 0; steps <= 2; ++steps) {
        {
            TempOutput temp = TempOutput::Create(out);
            ASSERT_TRUE(WriteThrough(temp, "abandoned"));
            if (steps >= 1) {
                ASSERT_TRUE(temp.SyncData());
            }
            if (steps >= 2) {
                ASSERT_TRUE(temp.LinkIntoName());
            }
            TempOutput moved = std::move(temp);
            EXPECT_FALSE(temp.IsValid());
        }
        EXPECT_EQ(Visible(), Names{"out.mid"}) << "after " << steps << " steps";
        EXPECT_EQ(ReadTextFile(out), "earlier");
    }
}

TEST_P(TempOutputTest, NoPlaceForATemporary) {
    for (const std::string& path : {std::string(), folder.File("missing/out.mid"), out + "/"}) {
        EXPECT_FALSE(TempOutput::Create(path).IsValid()) << path;
    }
    EXPECT_EQ(Visible(), Names{});
}

INSTANTIATE_TEST_SUITE_P(Kinds, TempOutputTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& kind) {
                             return kind.param ? "Named" : "Unnamed";
                         });

// The named temporary of a save that a signal ends is removed by the handler, and the process
// still ends by that signal.
class SignalCleanupTest : public testing::TestWithParam<int> {};

TEST_P(SignalCleanupTest, RemovesTheNamedTemporaryAndDiesOfTheSignal) {
    TempFolder folder;
    const std::string out = folder.File("out.mid");
    WriteTextFile(out, "earlier");
    const int signal = GetParam();
    EXPECT_EXIT(
        {
            TempOutput::ForceNamed(true);
            TempOutput temp = TempOutput::Create(out);
            if (WriteThrough(temp, "half") && FolderEntries(folder.Path()).size() == 2) {
                ::raise(signal);
            }
            std::_Exit(0);
        },
        testing::KilledBySignal(signal), "");
    EXPECT_EQ(FolderEntries(folder.Path()), Names{"out.mid"});
    EXPECT_EQ(ReadTextFile(out), "earlier");
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalCleanupTest, testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const testing::TestParamInfo<int>& signal) {
                             return std::string(sigabbrev_np(signal.param));
                         });

TEST(SignalCleanup, RemovesOnlyArmedPathsHoweverMany) {
    TempFolder folder;
    const std::string kept = folder.File("kept");
    WriteTextFile(kept, "k");
    const int keptSlot = ArmRemovalOnSignal(kept);
    ASSERT_GE(keptSlot, 0);
    // A group of outputs holds hundreds of named temporaries at once.
    for (int i = 0; i < 300; ++i) {
        const std::string removed = folder.File("removed" + std::to_string(i));
        WriteTextFile(removed, "r");
        ASSERT_GE(ArmRemovalOnSignal(removed), 0) << i;
    }
    DisarmRemovalOnSignal(keptSlot);
    RemoveArmedTemporaries();
    EXPECT_EQ(FolderEntries(folder.Path()), Names{"kept"});
    EXPECT_EQ(ArmRemovalOnSignal(std::string(5000, 'x')), -1);
}
} // namespace
} // namespace korvane
