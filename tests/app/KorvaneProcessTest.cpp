#include "testing/Process.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;

const Bytes kHeader{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60};
const Bytes kSong = [] {
    Bytes song = kHeader;
    song.insert(song.end(), {'M',  'T',  'r',  'k',  0,    0,    0,    12,   0x00, 0x90,
                             0x3C, 0x64, 0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00});
    return song;
}();

class KorvaneProcess : public testing::Test {
  protected:
    ProcessResult Run(const std::vector<std::string>& args) {
        return RunProcess(KORVANE_BINARY, args, {{"XDG_CONFIG_HOME", config.Path()}},
                          {"DISPLAY", "WAYLAND_DISPLAY"});
    }

    void StoreLanguage(int language) {
        std::ofstream(config.File("Korvane.ini"))
            << "[Version 1.0]\nLanguage = " << language << "\n";
    }

    TempFolder folder;
    TempFolder config;
    const std::string in = folder.File("song.mid");
    const std::string out = folder.File("songKRV.mid");
};

TEST_F(KorvaneProcess, ShortFileOptionConvertsBesideInput) {
    WriteFileBytes(in, kSong);
    const ProcessResult result = Run({"-f", in});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadFileBytes(out), kSong);
    EXPECT_EQ(ReadFileBytes(in), kSong);
}

TEST_F(KorvaneProcess, MissingInputFailsWithMessageAndKeepsEarlierOutput) {
    WriteFileBytes(out, {1, 2});
    const ProcessResult result = Run({"-f", in});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "korvane: " + in +
                  ": The input MIDI file can not be opened. (No such file or directory)\n");
    EXPECT_EQ(ReadFileBytes(out), (Bytes{1, 2}));
}

TEST_F(KorvaneProcess, LongOptionsAdjustEveryInput) {
    WriteFileBytes(in, kSong);
    WriteFileBytes(folder.File("two.mid"), kSong);
    const ProcessResult result =
        Run({"--speed=50", "--fix-stuck-notes", "--volume", "0", in, folder.File("two.mid")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    Bytes expected = kHeader;
    expected.insert(expected.end(),
                    {'M',  'T',  'r',  'k',  0,    0,    0,    17,   0x00, 0x80, 0x3C, 0x40, 0x00,
                     0x90, 0x3C, 0x7F, 0x81, 0x40, 0x80, 0x3C, 0x7F, 0x00, 0xFF, 0x2F, 0x00});
    EXPECT_EQ(ReadFileBytes(out), expected);
    EXPECT_EQ(ReadFileBytes(folder.File("twoKRV.mid")), expected);
}

TEST_F(KorvaneProcess, OneFailureDoesNotStopTheOthers) {
    WriteFileBytes(in, kSong);
    const std::string missing = folder.File("missing.mid");
    const ProcessResult result = Run({"--dynamic-range=500", missing, in});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "korvane: " + missing +
                  ": The input MIDI file can not be opened. (No such file or directory)\n");
    EXPECT_EQ(ReadFileBytes(out), kSong);
}

TEST_F(KorvaneProcess, OutputOptionAndOutputEqualsInput) {
    WriteFileBytes(in, kSong);
    ProcessResult result = Run({"--output=" + folder.File("chosen.mid"), in});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFileBytes(folder.File("chosen.mid")), kSong);

    result = Run({"--output", in, "--volume=1000", in});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "korvane: " + in + ": The output file must not be the input file.\n");
    EXPECT_EQ(ReadFileBytes(in), kSong);
}

TEST_F(KorvaneProcess, EmptyOutputIsNotCreated) {
    WriteFileBytes(in, kSong);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--output=", in}, {"--output", "", in}}) {
        const ProcessResult result = Run(args);
        EXPECT_EQ(result.exitCode, 1) << args[0];
        EXPECT_EQ(result.err, "korvane: " + in +
                                  ": The output MIDI file can not be created. (No such file or "
                                  "directory)\n");
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"song.mid"});
    }
}

