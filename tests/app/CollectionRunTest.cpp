// Runs over folders with the real executable, on trees made in a temporary folder.
#include "testing/Process.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {
// The reason given for an output whose name a folder holds.
const std::string kNoFile =
    " (the output's name is no regular file (a folder, a device or a pipe))\n";
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Json = nlohmann::json;
using Strings = std::vector<std::string>;

const Bytes kHeader{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60};

Bytes Song(uint8_t on, uint8_t off = 0x40) {
    Bytes song = kHeader;
    song.insert(song.end(), {'M',  'T', 'r',  'k',  0,    0,   0,    12,   0x00, 0x90,
                             0x3C, on,  0x60, 0x80, 0x3C, off, 0x00, 0xFF, 0x2F, 0x00});
    return song;
}

// Its track lacks its last byte: the Note Off is dropped and End of Track added.
const Bytes kCutSong = [] {
    Bytes song = kHeader;
    song.insert(song.end(),
                {'M', 'T', 'r', 'k', 0, 0, 0, 12, 0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C});
    return song;
}();

// RFC 4648 base64, written plainly as an independent check of the report's.
std::string Base64Of(const std::string& bytes) {
    const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bits;
    for (const char c : bytes) {
        for (int bit = 7; bit >= 0; --bit) {
            bits += (static_cast<unsigned char>(c) >> bit & 1) ? '1' : '0';
        }
    }
    std::string out;
    for (size_t at = 0; at < bits.size(); at += 6) {
        std::string group = bits.substr(at, 6);
        group.resize(6, '0');
        out += digits[std::stoi(group, nullptr, 2)];
    }
    out.resize((out.size() + 3) / 4 * 4, '=');
    return out;
}

class CollectionRun : public testing::Test {
  protected:
    ProcessResult Run(Strings args, std::map<std::string, std::string> set = {}) {
        set["XDG_CONFIG_HOME"] = config.Path();
        return RunProcess(KORVANE_BINARY, args, set, {"DISPLAY", "WAYLAND_DISPLAY"});
    }

    std::string Src(const std::string& relative = "") const {
        return relative.empty() ? folder.File("src") : folder.File("src/" + relative);
    }
    std::string Out(const std::string& relative = "") const {
        return relative.empty() ? folder.File("out") : folder.File("out/" + relative);
    }

    void Put(const std::string& relative, const Bytes& bytes) const {
        fs::create_directories(fs::path(Src(relative)).parent_path());
        WriteFileBytes(Src(relative), bytes);
    }

    // Every regular file below root, as paths relative to it, sorted.
    static Strings FilesBelow(const std::string& root) {
        Strings files;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_regular_file() && !entry.is_symlink()) {
                files.push_back(fs::relative(entry.path(), root).string());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    // Every entry below root with its bytes (a link: where it leads), to show a run left
    // them as they were.
    static std::map<std::string, Bytes> Snapshot(const std::string& root) {
        std::map<std::string, Bytes> entries;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string relative = fs::relative(entry.path(), root).string();
            if (entry.is_symlink()) {
                const std::string target = fs::read_symlink(entry.path()).string();
                entries[relative] = Bytes(target.begin(), target.end());
            } else if (entry.is_regular_file()) {
                entries[relative] = ReadFileBytes(entry.path().string());
            }
        }
        return entries;
    }

    // The lines of the files, after the first line that holds the run's settings.
    static std::vector<Json> ReadReport(const std::string& text) {
        std::vector<Json> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(Json::parse(line));
        }
        EXPECT_FALSE(lines.empty());
        if (!lines.empty()) {
            EXPECT_EQ(lines.front()["schema"], 1);
            EXPECT_EQ(lines.front()["korvane"], KORVANE_TEST_VERSION);
            lines.erase(lines.begin());
        }
        return lines;
    }

    static Strings Inputs(const std::vector<Json>& report) {
        Strings inputs;
        for (const Json& line : report) {
            inputs.push_back(line.at("input").get<std::string>());
        }
        return inputs;
    }

    TempFolder folder;
    TempFolder config;
};

