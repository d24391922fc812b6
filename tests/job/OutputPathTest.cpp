#include "job/OutputPath.h"

#include "testing/CaseName.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {
struct PathCase {
    std::string input;
    std::string expected;
};

class DeriveOutputPathTable : public testing::TestWithParam<PathCase> {};

TEST_P(DeriveOutputPathTable, Derives) {
    EXPECT_EQ(DeriveOutputPath(GetParam().input), GetParam().expected);
}

std::string Repeat(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DeriveOutputPathTable,
    testing::Values(
        PathCase{"/Music/Song.live.mid", "/Music/SongKRV.mid"},
        PathCase{"/Music/Song", "/Music/SongKRV.mid"}, PathCase{"/Music/", "/Music/KRV.mid"},
        PathCase{"", "KRV.mid"}, PathCase{"song.mid", "songKRV.mid"},
        PathCase{"/song.mid", "/songKRV.mid"}, PathCase{"a.b/song", "a.b/songKRV.mid"},
        PathCase{"/m/" + Repeat("a", 55) + ".mid", "/m/" + Repeat("a", 55) + ".midKRV.mid"},
        PathCase{"/m/" + Repeat("a", 49) + ".mid", "/m/" + Repeat("a", 49) + "KRV.mid"},
        PathCase{"/m/" + Repeat("a", 50) + ".mid", "/m/" + Repeat("a", 50) + ".midKRV.mid"},
        // The window counts characters, not bytes.
        PathCase{"/m/" + Repeat("é", 49) + ".mid", "/m/" + Repeat("é", 49) + "KRV.mid"},
        PathCase{"/m/" + Repeat("é", 50) + ".mid", "/m/" + Repeat("é", 50) + ".midKRV.mid"}),
    [](const auto& testCase) { return CaseName(testCase.index, testCase.param.input); });

TEST(FolderOfPath, KeepsUpToLastSlash) {
    EXPECT_EQ(FolderOfPath("/Music/Song.mid"), "/Music/");
    EXPECT_EQ(FolderOfPath("/Music/"), "/Music/");
    EXPECT_EQ(FolderOfPath("Song.mid"), "");
    EXPECT_EQ(FolderOfPath("/"), "/");
}

TEST(OutputUnderFolder, MirrorsThePlaceBelowTheFolderGiven) {
    EXPECT_EQ(OutputUnderFolder("out", "a/b.live.mid", false), "out/a/bKRV.mid");
    EXPECT_EQ(OutputUnderFolder("out/", "b.mid", false), "out/bKRV.mid");
    EXPECT_EQ(OutputUnderFolder("/", "b.mid", true), "/b.mid");
    EXPECT_EQ(OutputUnderFolder("out", "a/b.live.mid", true), "out/a/b.live.mid");
}
} // namespace
} // namespace korvane
