#include "testing/Process.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

// A 64 MB file of one track of notes: large enough that a save is caught half-way.
Bytes LargeSong() {
    constexpr uint32_t kEvents = 16 << 20;
    constexpr uint32_t kLength = kEvents * 4 + 4;
    Bytes song{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) {
        song.push_back(static_cast<uint8_t>(kLength >> shift));
    }
    song.reserve(song.size() + kLength);
    for (uint32_t i = 0; i < kEvents; ++i) {
        song.insert(song.end(), {0x00, 0x90, static_cast<uint8_t>(i % 128), 0x40});
    }
    song.insert(song.end(), {0x00, 0xFF, 0x2F, 0x00});
    return song;
}

// The write position of a descriptor, from /proc.
long long WritePosition(pid_t pid, const std::string& fd) {
    std::ifstream info("/proc/" + std::to_string(pid) + "/fdinfo/" + fd);
    std::string key;
    long long position = 0;
    return info >> key >> position && key == "pos:" ? position : 0;
}

// True once the child has written into a file of folder other than input; false when it ended
// first (its status is then in status).
bool WaitForSaveInProgress(pid_t pid, const std::string& folder, const std::string& input,
                           int& status) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(fds, error)) {
            const std::string target = std::filesystem::read_symlink(entry.path(), error);
            if (!error && target.rfind(folder + "/", 0) == 0 && target != input &&
                WritePosition(pid, entry.path().filename()) > 0) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

struct Interruption {
    const char* name;
    bool namedTemporary;
    int signal;
};

class InterruptedSave : public testing::TestWithParam<Interruption> {
  protected:
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        WriteFileBytes(s_folder->File("big.mid"), LargeSong());
    }
    static void TearDownTestSuite() { delete s_folder; }

    static TempFolder* s_folder;
};
TempFolder* InterruptedSave::s_folder = nullptr;

TEST_P(InterruptedSave, LeavesNoNewFileAndEndsAsTheSignalSays) {
    const Interruption& interruption = GetParam();
    const std::string in = s_folder->File("big.mid");
    const std::string out = s_folder->File("bigKRV.mid");
    TempFolder config;
    std::map<std::string, std::string> environment{{"XDG_CONFIG_HOME", config.Path()}};
    if (interruption.namedTemporary) {
        environment["KORVANE_TEST_NAMED_TEMPORARY"] = "1";
    }
    int status = 0;
    bool caught = false;
    // A busy machine may let a save end before it is caught; it is then tried again.
    for (int attempt = 0; attempt < 10 && !caught; ++attempt) {
        WriteFileBytes(out, {1, 2, 3});
        const pid_t child = StartProcess(KORVANE_BINARY, {"--speed=150", "--dynamic-range=700", in},
                                         environment, {"DISPLAY", "WAYLAND_DISPLAY"});
        ASSERT_GT(child, 0);
        caught = WaitForSaveInProgress(child, s_folder->Path(), in, status);
        if (caught) {
            ::kill(child, interruption.signal);
            ::waitpid(child, &status, 0);
        }
    }
    ASSERT_TRUE(caught) << "every save ended before it could be interrupted";
    // SIGKILL kills; the others stop the run, which abandons the save and says which signal.
    if (interruption.signal == SIGKILL) {
        ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
    } else {
        ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
        EXPECT_EQ(WEXITSTATUS(status), 128 + interruption.signal);
    }
    EXPECT_EQ(FolderEntries(s_folder->Path()), (Names{"big.mid", "bigKRV.mid"}));
    EXPECT_EQ(ReadFileBytes(out), (Bytes{1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptedSave,
                         testing::Values(Interruption{"UnnamedInt", false, SIGINT},
                                         Interruption{"UnnamedTerm", false, SIGTERM},
                                         Interruption{"UnnamedHup", false, SIGHUP},
                                         Interruption{"UnnamedKill", false, SIGKILL},
                                         Interruption{"NamedInt", true, SIGINT},
                                         Interruption{"NamedTerm", true, SIGTERM},
                                         Interruption{"NamedHup", true, SIGHUP}),
                         [](const testing::TestParamInfo<Interruption>& param) {
                             return param.param.name;
                         });
} // namespace
} // namespace korvane
