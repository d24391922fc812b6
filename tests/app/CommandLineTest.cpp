#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

namespace korvane {
namespace {
using Action = CommandLine::Action;

struct ParseCase {
    const char* name;
    std::vector<std::string> args;
    Action action;
    bool headless;
    std::vector<std::string> inputs;
};

class ParseTable : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, Parses) {
    std::vector<std::string> args{"korvane"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const CommandLine line = ParseCommandLine(args);
    EXPECT_EQ(line.action, GetParam().action) << line.error;
    EXPECT_EQ(line.headless, GetParam().headless);
    EXPECT_EQ(line.inputs, GetParam().inputs);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ParseTable,
    testing::Values(
        ParseCase{"Nothing", {}, Action::Window, false, {}},
        ParseCase{"BarePathOpensWindow", {"a.mid", "b.mid"}, Action::Window, false, {}},
        ParseCase{"ShortFile", {"-f", "a.mid"}, Action::Convert, false, {"a.mid"}},
        ParseCase{"ShortEveryF",
                  {"-f", "a.mid", "-f", "b.mid"},
                  Action::Convert,
                  false,
                  {"a.mid", "b.mid"}},
        ParseCase{
            "ShortFThenFile", {"-f", "a.mid", "b.mid"}, Action::Convert, false, {"a.mid", "b.mid"}},
        ParseCase{"ShortVAlone", {"-v", "x"}, Action::UsageError, false, {}},
        ParseCase{"ShortVThenFile", {"-v", "1", "x.mid"}, Action::UsageError, false, {}},
        ParseCase{"ShortStrayOption", {"-x", "-f", "a.mid"}, Action::UsageError, false, {}},
        ParseCase{"StrayOptionAlone", {"-x.mid"}, Action::UsageError, false, {}},
        ParseCase{"LongMakesHeadless",
                  {"--speed=50", "a.mid", "b.mid"},
                  Action::Convert,
                  true,
                  {"a.mid", "b.mid"}},
        // The volume shapes the levels, then the peak's gain brings the loudest note to N.
        ParseCase{"PeakWithVolume",
                  {"--peak=100", "--volume=400", "a.mid"},
                  Action::Convert,
                  true,
                  {"a.mid"}},
        ParseCase{"LongWithSeparateValue",
                  {"--volume", "700", "a.mid"},
                  Action::Convert,
                  true,
                  {"a.mid"}},
        ParseCase{"LongWithShortF",
                  {"--fix-stuck-notes", "-f", "a.mid", "b.mid"},
                  Action::Convert,
                  true,
                  {"a.mid", "b.mid"}},
        ParseCase{
            "LongWithVValue", {"--speed=80", "-v", "7", "a.mid"}, Action::Convert, true, {"a.mid"}},
        ParseCase{"DashesEndOptions", {"--", "-odd.mid"}, Action::Convert, true, {"-odd.mid"}},
        ParseCase{"Help", {"--help", "--speed=1"}, Action::Help, true, {}},
        ParseCase{"Version", {"--version"}, Action::Version, true, {}},
        ParseCase{"UnknownLong", {"--loud", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{
            "StrayShortInLongMode", {"--speed=50", "-x", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"NoInput", {"--speed=50"}, Action::UsageError, true, {}},
        ParseCase{"OutputWithTwoInputs",
                  {"--output=o.mid", "a.mid", "b.mid"},
                  Action::UsageError,
                  true,
                  {}},
        ParseCase{"NotAnInteger", {"--speed=fast", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"TrailingGarbage", {"--speed=50x", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"NegativeSpeed", {"--speed=-1", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"SpeedTooHigh", {"--speed=100001", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"RangeTooHigh", {"--dynamic-range=1001", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"VolumeNegative", {"--volume", "-5", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"ValueMissing", {"a.mid", "--volume"}, Action::UsageError, true, {}},
        ParseCase{
            "FlagWithValue", {"--fix-stuck-notes=yes", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"PeakZero", {"--peak=0", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"PeakTooHigh", {"--peak=128", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"ChannelZero", {"--channels=0-9", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"ChannelTooHigh", {"--channels=17", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"ChannelsBackwards", {"--channels=9-1", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"ChannelsEmptyItem", {"--channels=1,,3", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"ChannelsEmpty", {"--channels=", "a.mid"}, Action::UsageError, true, {}},
        ParseCase{"KeepBarsWithValue", {"--keep-bars=1", "a.mid"}, Action::UsageError, true, {}}),
    [](const testing::TestParamInfo<ParseCase>& param) { return param.param.name; });

// The speed texts every host answers alike (tests/data/speed-texts.json); the other integer
// options read their text by the same rule.
TEST(ParseCommandLine, AnswersTheSpeedTextsAsEveryHost) {
    std::ifstream file(KORVANE_SPEED_TEXTS);
    const nlohmann::json rows = nlohmann::json::parse(file);
    ASSERT_FALSE(rows.empty());
    for (const auto& row : rows) {
        const std::string text = row[0];
        const CommandLine line = ParseCommandLine({"korvane", "--speed=" + text, "a.mid"});
        const CommandLine volume = ParseCommandLine({"korvane", "--volume=" + text, "a.mid"});
        if (row[1].is_null()) {
            EXPECT_EQ(line.action, Action::UsageError) << '"' << text << '"';
        } else {
            ASSERT_EQ(line.action, Action::Convert) << '"' << text << "\": " << line.error;
            EXPECT_EQ(line.options.adjustments.m_speedPercent, row[1].get<int>());
            EXPECT_EQ(volume.action, row[1].get<int>() <= Adjustments::kLevelHighest
                                         ? Action::Convert
                                         : Action::UsageError);
        }
    }
}

TEST(ParseCommandLine, TakesValuesAtTheirBounds) {
    const CommandLine line =
        ParseCommandLine({"korvane", "--speed=100000", "--dynamic-range", "0", "--volume=1000",
                          "--fix-stuck-notes", "--output", "o.mid", "a.mid"});
    ASSERT_EQ(line.action, Action::Convert) << line.error;
    EXPECT_EQ(line.options.adjustments.m_speedPercent, 100000);
    EXPECT_EQ(line.options.adjustments.m_dynamicRange, 0);
    EXPECT_EQ(line.options.adjustments.m_volume, 1000);
    EXPECT_TRUE(line.options.adjustments.m_eliminateStuckNotes);
    EXPECT_EQ(line.options.outputPath, "o.mid");
}

TEST(ParseCommandLine, TakesChannelListsPeakAndKeepBars) {
    const struct {
        const char* list;
        uint16_t mask;
    } lists[] = {{"1-9,11-16", Adjustments::kAllButDrums},
                 {"10", 0x0200},
                 {"1,3,16", 0x8005},
                 {"1-16", Adjustments::kAllChannels},
                 {"4-4,2", 0x000A}};
    for (const auto& list : lists) {
        const CommandLine line = ParseCommandLine(
            {"korvane", std::string("--channels=") + list.list, "--peak=127", "a.mid"});
        ASSERT_EQ(line.action, Action::Convert) << list.list << ": " << line.error;
        EXPECT_EQ(line.options.adjustments.m_levelChannels, list.mask) << list.list;
        EXPECT_EQ(line.options.adjustments.m_peakLevel, 127);
        EXPECT_FALSE(line.options.adjustments.m_keepBars);
    }
    const CommandLine bars = ParseCommandLine({"korvane", "--keep-bars", "--speed=80", "a.mid"});
    EXPECT_TRUE(bars.options.adjustments.m_keepBars);
    EXPECT_EQ(bars.options.adjustments.m_levelChannels, Adjustments::kAllChannels);
    EXPECT_EQ(bars.options.adjustments.m_peakLevel, 0);
}

TEST(ParseCommandLine, EmptyOutputIsKeptApartFromNoOutput) {
    EXPECT_EQ(ParseCommandLine({"korvane", "--output=", "a.mid"}).options.outputPath, "");
    EXPECT_EQ(ParseCommandLine({"korvane", "--speed=5", "a.mid"}).options.outputPath, std::nullopt);
}
} // namespace

namespace {
// Paths named "dir" or "dir/..." stand for folders, without touching the disk.
bool FakeFolder(const std::string& path) {
    return path == "dir" || path.rfind("dir/", 0) == 0;
}

CommandLine ParseWithFolders(std::vector<std::string> args) {
    args.insert(args.begin(), "korvane");
    return ParseCommandLine(args, FakeFolder);
}

struct CollectionCase {
    const char* name;
    std::vector<std::string> args;
    Action action;
};

class CollectionParseTable : public testing::TestWithParam<CollectionCase> {};

TEST_P(CollectionParseTable, Parses) {
    const CommandLine line = ParseWithFolders(GetParam().args);
    EXPECT_EQ(line.action, GetParam().action) << line.error;
    EXPECT_TRUE(line.headless);
    EXPECT_EQ(line.action == Action::UsageError, !line.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Options, CollectionParseTable,
    testing::Values(
        CollectionCase{"FolderAloneConverts", {"dir"}, Action::Convert},
        CollectionCase{"FolderAfterF", {"-f", "dir"}, Action::Convert},
        CollectionCase{
            "KeepNamesWithOutputDir", {"--output-dir=o", "--keep-names", "dir"}, Action::Convert},
        CollectionCase{"KeepNamesAlone", {"--keep-names", "dir"}, Action::UsageError},
        CollectionCase{"OutputDirEmpty", {"--output-dir=", "dir"}, Action::UsageError},
        CollectionCase{"OutputWithFolder", {"--output=o.mid", "dir"}, Action::UsageError},
        CollectionCase{"OutputWithOutputDir",
                       {"--output=o.mid", "--output-dir=o", "a.mid"},
                       Action::UsageError},
        CollectionCase{"JobsZero", {"--jobs=0", "dir"}, Action::UsageError},
        CollectionCase{"JobsWord", {"--jobs=many", "dir"}, Action::UsageError},
        CollectionCase{"JobsOne", {"--jobs", "1", "dir"}, Action::Convert},
        CollectionCase{"ReportEmpty", {"--report=", "dir"}, Action::UsageError},
        CollectionCase{"ShardLast", {"--shard=2/3", "dir"}, Action::Convert},
        CollectionCase{"ShardIndexTooHigh", {"--shard=3/3", "dir"}, Action::UsageError},
        CollectionCase{"ShardNoSlash", {"--shard=3", "dir"}, Action::UsageError},
        CollectionCase{"ShardZeroCount", {"--shard=0/0", "dir"}, Action::UsageError},
        CollectionCase{"ShardNegative", {"--shard=-1/2", "dir"}, Action::UsageError},
        CollectionCase{"ShardTrailing", {"--shard=1/2x", "dir"}, Action::UsageError},
        CollectionCase{"ShardEmptyIndex", {"--shard=/2", "dir"}, Action::UsageError},
        CollectionCase{"QuietFlagWithValue", {"--quiet=yes", "dir"}, Action::UsageError}),
    [](const testing::TestParamInfo<CollectionCase>& param) { return param.param.name; });

TEST(ParseCommandLine, FolderMakesTheClassicRunHeadless) {
    const CommandLine window = ParseWithFolders({"a.mid"});
    EXPECT_EQ(window.action, Action::Window);
    const CommandLine walk = ParseWithFolders({"a.mid", "dir/sub"});
    EXPECT_EQ(walk.action, Action::Convert);
    EXPECT_TRUE(walk.headless);
    EXPECT_EQ(walk.inputs, (std::vector<std::string>{"a.mid", "dir/sub"}));
}

// The desktop entry hands over files and folders to open: the window gathers them.
TEST(ParseCommandLine, WindowOptionOpensFoldersInTheWindow) {
    const CommandLine window = ParseWithFolders({"--window", "a.mid", "dir/sub"});
    EXPECT_EQ(window.action, Action::Window) << window.error;
    EXPECT_FALSE(window.headless);
    EXPECT_EQ(window.batch.plainArguments, (std::vector<std::string>{"a.mid", "dir/sub"}));
    for (const auto& args : {std::vector<std::string>{"--window", "--speed=50", "a.mid"},
                             std::vector<std::string>{"--window", "-f", "a.mid"},
                             std::vector<std::string>{"--window", "-", "a.mid"}}) {
        EXPECT_EQ(ParseWithFolders(args).action, Action::UsageError) << args[1];
    }
}

TEST(ParseCommandLine, TakesCollectionValues) {
    const CommandLine line =
        ParseWithFolders({"--output-dir", "out", "--keep-names", "--jobs=7", "--report=-",
                          "--quiet", "--skip-existing", "--shard=4/9", "dir"});
    ASSERT_EQ(line.action, Action::Convert) << line.error;
    EXPECT_EQ(line.collection.outputDir, "out");
    EXPECT_TRUE(line.collection.keepNames);
    EXPECT_EQ(line.collection.jobs, 7u);
    EXPECT_EQ(line.collection.reportPath, "-");
    EXPECT_TRUE(line.collection.quiet);
    EXPECT_TRUE(line.collection.skipExisting);
    EXPECT_EQ(line.collection.shard.index, 4u);
    EXPECT_EQ(line.collection.shard.count, 9u);
    EXPECT_EQ(ParseWithFolders({"dir"}).collection.jobs, 0u);
}
} // namespace

} // namespace korvane
