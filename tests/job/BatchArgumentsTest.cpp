#include "job/BatchArguments.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {
struct ScanCase {
    const char* name;
    std::vector<std::string> args;
    bool seen;
    std::string inputPath;
    std::vector<std::string> stray;
    std::vector<std::string> plain;
};

class ScanTable : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanTable, Scans) {
    std::vector<std::string> args{"korvane"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const BatchArguments scan = ScanBatchArguments(args);
    EXPECT_EQ(scan.seen, GetParam().seen);
    EXPECT_EQ(scan.inputPath, GetParam().inputPath);
    EXPECT_EQ(scan.inputGiven, !GetParam().inputPath.empty());
    EXPECT_EQ(scan.strayOptions, GetParam().stray);
    EXPECT_EQ(scan.plainArguments, GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(
    Loop, ScanTable,
    testing::Values(
        ScanCase{"None", {}, false, "", {}, {}},
        ScanCase{"OthersSkipped", {"-x", "song.mid"}, false, "", {"-x"}, {"song.mid"}},
        ScanCase{"File", {"-f", "/m/a.mid"}, true, "/m/a.mid", {}, {}},
        ScanCase{"PrefixCounts", {"-file", "a.mid", "-verbose", "1"}, true, "a.mid", {}, {}},
        ScanCase{"VTakesFAsValueThenFIsSeen", {"-v", "-f", "a.mid"}, true, "a.mid", {}, {}},
        ScanCase{"LastFWins", {"-f", "a.mid", "-f", "b.mid"}, true, "b.mid", {}, {}},
        ScanCase{"VAlone", {"-v", "1"}, true, "", {}, {}},
        ScanCase{"FLastWithoutValue", {"a.mid", "-f"}, false, "", {}, {"a.mid"}},
        ScanCase{"VLastWithoutValue", {"-f", "a.mid", "-v"}, true, "a.mid", {}, {}},
        ScanCase{"FValueMayLookLikeOption", {"-f", "-x.mid"}, true, "-x.mid", {}, {}}),
    [](const testing::TestParamInfo<ScanCase>& param) { return param.param.name; });
} // namespace
} // namespace korvane