// A file system of 64 KiB, mounted for one test where the tests may mount (as root).
class TinyFileSystem {
  public:
    explicit TinyFileSystem(const std::string& path) : m_path(path) {
        ::mkdir(path.c_str(), 0700);
        m_mounted = ::mount("korvane-test", path.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~TinyFileSystem() {
        if (m_mounted) {
            ::umount(m_path.c_str());
        }
    }
    bool Mounted() const { return m_mounted; }

  private:
    std::string m_path;
    bool m_mounted = false;
};

TEST_F(KorvaneProcess, FullDiskSaysWhyOnTheLineAndInTheReport) {
    const TinyFileSystem tiny(folder.File("tiny"));
    if (!tiny.Mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs privileges this run does not have";
    }
    Bytes song = kHeader;
    Bytes track;
    for (int i = 0; i < 40000; ++i) {
        track.insert(track.end(), {0x01, 0x90, 0x3C, 0x50});
    }
    song.insert(song.end(), {'M', 'T', 'r', 'k', 0x00, 0x02, 0x71, 0x00});
    song.insert(song.end(), track.begin(), track.end());
    WriteFileBytes(in, song);
    const std::string output = folder.File("tiny/big.mid");
    const ProcessResult result =
        Run({"--output=" + output, "--report=" + folder.File("report.jsonl"), in});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "korvane: " + in +
                  ": The output MIDI file can not be written. (No space left on device)\n");
    std::ifstream report(folder.File("report.jsonl"));
    const std::string line((std::istreambuf_iterator<char>(report)), {});
    EXPECT_NE(line.find("\"reason\":\"No space left on device\""), std::string::npos) << line;
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(KorvaneProcess, FifoIsRefusedAtOnceAsInputAndAsOutput) {
    const std::string fifo = folder.File("fifo.mid");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ProcessResult result = Run({"-f", fifo});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "korvane: " + fifo + ": The input MIDI file can not be opened.\n");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"fifo.mid"});

    WriteFileBytes(in, kSong);
    result = Run({"--output=" + fifo, in});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "korvane: " + in +
                              ": The output MIDI file can not be created. (the output's name is "
                              "no regular file (a folder, a device or a pipe))\n");
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"fifo.mid", "song.mid"}));
}

TEST_F(KorvaneProcess, CollidingInputsAreRefusedAndTheOthersConverted) {
    const std::string a = folder.File("a.mid");
    const std::string aOut = folder.File("aKRV.mid");
    const std::string ax = folder.File("a.x.mid");
    const Bytes earlier{1, 2, 3};
    WriteFileBytes(in, kSong);
    WriteFileBytes(a, kSong);
    WriteFileBytes(aOut, earlier);
    WriteFileBytes(ax, kSong);
    const std::string collide =
        ": Two inputs of this run would be written to the same output file.\n";

    ProcessResult result = Run({"--speed=100", a, in, aOut});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "korvane: " + a + collide + "korvane: " + aOut + collide);
    EXPECT_EQ(ReadFileBytes(aOut), earlier);
    EXPECT_EQ(ReadFileBytes(out), kSong);
    EXPECT_FALSE(FileExists(folder.File("aKRVKRV.mid")));

    ASSERT_EQ(::unlink(aOut.c_str()), 0);
    StoreLanguage(0);
    result = Run({"--volume=400", a, ax});
    EXPECT_EQ(result.exitCode, 1);
    const std::string german =
        ": Zwei Eingabedateien dieses Laufs würden in dieselbe Ausgabedatei geschrieben.\n";
    EXPECT_EQ(result.err, "korvane: " + a + german + "korvane: " + ax + german);
    EXPECT_FALSE(FileExists(aOut));
}

TEST_F(KorvaneProcess, MessagesSpeakTheStoredLanguage) {
    StoreLanguage(0);
    EXPECT_EQ(
        Run({"-f", in}).err,
        "korvane: " + in +
            ": Die Eingang MIDI Akte kann nicht geöffnet werden. (No such file or directory)\n");
    StoreLanguage(3);
    EXPECT_EQ(
        Run({"--speed=10", in}).err,
        "korvane: " + in +
            ": Le dossier du MIDI d'entrée ne peut pas être ouvert. (No such file or directory)\n");
    StoreLanguage(7);
    EXPECT_EQ(Run({"-f", in}).err,
              "korvane: " + in +
                  ": The input MIDI file can not be opened. (No such file or directory)\n");
}

