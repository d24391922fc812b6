// A run over a folder stopped by a signal in its middle.
#include "testing/Process.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace korvane {

namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Json = nlohmann::json;

// A song of about 8 KB: a few hundred notes.
Bytes Song() {
    Bytes song{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k', 0, 0, 0, 0};
    for (int i = 0; i < 1000; ++i) {
        for (const int byte : {0x10, 0x90, 40 + i % 40, 0x50}) {
            song.push_back(static_cast<uint8_t>(byte));
        }
    }
    for (const int byte : {0x00, 0xFF, 0x2F, 0x00}) {
        song.push_back(static_cast<uint8_t>(byte));
    }
    const size_t length = song.size() - 22;
    song[20] = static_cast<uint8_t>(length >> 8);
    song[21] = static_cast<uint8_t>(length);
    return song;
}

// Starts korvane with its standard error going to errPath, through a shell that becomes it.
pid_t StartKorvane(const std::vector<std::string>& args, const std::string& errPath,
                   const std::string& config) {
    std::vector<std::string> shellArgs{"-c", "exec \"$0\" \"$@\" 2>\"$KORVANE_ERRORS\"",
                                       KORVANE_BINARY};
    shellArgs.insert(shellArgs.end(), args.begin(), args.end());
    return StartProcess("/bin/sh", shellArgs,
                        {{"KORVANE_ERRORS", errPath}, {"XDG_CONFIG_HOME", config}},
                        {"DISPLAY", "WAYLAND_DISPLAY"});
}

std::string Thousands(size_t value) {
    return value < 1000
               ? std::to_string(value)
               : std::to_string(value / 1000) + "," + std::to_string(1000 + value % 1000).substr(1);
}

size_t LineCount(const std::string& path) {
    const std::string text = ReadTextFile(path);
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The signals sent, one after the other, in the middle of a run over a folder or over files
// named one by one.
struct Interruption {
    const char* name;
    std::vector<int> signals;
    bool named = false;
};

class CollectionInterrupt : public testing::TestWithParam<Interruption> {};

TEST_P(CollectionInterrupt, EveryOutputSavedIsReportedAndNothingElseIsLeft) {
    // Many names of one file: a run long enough to be stopped in its middle, made at once.
    const int kFiles = GetParam().named ? 8000 : 10000;
    TempFolder folder;
    const std::string src = folder.File("src");
    const std::string out = folder.File("out");
    WriteFileBytes(folder.File("song.mid"), Song());
    for (int i = 0; i < kFiles; ++i) {
        const std::string sub = src + "/" + std::to_string(i % 10);
        fs::create_directories(sub);
        fs::create_hard_link(folder.File("song.mid"), sub + "/" + std::to_string(i) + ".mid");
    }
    std::vector<std::string> args{"--jobs=2", "--fix-stuck-notes", "--output-dir=" + out,
                                  "--report=" + folder.File("report.jsonl")};
    if (GetParam().named) {
        for (int i = 0; i < kFiles; ++i) {
            args.push_back(src + "/" + std::to_string(i % 10) + "/" + std::to_string(i) + ".mid");
        }
    } else {
        args.push_back(src);
    }
    const std::string report = folder.File("report.jsonl");
    const std::string errors = folder.File("errors.txt");
    TempFolder config;
    const pid_t pid = StartKorvane(args, errors, config.Path());
    ASSERT_GT(pid, 0);
    while (LineCount(report) < 5) { // some files done: the run is in its middle
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::vector<int>& signals = GetParam().signals;
    for (const int signal : signals) {
        ::kill(pid, signal);
        // Apart enough not to merge into one, close enough to come before the run has stopped.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);

    // Every line is whole; every file reported is there, complete.
    std::istringstream lines(ReadTextFile(report));
    std::vector<std::string> reported;
    Bytes expected;
    std::string settings;
    ASSERT_TRUE(std::getline(lines, settings));
    EXPECT_EQ(Json::parse(settings)["schema"], 1);
    for (std::string line; std::getline(lines, line);) {
        const Json entry = Json::parse(line);
        ASSERT_EQ(entry["status"], "repaired"); // keys struck again while held are released
        reported.push_back(entry["output"]);
        const Bytes written = ReadFileBytes(reported.back());
        if (expected.empty()) {
            expected = written;
        }
        EXPECT_EQ(written, expected);
    }
    std::vector<std::string> written;
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        if (!entry.is_directory()) {
            written.push_back(entry.path().string());
        }
    }
    std::sort(written.begin(), written.end());
    std::sort(reported.begin(), reported.end());
    EXPECT_LT(reported.size(), static_cast<size_t>(kFiles));
    if (signals.back() == SIGKILL) {
        // Only the line being written when it came may be missing, one per job at most.
        EXPECT_TRUE(
            std::includes(written.begin(), written.end(), reported.begin(), reported.end()));
        EXPECT_LE(written.size() - reported.size(), 2u);
        return;
    }
    EXPECT_EQ(written, reported); // every output saved has its line, and nothing else is left
    if (WIFSIGNALED(status)) {    // the second signal came before the run had stopped
        EXPECT_GT(signals.size(), 1u);
        // Two threads may take the two signals at once: either may count as the second.
        EXPECT_NE(std::find(signals.begin(), signals.end(), WTERMSIG(status)), signals.end());
        return;
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + signals.front());
    const std::string done = Thousands(reported.size());
    const std::string summary =
        "korvane: " + Thousands(static_cast<size_t>(kFiles)) + " files: " + done + " converted, " +
        done + " of them repaired, 0 failed, 0 skipped, " +
        Thousands(static_cast<size_t>(kFiles) - reported.size()) + " not reached, in ";
    EXPECT_EQ(ReadTextFile(errors).rfind(summary, 0), 0u) << ReadTextFile(errors);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, CollectionInterrupt,
    testing::Values(Interruption{"Sigint", {SIGINT}}, Interruption{"Sigterm", {SIGTERM}},
                    Interruption{"Sighup", {SIGHUP}}, Interruption{"SigintTwice", {SIGINT, SIGINT}},
                    Interruption{"SighupThenSigint", {SIGHUP, SIGINT}},
                    Interruption{"Sigkill", {SIGKILL}}, Interruption{"SigintNamed", {SIGINT}, true},
                    Interruption{"SigtermNamed", {SIGTERM}, true},
                    Interruption{"SighupNamed", {SIGHUP}, true}),
    [](const testing::TestParamInfo<Interruption>& param) {
        return std::string(param.param.name);
    });
} // namespace

} // namespace korvane
