#include "app/CommandLine.h"

#include <gtest/gtest.h>

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
        ParseCase{
            "ShortLastFWins", {"-f", "a.mid", "-f", "b.mid"}, Action::Convert, false, {"b.mid"}},
        ParseCase{"ShortVAlone", {"-v", "x"}, Action::Convert, false, {}},
        ParseCase{
            "ShortStrayOptionsSkipped", {"-x", "-f", "a.mid"}, Action::Convert, false, {"a.mid"}},
        ParseCase{"LongMakesHeadless",
                  {"--speed=50", "a.mid", "b.mid"},
                  Action::Convert,
                  true,
                  {"a.mid", "b.mid"}},
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
            "FlagWithValue", {"--fix-stuck-notes=yes", "a.mid"}, Action::UsageError, true, {}}),
    [](const testing::TestParamInfo<ParseCase>& param) { return param.param.name; });

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

TEST(ParseCommandLine, EmptyOutputIsKeptApartFromNoOutput) {
    EXPECT_EQ(ParseCommandLine({"korvane", "--output=", "a.mid"}).options.outputPath, "");
    EXPECT_EQ(ParseCommandLine({"korvane", "--speed=5", "a.mid"}).options.outputPath, std::nullopt);
}
} // namespace
} // namespace korvane