TEST_F(KorvaneProcess, UsageErrorsExitTwo) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--speed=-3", in},
                                                 {"--nope", in},
                                                 {"--speed=5"},
                                                 {"--speed=5", "-q", in},
                                                 {"--output=x.mid", in, in},
                                                 {"-v", "1", in},
                                                 {"-x.mid"}}) {
        const ProcessResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << args[0];
        EXPECT_NE(result.err.find("korvane: "), std::string::npos);
        EXPECT_FALSE(FileExists(out));
    }
}

TEST_F(KorvaneProcess, HelpAndVersion) {
    ProcessResult result = Run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("--fix-stuck-notes"), std::string::npos);
    result = Run({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("korvane ", 0), 0u);
}

TEST_F(KorvaneProcess, ShortHelpAndVersion) {
    EXPECT_EQ(Run({"-h"}).out, Run({"--help"}).out);
    const ProcessResult version = Run({"-V"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, Run({"--version"}).out);
}

// korvane as a filter: "-" reads standard input (a file or a pipe), "--output=-" writes
// standard output, which is the default for "-".
TEST_F(KorvaneProcess, DashReadsStandardInputAndWritesStandardOutput) {
    WriteFileBytes(in, kSong);
    Bytes loud = kSong; // --volume=0: every level at its highest
    loud[25] = loud[29] = 0x7F;
    const std::string piped = folder.File("piped.mid");
    const std::string shell = "exec \"$0\" \"$@\" <\"$IN\" >\"$OUT\"";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-c", shell, KORVANE_BINARY, "--volume=0", "-"},
          {"-c", "cat \"$IN\" | \"$0\" \"$@\" | cat >\"$OUT\"", KORVANE_BINARY, "-", "--volume",
           "0"},
          {"-c", shell, KORVANE_BINARY, "--volume=0", "--output=-", in},
          {"-c", shell, KORVANE_BINARY, "-f", "-", "--volume=0"}}) {
        ::unlink(piped.c_str());
        const ProcessResult result = RunProcess(
            "/bin/sh", args, {{"XDG_CONFIG_HOME", config.Path()}, {"IN", in}, {"OUT", piped}});
        EXPECT_EQ(result.exitCode, 0) << args[1] << result.err;
        EXPECT_EQ(ReadFileBytes(piped), loud) << args[1];
        EXPECT_EQ(FolderEntries(folder.Path()),
                  (std::vector<std::string>{"piped.mid", "song.mid"}));
    }
}

TEST_F(KorvaneProcess, StandardStreamsThatCannotServeAreUsageErrors) {
    WriteFileBytes(in, kSong);
    const std::string binary = KORVANE_BINARY;
    // On a terminal (script gives the command one), nothing is read or printed.
    for (const std::string& command :
         {binary + " - <" + in, binary + " --output=- " + in, binary + " -", binary + " -f -"}) {
        const ProcessResult result =
            RunProcess("/usr/bin/script", {"-qec", command, "/dev/null"},
                       {{"XDG_CONFIG_HOME", config.Path()}}, {"DISPLAY", "WAYLAND_DISPLAY"});
        EXPECT_EQ(result.exitCode, 2) << command << result.out;
        EXPECT_NE(result.out.find("is a terminal"), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find("MThd"), std::string::npos);
    }
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-", in},
                                                 {"--output-dir=" + folder.Path(), "-"},
                                                 {"--report=-", "--output=-", in}}) {
        const ProcessResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << args[0] << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"song.mid"});
    }
}

