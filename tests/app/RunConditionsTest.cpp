// Runs of the real executable under the conditions batch schedulers, scripts and shared folders
// put it in: links beside the inputs, resource limits, ignored and fatal signals, streams.
#include "testing/Process.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

namespace korvane {
namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

// A one-track song of about `notes` * 4 bytes.
Bytes Song(uint32_t notes) {
    const uint32_t length = notes * 4 + 4;
    Bytes song{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) {
        song.push_back(static_cast<uint8_t>(length >> shift));
    }
    for (uint32_t i = 0; i < notes; ++i) {
        song.insert(song.end(), {0x01, 0x90, static_cast<uint8_t>(i % 128), 0x40});
    }
    song.insert(song.end(), {0x00, 0xFF, 0x2F, 0x00});
    return song;
}

std::map<std::string, Bytes> Tree(const std::string& root) {
    std::map<std::string, Bytes> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            tree[fs::relative(entry.path(), root)] = ReadFileBytes(entry.path());
        }
    }
    return tree;
}

size_t Files(const std::string& root) {
    size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        count += entry.is_regular_file();
    }
    return count;
}

size_t Leftovers(const std::string& root) {
    size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        count += entry.path().filename().string().rfind(".korvane-", 0) == 0;
    }
    return count;
}

class RunConditions : public testing::Test {
  protected:
    // korvane run through the shell: `prefix` sets limits before it starts; `asNobody` drops
    // root, whose process count no limit holds.
    ProcessResult Shell(const std::string& prefix, const Strings& args,
                        bool asNobody = false) const {
        const std::string user =
            asNobody && ::geteuid() == 0
                ? "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups "
                : "";
        Strings shellArgs{"-c", prefix + " exec " + user + "\"$0\" \"$@\"", KORVANE_BINARY};
        shellArgs.insert(shellArgs.end(), args.begin(), args.end());
        return RunProcess("/bin/bash", shellArgs, Environment(), {"DISPLAY", "WAYLAND_DISPLAY"});
    }
    std::map<std::string, std::string> Environment() const {
        return {{"XDG_CONFIG_HOME", config.Path()}};
    }
    // Many names of one song, in ten folders: a run long enough to be interrupted.
    void Names(const std::string& src, int count) const {
        WriteFileBytes(folder.File("one.mid"), Song(2000));
        for (int i = 0; i < count; ++i) {
            const std::string sub = src + "/" + std::to_string(i % 10);
            fs::create_directories(sub);
            fs::create_hard_link(folder.File("one.mid"), sub + "/" + std::to_string(i) + ".mid");
        }
    }

    TempFolder folder;
    TempFolder config;
};

