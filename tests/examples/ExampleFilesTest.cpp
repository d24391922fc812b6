// The demo files as an independent reader (midicsv) sees them, plus the raw bytes where the
// reader hides the encoding (running status).
#include "examples/DemoSongs.h"
#include "testing/BenchmarkSong.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace korvane {
namespace {
struct CsvRecord {
    int track;
    long tick;
    std::string type;
    std::vector<std::string> fields;
    int Int(size_t i) const { return std::stoi(fields.at(i)); }
};

struct CsvFile {
    std::vector<CsvRecord> records;
    std::string errors;
};

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? "" : s.substr(first);
}

// Runs midicsv; anything it prints that is not a record, or a failing exit status, is an error.
CsvFile ReadWithMidicsv(const std::string& path) {
    CsvFile csv;
    FILE* pipe = ::popen((std::string(MIDICSV) + " '" + path + "' 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        csv.errors = "cannot run midicsv";
        return csv;
    }
    std::string text;
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        text.append(chunk, n);
    }
    const int status = ::pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        csv.errors += "midicsv failed\n";
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> parts;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ',')) {
            parts.push_back(Trim(field));
        }
        if (parts.size() < 3 || parts[0].find_first_not_of("0123456789") != std::string::npos) {
            csv.errors += line + "\n";
            continue;
        }
        csv.records.push_back({std::stoi(parts[0]), std::stol(parts[1]), parts[2],
                               std::vector<std::string>(parts.begin() + 3, parts.end())});
    }
    return csv;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string ExamplePath(const std::string& name) {
    return std::string(KORVANE_EXAMPLES_DIR) + "/" + name;
}

std::vector<const CsvRecord*> OfType(const CsvFile& csv, const std::string& type) {
    std::vector<const CsvRecord*> found;
    for (const CsvRecord& r : csv.records) {
        if (r.type == type) {
            found.push_back(&r);
        }
    }
    return found;
}

// Keys struck again while still sounding, as "channel:key".
std::set<std::string> KeysStruckWhileSounding(const CsvFile& csv, std::set<std::string>* stillOn) {
    std::map<std::string, int> sounding;
    std::set<std::string> restruck;
    for (const CsvRecord& r : csv.records) {
        if (r.type != "Note_on_c" && r.type != "Note_off_c") {
            continue;
        }
        const std::string key = std::to_string(r.track) + "/" + r.fields[0] + ":" + r.fields[1];
        if (r.type == "Note_on_c" && r.Int(2) > 0) {
            if (sounding[key] > 0) {
                restruck.insert(key);
            }
            ++sounding[key];
        } else {
            sounding[key] = 0;
        }
    }
    for (const auto& [key, count] : sounding) {
        if (count > 0 && stillOn != nullptr) {
            stillOn->insert(key);
        }
    }
    return restruck;
}

// Counts the channel events of each kind (status >> 4) stored without their status byte.
std::map<int, int> RunningStatusEvents(const std::vector<uint8_t>& file) {
    std::map<int, int> implied;
    size_t pos = 14;
    while (pos + 8 <= file.size()) {
        const size_t length = (size_t{file[pos + 4]} << 24) | (size_t{file[pos + 5]} << 16) |
                              (size_t{file[pos + 6]} << 8) | file[pos + 7];
        size_t p = pos + 8;
        const size_t end = p + length;
        uint8_t running = 0;
        while (p < end) {
            while (file.at(p++) & 0x80) {
            }
            uint8_t status = file.at(p);
            if (status & 0x80) {
                ++p;
            } else {
                status = running;
                ++implied[status >> 4];
            }
            if (status == 0xFF) {
                p += 1 + 1 + file.at(p + 1); // type, one-byte length, data
                running = 0;
            } else if (status == 0xF0 || status == 0xF7) {
                p += 1 + file.at(p);
                running = 0;
            } else {
                running = status;
                p += (status >> 4) == 0xC || (status >> 4) == 0xD ? 1 : 2;
            }
        }
        pos = end;
    }
    return implied;
}
} // namespace

TEST(ExampleFiles, EveryFileIsCurrentAndReadsCleanly) {
    for (const DemoSong& song : DemoSongs()) {
        SCOPED_TRACE(song.fileName);
        const std::vector<uint8_t> bytes = ReadFileBytes(ExamplePath(song.fileName));
        EXPECT_EQ(bytes, song.make().Bytes()) << "the build's Examples folder is stale";
        const CsvFile csv = ReadWithMidicsv(ExamplePath(song.fileName));
        EXPECT_EQ(csv.errors, "");
        const auto header = OfType(csv, "Header");
        ASSERT_EQ(header.size(), 1u);
        const int tracks = header[0]->Int(1);
        EXPECT_EQ(OfType(csv, "Start_track").size(), static_cast<size_t>(tracks));
        EXPECT_EQ(OfType(csv, "End_track").size(), static_cast<size_t>(tracks));
        EXPECT_EQ(OfType(csv, "End_of_file").size(), 1u);
        EXPECT_GT(OfType(csv, "Note_on_c").size(), 40u);
    }
}