// Control characters in a name reach the terminal escaped, never raw.
TEST_F(KorvaneProcess, NamesAreEscapedOnStandardError) {
    const std::string missing = folder.File("x\033[31mRED\t\\.mid");
    const ProcessResult result = Run({"--volume=0", missing});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "korvane: " + folder.File("x\\033[31mRED\\t\\\\.mid") +
                  ": The input MIDI file can not be opened. (No such file or directory)\n");
}

TEST_F(KorvaneProcess, DisplayThatDoesNotAnswerConvertsWithoutTheWindow) {
    WriteFileBytes(in, kSong);
    const std::map<std::string, std::string> unanswered{{"XDG_CONFIG_HOME", config.Path()},
                                                        {"DISPLAY", ":korvane-none"}};
    const std::vector<std::string> noPlatform{"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    ProcessResult result = RunProcess(KORVANE_BINARY, {"-f", in}, unanswered, noPlatform);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFileBytes(out), kSong);
    result = RunProcess(KORVANE_BINARY, {}, unanswered, noPlatform);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("the display does not answer"), std::string::npos);
}

// The largest peak memory of the conversions run so far, in KiB.
long PeakMemoryOfConversions() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

// A track of 64 MiB of notes, written a MiB at a time so the test holds none of it.
void WriteLargeTrack(const std::string& path) {
    constexpr uint32_t kTrackBytes = 64 << 20;
    Bytes block;
    while (block.size() < (1 << 20)) {
        block.insert(block.end(), {0x00, 0x90, 0x3C, 0x64, 0x10, 0x80, 0x3C, 0x40});
    }
    std::ofstream file(path, std::ios::binary);
    Bytes head = kHeader;
    head.insert(head.end(), {'M', 'T', 'r', 'k', kTrackBytes >> 24, 0, 0, 0});
    file.write(reinterpret_cast<const char*>(head.data()),
               static_cast<std::streamsize>(head.size()));
    for (uint32_t written = 0; written < kTrackBytes; written += block.size()) {
        file.write(reinterpret_cast<const char*>(block.data()),
                   static_cast<std::streamsize>(block.size()));
    }
}

// A command-line conversion keeps no levels and reads a track a window at a time: its memory
// does not grow with the track (holding the track and its levels would add some 80 MiB).
TEST_F(KorvaneProcess, MemoryDoesNotGrowWithTheTrack) {
    WriteFileBytes(in, kSong);
    ASSERT_EQ(Run({"-f", in}).exitCode, 0);
    const long small = PeakMemoryOfConversions();
    const std::string large = folder.File("large.mid");
    WriteLargeTrack(large);
    const ProcessResult result = Run({"-f", large});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(std::filesystem::file_size(folder.File("largeKRV.mid")),
              std::filesystem::file_size(large) + 4); // every note kept, End of Track added
    EXPECT_LT(PeakMemoryOfConversions() - small, 32 * 1024);
}

TEST_F(KorvaneProcess, NoBatchOptionAndNoDisplayExitsTwo) {
    const ProcessResult result = Run({});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_FALSE(result.err.empty());
}
#ifdef KORVANE_WINDOW_MODULE
// The window is a module loaded only when a window is wanted: a copy of korvane without it
// still converts, and asking it for the window gives a message instead of a crash.
TEST_F(KorvaneProcess, WithoutTheWindowModuleOnlyTheWindowFails) {
    const std::string alone = folder.File("korvane");
    std::filesystem::copy_file(KORVANE_BINARY, alone);
    WriteFileBytes(in, kSong);
    ProcessResult result = RunProcess(alone, {"-f", in}, {{"XDG_CONFIG_HOME", config.Path()}},
                                      {"DISPLAY", "WAYLAND_DISPLAY"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFileBytes(out), kSong);
    const std::map<std::string, std::string> window{{"XDG_CONFIG_HOME", config.Path()},
                                                    {"DISPLAY", ":korvane-test"},
                                                    {"QT_QPA_PLATFORM", "offscreen"}};
    result = RunProcess(alone, {}, window, {"WAYLAND_DISPLAY"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("the window cannot be loaded"), std::string::npos) << result.err;
}
#endif
} // namespace
} // namespace korvane