// A link named like an output beside its input is refused, whether or not it leads anywhere.
TEST_F(RunConditions, OutputsBesideInputsAreNeverSavedThroughALink) {
    const std::string in = folder.File("in");
    fs::create_directories(in);
    for (const char* name : {"song.mid", "other.mid", "fine.mid"}) {
        WriteFileBytes(in + "/" + name, Song(4));
    }
    WriteTextFile(folder.File("notes.txt"), "my notes");
    fs::create_symlink("../notes.txt", in + "/songKRV.mid");
    fs::create_symlink("../new.mid", in + "/otherKRV.mid");
    for (const Strings& args :
         {Strings{in}, Strings{"--jobs=2", in + "/song.mid", in + "/other.mid"}}) {
        const ProcessResult result = Shell("", args);
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_NE(result.err.find(in + "/song.mid: The output MIDI file can not be created. (the "
                                       "output's name is a symbolic link)"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(ReadTextFile(folder.File("notes.txt")), "my notes");
        EXPECT_FALSE(fs::exists(folder.File("new.mid")));
        EXPECT_TRUE(fs::is_symlink(in + "/otherKRV.mid"));
    }
    EXPECT_EQ(ReadFileBytes(in + "/fineKRV.mid"), Song(4));
}

// Under an address-space limit the run fits its threads to it; under a process limit no thread
// may start, not even the background writer's or the read ahead's. Either way every file is
// converted, with the same bytes.
TEST_F(RunConditions, ThreadsThatCannotStartLeaveTheWorkToTheOthers) {
    const std::string src = folder.File("src");
    fs::create_directories(src);
    fs::permissions(folder.Path(), fs::perms::all, fs::perm_options::add);
    for (int i = 0; i < 12; ++i) { // large enough for the reading ahead and the writer thread
        WriteFileBytes(src + "/" + std::to_string(i) + ".mid", Song(i < 3 ? 900000 : 50 + i));
    }
    const ProcessResult free = Shell("", {"--jobs=16", "--output-dir=" + folder.File("free"), src});
    ASSERT_EQ(free.exitCode, 0) << free.err;
    for (const std::string limit : {"-v 100000", "-v 200000", "-u 1"}) {
        const std::string out = folder.File("limited" + limit);
        fs::create_directories(out);
        fs::permissions(out, fs::perms::all, fs::perm_options::add);
        const ProcessResult limited =
            Shell("ulimit " + limit + ";", {"--jobs=16", "--output-dir=" + out, src}, true);
        EXPECT_EQ(limited.exitCode, 0) << limit << limited.err;
        EXPECT_EQ(Tree(out), Tree(folder.File("free"))) << limit;
    }
}

// A caller that ignores the stopping signals (a script's background job, nohup) keeps them
// ignored: the run goes to its end.
TEST_F(RunConditions, SignalsIgnoredAtStartStayIgnored) {
    const std::string src = folder.File("src");
    Names(src, 3000);
    const std::string report = folder.File("report.jsonl");
    const pid_t pid =
        StartProcess("/bin/sh",
                     {"-c", "trap '' INT TERM HUP; exec \"$0\" \"$@\"", KORVANE_BINARY, "--quiet",
                      "--output-dir=" + folder.File("out"), "--report=" + report, src},
                     Environment(), {"DISPLAY", "WAYLAND_DISPLAY"});
    while (ReadTextFile(report).size() < 2000) { // the settings line and some files
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ASSERT_EQ(::kill(pid, signal), 0) << "the run ended before it was signalled";
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Files(folder.File("out")), 3000u);
}

// SIGKILL leaves the hidden named temporaries of a file system without unnamed ones; the next
// run over the same output folder removes them, and only them.
TEST_F(RunConditions, ALaterRunRemovesWhatAKilledRunLeft) {
    const std::string src = folder.File("src");
    const std::string out = folder.File("out");
    Names(src, 3000);
    fs::create_directories(out + "/0");
    WriteTextFile(out + "/0/.korvane-notes", "a user's own hidden file");
    auto environment = Environment();
    environment["KORVANE_TEST_NAMED_TEMPORARY"] = "1";
    size_t left = 0;
    for (int attempt = 0; attempt < 10 && left == 0; ++attempt) {
        const pid_t pid = StartProcess(KORVANE_BINARY, {"--output-dir=" + out, src}, environment,
                                       {"DISPLAY", "WAYLAND_DISPLAY"});
        while (Files(out) < 50 + attempt * 300u && ::waitpid(pid, nullptr, WNOHANG) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        left = Leftovers(out) - 1;
    }
    ASSERT_GT(left, 0u) << "no kill caught a temporary";
    const ProcessResult later = RunProcess(KORVANE_BINARY, {"--quiet", "--output-dir=" + out, src},
                                           environment, {"DISPLAY", "WAYLAND_DISPLAY"});
    EXPECT_EQ(later.exitCode, 0) << later.err;
    EXPECT_EQ(Leftovers(out), 1u);
    EXPECT_EQ(ReadTextFile(out + "/0/.korvane-notes"), "a user's own hidden file");
}

// Standard streams from scripts: an endless stream of no MIDI is refused at once, a report on the
// output's own stream refused, a check writes nothing but its report.
TEST_F(RunConditions, StandardStreamsAsScriptsUseThem) {
    WriteFileBytes(folder.File("a.mid"), Song(4));
    const std::string a = folder.File("a.mid");
    struct Case {
        std::string script;
        int exitCode;
        std::string out;
    } const cases[] = {
        // Spooled on, it would pass the file size limit and die of SIGXFSZ.
        {"ulimit -f 1000; \"$0\" --check - < <(cat /dev/zero)", 1, ""},
        {"\"$0\" --report=/dev/stdout --output=- " + a + " | cat; exit ${PIPESTATUS[0]}", 2, ""},
        {"\"$0\" --report=/proc/self/fd/1 --output=- " + a + " >/dev/null", 2, ""},
        {"\"$0\" --check --quiet - < " + a + " | wc -c; exit ${PIPESTATUS[0]}", 0, "0\n"},
        {"\"$0\" --check --report=- - < " + a + " | wc -l; exit ${PIPESTATUS[0]}", 0, "2\n"},
        {"\"$0\" --output=- - < " + a + " | cmp - " + a, 0, ""},
    };
    for (const Case& c : cases) {
        const ProcessResult result = RunProcess("/bin/bash", {"-c", c.script, KORVANE_BINARY},
                                                Environment(), {"DISPLAY", "WAYLAND_DISPLAY"});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.script << "\n" << result.err;
        EXPECT_EQ(result.out, c.out) << c.script;
    }
}

// A file reached twice is converted once, and counted once.
TEST_F(RunConditions, AFileReachedTwiceIsConvertedOnce) {
    const std::string lib = folder.File("lib");
    fs::create_directories(lib + "/sub");
    WriteFileBytes(lib + "/a.mid", Song(4));
    WriteFileBytes(lib + "/sub/b.mid", Song(5));
    for (const Strings& args : {Strings{lib, lib + "/sub"}, Strings{lib, lib + "/"},
                                Strings{lib + "/a.mid", lib, lib + "/sub/b.mid"}}) {
        const ProcessResult result = Shell("", args);
        EXPECT_EQ(result.exitCode, 0) << args[1] << result.err;
        EXPECT_NE(result.err.find("korvane: 2 files: 2 converted"), std::string::npos)
            << result.err;
    }
}
} // namespace
} // namespace korvane
