#include "midi/LevelMap.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane {
namespace {
struct LevelCase {
    int dynamicRange;
    int volume;
    std::vector<unsigned> inputs;
    std::vector<unsigned> expected;
};

class LevelMapTable : public testing::TestWithParam<LevelCase> {};

TEST_P(LevelMapTable, MapsTellingValues) {
    const LevelCase& c = GetParam();
    const LevelTable table = BuildLevelTable(c.dynamicRange, c.volume);
    for (size_t i = 0; i < c.inputs.size(); ++i) {
        EXPECT_EQ(MapLevel(c.inputs[i], c.dynamicRange, c.volume), c.expected[i])
            << "v=" << c.inputs[i] << " D=" << c.dynamicRange << " V=" << c.volume;
        EXPECT_EQ(table[c.inputs[i]], c.expected[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Telling, LevelMapTable,
    testing::Values(
        LevelCase{1000, 500, {1, 32, 33, 64, 80, 95, 96, 127}, {1, 1, 2, 64, 96, 126, 127, 127}},
        LevelCase{500, 250, {1, 64, 100, 127}, {64, 95, 113, 127}},
        LevelCase{500, 750, {1, 4, 64, 100, 127}, {1, 2, 32, 50, 63}},
        LevelCase{500, 600, {10, 64, 127}, {8, 51, 101}},
        LevelCase{250, 500, {1, 10, 63, 65, 100, 127}, {32, 37, 63, 64, 82, 95}},
        // Double rounding gives 38 where exact arithmetic would give 39.
        LevelCase{10, 700, {114}, {38}}, LevelCase{500, 500, {128, 200, 255}, {127, 127, 127}},
        LevelCase{1000, 0, {0}, {0}}, LevelCase{0, 1000, {0}, {0}}),
    [](const auto& testCase) {
        return "D" + std::to_string(testCase.param.dynamicRange) + "V" +
               std::to_string(testCase.param.volume);
    });

TEST(LevelMap, WholeRangeRules) {
    for (unsigned v = 1; v <= 127; ++v) {
        EXPECT_EQ(MapLevel(v, 500, 500), v);
        EXPECT_EQ(MapLevel(v, 0, 500), 64);
        EXPECT_EQ(MapLevel(v, 500, 0), 127);
        EXPECT_EQ(MapLevel(v, 500, 1000), 1);
    }
}

TEST(LevelMap, EveryInputStaysInRangeAtEverySetting) {
    for (int d = 0; d <= 1000; d += 50) {
        for (int vol = 0; vol <= 1000; vol += 50) {
            const LevelTable table = BuildLevelTable(d, vol);
            EXPECT_EQ(table[0], 0);
            for (unsigned v = 1; v < 256; ++v) {
                ASSERT_GE(table[v], 1);
                ASSERT_LE(table[v], 127);
            }
        }
    }
}
} // namespace
} // namespace korvane