TEST(ExampleFiles, OnlyStuckNotesLeavesKeysSounding) {
    for (const DemoSong& song : DemoSongs()) {
        SCOPED_TRACE(song.fileName);
        std::set<std::string> stillOn;
        const auto restruck =
            KeysStruckWhileSounding(ReadWithMidicsv(ExamplePath(song.fileName)), &stillOn);
        EXPECT_TRUE(stillOn.empty()) << "every key is released by the end";
        if (song.fileName == "StuckNotes.mid") {
            // Organ common tones C4 and E4, and the bass root, struck again unreleased.
            EXPECT_TRUE(restruck.count("2/0:60") && restruck.count("2/0:64"));
            EXPECT_TRUE(restruck.count("2/2:36"));
        } else {
            EXPECT_TRUE(restruck.empty());
        }
    }
}

TEST(ExampleFiles, PianoDynamicsSpansQuietToLoud) {
    const CsvFile csv = ReadWithMidicsv(ExamplePath("PianoDynamics.mid"));
    int low = 127;
    int high = 0;
    for (const CsvRecord* r : OfType(csv, "Note_on_c")) {
        if (r->Int(2) > 0) {
            low = std::min(low, r->Int(2));
            high = std::max(high, r->Int(2));
        }
    }
    EXPECT_LE(low, 16);
    EXPECT_GE(high, 120);
    EXPECT_FALSE(OfType(csv, "Program_c").empty());
}

TEST(ExampleFiles, RunningStatusVolumeUsesRunningStatusForNotesAndVolume) {
    const CsvFile csv = ReadWithMidicsv(ExamplePath("RunningStatusVolume.mid"));
    int volumeChanges = 0;
    for (const CsvRecord* r : OfType(csv, "Control_c")) {
        volumeChanges += r->Int(1) == 7 ? 1 : 0;
    }
    EXPECT_GE(volumeChanges, 9 * 16);
    const auto implied = RunningStatusEvents(ReadFileBytes(ExamplePath("RunningStatusVolume.mid")));
    EXPECT_GE(implied.count(0xB) ? implied.at(0xB) : 0, 9 * 10);
    EXPECT_GE(implied.count(0x9) ? implied.at(0x9) : 0, 100);
    EXPECT_EQ(implied.count(0x8), 0u) << "releases are Note On velocity 0";
}

TEST(ExampleFiles, Format0HasSysExAndTempoChanges) {
    const CsvFile csv = ReadWithMidicsv(ExamplePath("Format0SysExTempo.mid"));
    const auto header = OfType(csv, "Header");
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0]->Int(0), 0);
    EXPECT_EQ(header[0]->Int(1), 1);
    const auto sysex = OfType(csv, "System_exclusive");
    ASSERT_EQ(sysex.size(), 1u);
    EXPECT_EQ(sysex[0]->fields, (std::vector<std::string>{"5", "126", "127", "9", "1", "247"}));
    std::set<int> tempos;
    for (const CsvRecord* r : OfType(csv, "Tempo")) {
        tempos.insert(r->Int(0));
    }
    EXPECT_GE(tempos.size(), 3u);
}

TEST(BenchmarkSong, HasTheRequestedSizeAndReadsCleanly) {
    const std::vector<uint8_t> song = BenchmarkSong(1 << 20);
    EXPECT_GE(song.size(), (1u << 20) - 1024);
    EXPECT_LE(song.size(), (1u << 20) + 1024);
    EXPECT_EQ(song, BenchmarkSong(1 << 20)) << "the same size gives the same bytes";
    const std::string path = testing::TempDir() + "/benchmark-song.mid";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(song.data()),
               static_cast<std::streamsize>(song.size()));
    const CsvFile csv = ReadWithMidicsv(path);
    EXPECT_EQ(csv.errors, "");
    EXPECT_EQ(OfType(csv, "Start_track").size(), 17u);
    EXPECT_EQ(OfType(csv, "End_track").size(), 17u);
    EXPECT_GT(RunningStatusEvents(song).at(0x9), 10000);
    std::remove(path.c_str());
}

} // namespace korvane