TEST_F(CollectionRun, WalksOnlyMidiFilesInByteOrder) {
    for (const char* name : {"b.mid", "A.MID", "a.midi", "c.Kar", "d.smf", "e.rmi", "sub/z.mid",
                             "sub.mid", "Sub/x.mid", "notes.txt", "mid", ".hidden.mid",
                             ".folder/in.mid", "oldKRV.mid", "OLDkrv.MID", "deep/er/est.mid"}) {
        Put(name, Song(0x64));
    }
    fs::create_directories(folder.File("elsewhere"));
    WriteFileBytes(folder.File("elsewhere/linked.mid"), Song(0x64));
    fs::create_directory_symlink(folder.File("elsewhere"), Src("linked-folder"));
    fs::create_symlink(folder.File("elsewhere/linked.mid"), Src("link.mid"));
    fs::create_symlink(folder.File("nowhere.mid"), Src("dangling.mid"));

    const ProcessResult result = Run({"--report=-", Src()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    Strings expected;
    for (const char* name : {"A.MID", "Sub/x.mid", "a.midi", "b.mid", "c.Kar", "d.smf",
                             "deep/er/est.mid", "e.rmi", "link.mid", "sub.mid", "sub/z.mid"}) {
        expected.push_back(Src(name));
    }
    EXPECT_EQ(Inputs(ReadReport(result.out)), expected);
    EXPECT_TRUE(FileExists(Src("sub/zKRV.mid")));
    EXPECT_TRUE(FileExists(Src("linkKRV.mid")));
    EXPECT_FALSE(FileExists(folder.File("elsewhere/linkedKRV.mid")));
    EXPECT_FALSE(FileExists(Src(".folder/inKRV.mid")));
    EXPECT_FALSE(FileExists(Src("oldKRVKRV.mid")));
}

TEST_F(CollectionRun, MirrorsUnderOutputFolderAndKeepsNames) {
    Put("a.mid", Song(0x64));
    Put("one/two/b.x.mid", Song(0x50));
    WriteFileBytes(folder.File("single.mid"), Song(0x40));
    ProcessResult result =
        Run({"--output-dir=" + Out(), "--volume=0", Src(), folder.File("single.mid")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(FilesBelow(Out()), (Strings{"aKRV.mid", "one/two/bKRV.mid", "singleKRV.mid"}));
    EXPECT_EQ(ReadFileBytes(Out("one/two/bKRV.mid")), Song(0x7F, 0x7F));
    EXPECT_EQ(FilesBelow(Src()), (Strings{"a.mid", "one/two/b.x.mid"})); // nothing beside

    // The output folder inside the folder walked is left out of the walk.
    result = Run({"--output-dir=" + Src("mirror"), "--keep-names", "--report=-", Src()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Inputs(ReadReport(result.out)), (Strings{Src("a.mid"), Src("one/two/b.x.mid")}));
    EXPECT_EQ(ReadFileBytes(Src("mirror/one/two/b.x.mid")), Song(0x50));
    result = Run({"--output-dir=" + Src("mirror"), "--keep-names", "--report=-", Src()});
    EXPECT_EQ(ReadReport(result.out).size(), 2u);
}

TEST_F(CollectionRun, ReportReadsBackWithEveryField) {
    Put("a.mid", Song(0x64));
    Put("b.mid", kCutSong);
    Put("c.mid",
        {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 0, 0, 0x60, 'X', 'F', 'I', 'H', 0, 0, 0, 1, 7});
    Put("d.mid", Song(0x64));
    ::chmod(Src("d.mid").c_str(), 0); // unreadable, unless the tests run as root
    const std::string report = folder.File("report.jsonl");
    const ProcessResult result =
        Run({"--report=" + report, "--fix-stuck-notes", "--output-dir=" + Out(), Src()});
    const std::vector<Json> lines = ReadReport(ReadTextFile(report));
    ASSERT_EQ(lines.size(), 4u) << result.err;

    const Json& a = lines[0];
    EXPECT_EQ(a.size(), 10u);
    EXPECT_TRUE(a["error"].is_null());
    EXPECT_EQ(a["input"], Src("a.mid"));
    EXPECT_EQ(a["output"], Out("aKRV.mid"));
    EXPECT_EQ(a["status"], "converted");
    EXPECT_TRUE(a["message"].is_null());
    EXPECT_TRUE(a["reason"].is_null());
    EXPECT_EQ(a["bytes_in"], Song(0x64).size());
    EXPECT_EQ(a["bytes_out"], fs::file_size(Out("aKRV.mid")));
    // The Note Off written before the Note On released nothing: no repair.
    EXPECT_EQ(a["repairs"], Json::parse(R"({"tracks_closed": 0, "events_dropped": 0,
        "chunks_cut_short": 0, "note_offs_inserted": 0, "headers_cut": 0,
        "track_lengths_repaired": 0, "junk_bytes_dropped": 0, "track_counts_patched": 0,
        "leading_bytes_dropped": 0, "stray_bytes_dropped": 0, "events_broken_off": 0,
        "system_events_dropped": 0, "meta_events_dropped": 0, "track_ids_repaired": 0,
        "deltas_too_long": 0, "tempos_clamped": 0})"));

    // The note still sounding where the track was cut is released.
    const Json& b = lines[1];
    EXPECT_EQ(b["repairs"], Json::parse(R"({"tracks_closed": 1, "events_dropped": 1,
        "chunks_cut_short": 1, "note_offs_inserted": 1, "headers_cut": 0,
        "track_lengths_repaired": 0, "junk_bytes_dropped": 0, "track_counts_patched": 0,
        "leading_bytes_dropped": 0, "stray_bytes_dropped": 0, "events_broken_off": 0,
        "system_events_dropped": 0, "meta_events_dropped": 0, "track_ids_repaired": 0,
        "deltas_too_long": 0, "tempos_clamped": 0})"));
    EXPECT_EQ(b["status"], "repaired");
    // A vendor chunk copied whole is kept, no repair: the file needed none.
    EXPECT_EQ(lines[2]["chunks_kept"], 1);
    EXPECT_EQ(lines[2]["status"], "converted");

    const Json& d = lines[3];
    if (::geteuid() != 0) {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(d["status"], "failed");
        EXPECT_EQ(d["message"], "The input MIDI file can not be opened.");
        EXPECT_EQ(d["reason"], "Permission denied");
        EXPECT_EQ(d["error"], "input-unreadable");
        EXPECT_TRUE(d["bytes_out"].is_null());
    }
    EXPECT_NE(result.err.find("4 files: "), std::string::npos) << result.err;
}

TEST_F(CollectionRun, OrderAndMessagesDoNotDependOnJobs) {
    Strings names;
    for (int i = 0; i < 60; ++i) {
        names.push_back("f" + std::to_string(i % 7) + "/" + std::to_string(i));
        Bytes song = Song(static_cast<uint8_t>(i));
        // Sizes vary; the zeros after the track are no chunk, dropped as a repair.
        song.resize(song.size() + static_cast<size_t>(i % 3) * 4000, 0);
        Put(names.back() + ".mid", song);
    }
    Strings reports;
    Strings errors;
    for (const std::string jobs : {"--jobs=1", "--jobs=4", "--jobs=16"}) {
        // Every fifth output's place is taken by a folder: it cannot be created.
        for (size_t i = 0; i < names.size(); i += 5) {
            fs::create_directories(Out(jobs + "/" + names[i] + "KRV.mid"));
        }
        const ProcessResult result =
            Run({jobs, "--report=-", "--speed=150", "--output-dir=" + Out(jobs), Src()});
        EXPECT_EQ(result.exitCode, 1) << result.err;
        reports.push_back(result.out);
        errors.push_back(result.err.substr(0, result.err.rfind(" in ")));
    }
    const std::vector<Json> first = ReadReport(reports[0]);
    ASSERT_EQ(first.size(), 60u);
    for (const Json& line : first) {
        const std::string relative = line["input"].get<std::string>().substr(Src().size() + 1);
        const auto at =
            std::find(names.begin(), names.end(), fs::path(relative).replace_extension());
        ASSERT_NE(at, names.end()) << line;
        const auto index = at - names.begin();
        // The zeros after the track of two files in three are no chunk: dropped, a repair.
        EXPECT_EQ(line["status"], index % 5 == 0   ? "failed"
                                  : index % 3 != 0 ? "repaired"
                                                   : "converted");
    }
    EXPECT_NE(errors[0].find("korvane: " + Src(names[0]) +
                             ".mid: The output MIDI file can not be created." + kNoFile),
              std::string::npos);
    EXPECT_NE(errors[0].find("korvane: 60 files: 48 converted, 32 of them repaired, 12 failed, 0 "
                             "skipped,"),
              std::string::npos)
        << errors[0];
    for (size_t i = 1; i < reports.size(); ++i) {
        EXPECT_EQ(Inputs(ReadReport(reports[i])), Inputs(first));
        EXPECT_EQ(errors[i], errors[0]);
    }
}

TEST_F(CollectionRun, FailuresPrintInInputOrderWhateverTheJobs) {
    for (int i = 100; i < 140; ++i) {
        Put("f" + std::to_string(i) + ".mid", Song(0x40));
    }
    fs::create_directories(Src("f105KRV.mid"));
    fs::create_directories(Src("f131KRV.mid"));
    for (const char* jobs : {"--jobs=1", "--jobs=8"}) {
        const ProcessResult result = Run({jobs, "--quiet", Src()});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "korvane: " + Src("f105.mid") +
                                  ": The output MIDI file can not be created." + kNoFile +
                                  "korvane: " + Src("f131.mid") +
                                  ": The output MIDI file can not be created." + kNoFile);
    }
}

TEST_F(CollectionRun, SkipExistingLeavesCurrentOutputs) {
    Put("a.mid", Song(0x64));
    Put("b.mid", Song(0x64));
    ASSERT_EQ(Run({"--output-dir=" + Out(), Src()}).exitCode, 0);
    WriteFileBytes(Out("bKRV.mid"), {1, 2, 3}); // newer than its input
    // a.mid changes after its output was made.
    struct timespec later[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 60, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Src("a.mid").c_str(), later, 0), 0);

    const ProcessResult result =
        Run({"--output-dir=" + Out(), "--skip-existing", "--report=-", "--volume=0", Src()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<Json> lines = ReadReport(result.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["status"], "converted");
    EXPECT_EQ(lines[1]["status"], "skipped");
    EXPECT_TRUE(lines[1]["bytes_out"].is_null());
    EXPECT_EQ(ReadFileBytes(Out("aKRV.mid")), Song(0x7F, 0x7F));
    EXPECT_EQ(ReadFileBytes(Out("bKRV.mid")), (Bytes{1, 2, 3}));
    EXPECT_NE(result.err.find("1 converted, 0 of them repaired, 0 failed, 1 skipped"),
              std::string::npos)
        << result.err;
}

TEST_F(CollectionRun, ShardsAddUpToTheWholeWithNoOverlap) {
    for (int i = 0; i < 50; ++i) {
        Put("d" + std::to_string(i % 4) + "/" + std::to_string(i) + ".mid", Song(0x40));
    }
    Put("top.mid", Song(0x40));
    const Strings whole =
        Inputs(ReadReport(Run({"--report=-", "--output-dir=" + Out(), Src()}).out));
    ASSERT_EQ(whole.size(), 51u);
    for (const int count : {1, 2, 3, 7}) {
        std::multiset<std::string> together;
        for (int index = 0; index < count; ++index) {
            const std::string shard = std::to_string(index) + "/" + std::to_string(count);
            const ProcessResult result =
                Run({"--shard=" + shard, "--report=-", "--output-dir=" + Out(shard), Src()});
            EXPECT_EQ(result.exitCode, 0) << result.err;
            const Strings inputs = Inputs(ReadReport(result.out));
            EXPECT_TRUE(std::is_sorted(inputs.begin(), inputs.end()));
            if (count > 1) {
                EXPECT_LT(inputs.size(), whole.size()) << shard;
            }
            together.insert(inputs.begin(), inputs.end());
        }
        EXPECT_EQ(Strings(together.begin(), together.end()), whole) << count;
    }
}

TEST_F(CollectionRun, UsageErrorsWriteNothing) {
    Put("a.mid", Song(0x40));
    for (const Strings& args : {Strings{"--keep-names", Src()},
                                {"--shard=2/2", Src()},
                                {"--shard=1", Src()},
                                {"--jobs=0", Src()},
                                {"--output=" + folder.File("o.mid"), Src()},
                                {"--output=" + folder.File("o.mid"), Src("a.mid"), Src("a.mid")}}) {
        const ProcessResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << args[0];
        EXPECT_EQ(result.err.rfind("korvane: ", 0), 0u);
        EXPECT_EQ(FilesBelow(folder.Path()), Strings{"src/a.mid"}) << args[0];
    }
}

TEST_F(CollectionRun, EmptyFolderAndMissingReportFolder) {
    fs::create_directories(Src());
    ProcessResult result = Run({Src()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err.rfind("korvane: 0 files: 0 converted, 0 of them repaired, 0 failed, 0 "
                               "skipped, in ",
                               0),
              0u)
        << result.err;
    Put("a.mid", Song(0x40));
    result = Run({"--report=" + folder.File("no/such/report.jsonl"), Src()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(FileExists(Src("aKRV.mid"))); // nothing converted without its report
}
// A folder that cannot be read fails on its own; the walk goes on. Root reads every folder,
// so then the run is made by an unprivileged user.
TEST_F(CollectionRun, UnreadableFolderFailsAndTheWalkGoesOn) {
    Put("a/in.mid", Song(0x40));
    Put("b/secret/in.mid", Song(0x40));
    Put("c/in.mid", Song(0x40));
    fs::permissions(folder.Path(), fs::perms::all);
    fs::permissions(config.Path(), fs::perms::all);
    fs::create_directories(Out());
    fs::permissions(Out(), fs::perms::all);
    fs::permissions(Src("b/secret"), fs::perms::owner_write | fs::perms::owner_exec);
    const Strings args{"--report=-", "--output-dir=" + Out(), Src()};
    Strings command{"--reuid=65534", "--regid=65534", "--clear-groups", KORVANE_BINARY};
    command.insert(command.end(), args.begin(), args.end());
    const ProcessResult result = ::geteuid() == 0 ? RunProcess("/usr/bin/setpriv", command,
                                                               {{"XDG_CONFIG_HOME", config.Path()}},
                                                               {"DISPLAY", "WAYLAND_DISPLAY"})
                                                  : Run(args);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1),
              "korvane: " + Src("b/secret") +
                  ": This folder can not be read. (Permission denied)\n");
    const std::vector<Json> lines = ReadReport(result.out);
    ASSERT_EQ(lines.size(), 3u) << result.out;
    EXPECT_EQ(lines[1]["input"], Src("b/secret"));
    EXPECT_EQ(lines[1]["status"], "failed");
    EXPECT_TRUE(lines[1]["output"].is_null());
    EXPECT_EQ(lines[2]["status"], "converted");
    EXPECT_EQ(FilesBelow(Out()), (Strings{"a/inKRV.mid", "c/inKRV.mid"}));
    EXPECT_NE(result.err.find("3 files: 2 converted, 0 of them repaired, 1 failed"),
              std::string::npos);
}

// Names that are not UTF-8 keep readable text in the report and their exact bytes beside it,
// so two such names never give the same line.
TEST_F(CollectionRun, ReportKeepsTheExactBytesOfNamesThatAreNotUtf8) {
    Put("a\xff.mid", Song(0x64));
    Put("a\xfe.mid", Song(0x64));
    Put("\xc3\xa9.mid", Song(0x64));
    const ProcessResult result = Run({"--report=-", Src()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<Json> lines = ReadReport(result.out);
    ASSERT_EQ(lines.size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        const std::string name = i == 0 ? "a\xfe" : "a\xff";
        EXPECT_EQ(lines[i]["input"], Src() + "/a\xef\xbf\xbd.mid");
        EXPECT_EQ(lines[i]["input_bytes"], Base64Of(Src(name + ".mid")));
        EXPECT_EQ(lines[i]["output_bytes"], Base64Of(Src(name + "KRV.mid")));
        EXPECT_EQ(ReadFileBytes(Src(name + "KRV.mid")), Song(0x64));
    }
    EXPECT_EQ(lines[2]["input"], Src("\xc3\xa9.mid"));
    EXPECT_FALSE(lines[2].contains("input_bytes"));
    EXPECT_FALSE(lines[2].contains("output_bytes"));
}

// With few descriptors and many jobs asked, the run starts only the jobs the descriptors can
// serve: no file fails for want of one.
TEST_F(CollectionRun, ManyJobsWithFewDescriptorsConvertEveryFile) {
    for (int i = 0; i < 400; ++i) {
        Put(std::to_string(i % 20) + "/" + std::to_string(i) + ".mid", Song(0x40));
    }
    const ProcessResult result =
        RunProcess("/bin/sh",
                   {"-c", "ulimit -n 64 && exec \"$0\" \"$@\"", KORVANE_BINARY, "--jobs=1000",
                    "--quiet", "--output-dir=" + Out(), Src()},
                   {{"XDG_CONFIG_HOME", config.Path()}}, {"DISPLAY", "WAYLAND_DISPLAY"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(FilesBelow(Out()).size(), 400u);
}

// A report that would replace an input or an output of the run, however it is spelled, is
// refused before anything is written.
TEST_F(CollectionRun, ReportNamingAnInputOrOutputIsAUsageError) {
    Put("a.mid", Song(0x64));
    Put("x.mid", Song(0x50));
    Put("xKRV.mid", {1, 2, 3}); // an earlier output
    fs::create_symlink(Src("x.mid"), folder.File("link.jsonl"));
    const std::map<std::string, Bytes> before = Snapshot(folder.Path());
    for (const Strings& args :
         {Strings{"--report=" + Src("x.mid"), Src("x.mid")},
          {"--report=" + Src("x.mid"), "--output-dir=" + Out(), Src()},
          {"--report=" + folder.File("src/./x.mid"), Src()},
          {"--report=" + folder.File("link.jsonl"), "--jobs=2", Src()},
          {"--report=" + Src("xKRV.mid"), Src("x.mid")},
          {"--report=" + Out("aKRV.mid"), "--output-dir=" + Out(), Src()},
          {"--report=" + folder.File("o.mid"), "--output=" + folder.File("o.mid"), Src("a.mid")}}) {
        const ProcessResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << args[0] << result.err;
        EXPECT_EQ(result.err.rfind("korvane: --report=", 0), 0u) << result.err;
        EXPECT_EQ(Snapshot(folder.Path()), before) << args[0];
    }
}

// An output folder that is the folder walked puts the outputs beside their inputs.
TEST_F(CollectionRun, OutputFolderThatIsTheInputFolderConvertsBeside) {
    Put("a.mid", Song(0x64));
    Put("sub/b.mid", Song(0x50));
    fs::create_directory_symlink(Src(), folder.File("link"));
    const std::map<std::string, Bytes> before = Snapshot(folder.Path());
    for (const std::string& outputDir : {Src(), folder.File("link"), Src() + "/"}) {
        const ProcessResult result =
            Run({"--output-dir=" + outputDir, "--keep-names", "--volume=0", Src()});
        EXPECT_EQ(result.exitCode, 2) << result.err;
        EXPECT_NE(result.err.find("with --keep-names every output would replace its input"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(Snapshot(folder.Path()), before);
    }
    for (const std::string& outputDir : {Src(), folder.File("link")}) {
        const ProcessResult result = Run({"--output-dir=" + outputDir, "--volume=0", Src()});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.err.find("2 files: 2 converted"), std::string::npos) << result.err;
        EXPECT_EQ(FilesBelow(Src()), (Strings{"a.mid", "aKRV.mid", "sub/b.mid", "sub/bKRV.mid"}));
        EXPECT_EQ(ReadFileBytes(Src("sub/bKRV.mid")), Song(0x7F, 0x7F));
        EXPECT_EQ(ReadFileBytes(Src("a.mid")), Song(0x64));
        EXPECT_EQ(ReadFileBytes(Src("sub/b.mid")), Song(0x50));
    }
}

// Under --output-dir, a link in an output's place or on its way may not lead out of it.
TEST_F(CollectionRun, OutputLinkLeadingOutOfTheOutputFolderIsNotFollowed) {
    for (const char* name : {"a.mid", "b.mid", "c.mid", "d/e.mid"}) {
        Put(name, Song(0x64));
    }
    fs::create_directories(Out());
    fs::create_directories(folder.File("elsewhere"));
    WriteFileBytes(folder.File("elsewhere/victim.mid"), {9, 9});
    fs::create_symlink(folder.File("elsewhere/victim.mid"), Out("aKRV.mid"));
    fs::create_symlink(folder.File("elsewhere/new.mid"), Out("bKRV.mid")); // dangling
    fs::create_symlink("kept.mid", Out("cKRV.mid"));                       // stays inside
    fs::create_directory_symlink(folder.File("elsewhere"), Out("d"));
    const ProcessResult result = Run({"--report=-", "--output-dir=" + Out(), Src()});
    EXPECT_EQ(result.exitCode, 1);
    const std::string refused =
        ": The output MIDI file can not be created. (a link leads out of the output folder)\n";
    EXPECT_NE(result.err.find("korvane: " + Src("a.mid") + refused), std::string::npos);
    EXPECT_NE(result.err.find("korvane: " + Src("b.mid") + refused), std::string::npos);
    EXPECT_NE(result.err.find("korvane: " + Src("d/e.mid") + refused), std::string::npos);
    EXPECT_EQ(Snapshot(folder.File("elsewhere")),
              (std::map<std::string, Bytes>{{"victim.mid", {9, 9}}}));
    EXPECT_EQ(ReadFileBytes(Out("kept.mid")), Song(0x64));

    // A file named on its own still writes through its link.
    const ProcessResult alone = Run({"--output=" + Out("aKRV.mid"), Src("a.mid")});
    EXPECT_EQ(alone.exitCode, 0) << alone.err;
    EXPECT_EQ(ReadFileBytes(folder.File("elsewhere/victim.mid")), Song(0x64));
}

// --check reads like a conversion and writes nothing; every line says what a conversion would
// do, with a stable code beside the message, and the exit status says whether all is sound.
TEST_F(CollectionRun, CheckWritesNothingAndSaysWhatWouldBeRepaired) {
    Put("a.mid", Song(0x64));
    Put("b.mid", kCutSong);
    Put("c.mid", {'h', 'e', 'l', 'l', 'o', '\n'});
    const auto before = Snapshot(Src());
    const ProcessResult result = Run({"--check", "--report=-", Src()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(Snapshot(Src()), before);
    const std::vector<Json> lines = ReadReport(result.out);
    ASSERT_EQ(lines.size(), 3u) << result.err;
    const struct {
        const char* status;
        Json error;
    } expected[] = {{"converted", nullptr}, {"would-repair", nullptr}, {"refused", "not-midi"}};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]["status"], expected[i].status) << i;
        EXPECT_EQ(lines[i]["error"], expected[i].error) << i;
        EXPECT_TRUE(lines[i]["output"].is_null()) << i;
    }
    EXPECT_EQ(lines[1]["repairs"]["tracks_closed"], 1);
    EXPECT_NE(result.err.find("3 files: 2 checked, 1 of them in need of a repair, 1 failed"),
              std::string::npos)
        << result.err;

    fs::remove(Src("b.mid"));
    fs::remove(Src("c.mid"));
    EXPECT_EQ(Run({"--check", Src()}).exitCode, 0);
    EXPECT_EQ(FilesBelow(Src()), Strings{"a.mid"});
}

// One track of the events given, closed by End of Track.
Bytes SongOf(const Bytes& events) {
    Bytes song = kHeader;
    const auto length = static_cast<uint8_t>(events.size() + 4);
    song.insert(song.end(), {'M', 'T', 'r', 'k', 0, 0, 0, length});
    song.insert(song.end(), events.begin(), events.end());
    song.insert(song.end(), {0x00, 0xFF, 0x2F, 0x00});
    return song;
}

// Under the stuck-note repair a file needs one only where a key is struck again while it
// sounds or is left sounding at End of Track; a Note On of velocity 0 is a release.
TEST_F(CollectionRun, CheckNamesOnlyKeysLeftSounding) {
    const struct {
        const char* name;
        Bytes events;
        int exitCode;
        int noteOffs;
    } cases[] = {
        {"silenced", {0x00, 0x90, 0x3C, 0x40, 0x60, 0x3C, 0x00}, 0, 0},
        {"released", {0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x40}, 0, 0},
        {"struck-again", {0x00, 0x90, 0x3C, 0x40, 0x60, 0x3C, 0x40, 0x60, 0x3C, 0x00}, 1, 1},
        {"left-sounding", {0x00, 0x90, 0x3C, 0x40, 0x60, 0x3E, 0x40, 0x00, 0x3E, 0x00}, 1, 1},
    };
    for (const auto& c : cases) {
        Put(std::string(c.name) + ".mid", SongOf(c.events));
        const ProcessResult result =
            Run({"--check", "--fix-stuck-notes", "--report=-", Src(std::string(c.name) + ".mid")});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name << result.err;
        const std::vector<Json> lines = ReadReport(result.out);
        ASSERT_EQ(lines.size(), 1u) << c.name;
        EXPECT_EQ(lines[0]["status"], c.exitCode == 0 ? "converted" : "would-repair") << c.name;
        EXPECT_EQ(lines[0]["repairs"]["note_offs_inserted"], c.noteOffs) << c.name;
    }
}

TEST_F(CollectionRun, FirstLineHoldsTheSettings) {
    Put("a.mid", Song(0x64));
    const ProcessResult result =
        Run({"--report=-", "--speed=150", "--fix-stuck-notes", "--output-dir=" + Out(), Src()});
    const Json settings = Json::parse(result.out.substr(0, result.out.find('\n')));
    EXPECT_EQ(settings["settings"], Json::parse(R"({"speed": 150, "dynamic_range": 500,
        "volume": 500, "fix_stuck_notes": true, "keep_bars": false, "channels": 65535,
        "peak": null, "output_dir": ")" + Out() +
                                                R"(", "keep_names": false,
        "skip_existing": false, "check": false})"));
}

} // namespace

} // namespace korvane
