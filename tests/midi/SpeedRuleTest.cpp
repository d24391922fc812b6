#include "midi/SpeedRule.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {
struct SpeedCase {
    uint32_t delta;
    int percent;
    uint32_t expected;
};

class SpeedRuleTable : public testing::TestWithParam<SpeedCase> {};

TEST_P(SpeedRuleTable, ConvertsDelta) {
    const SpeedCase& c = GetParam();
    EXPECT_EQ(ApplySpeedRule(c.delta, c.percent), c.expected);
    EXPECT_EQ(SpeedRule(c.percent)(c.delta), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SpeedRuleTable,
    testing::Values(SpeedCase{7, 7, 99}, // double rounding: not 100
                    SpeedCase{96, 100, 96}, SpeedCase{0x0FFFFFFF, 100, 0x0FFFFFFF},
                    SpeedCase{96, 50, 192}, SpeedCase{481, 200, 240}, SpeedCase{1, 200, 1},
                    SpeedCase{0, 200, 0}, SpeedCase{0, 50, 0}, SpeedCase{5000, 0, 1},
                    SpeedCase{0, 0, 0}, SpeedCase{1, 100000, 1}, SpeedCase{200000, 100000, 200},
                    // Above the largest delta a file holds: limited, never wrapped.
                    SpeedCase{0xFFFFFFFF, 100, 0x0FFFFFFF}, SpeedCase{0x0FFFFFFF, 1, 0x0FFFFFFF},
                    SpeedCase{0x00300000, 1, 0x0FFFFFFF}, SpeedCase{20000, 50, 40000}),
    [](const auto& testCase) {
        return "Delta" + std::to_string(testCase.param.delta) + "At" +
               std::to_string(testCase.param.percent);
    });

TEST(SpeedRule, TableAgreesWithTheRuleAtTheTableEdge) {
    for (int percent : {1, 33, 150, 400}) {
        const SpeedRule rule(percent);
        for (uint32_t d = 16370; d < 16400; ++d) {
            EXPECT_EQ(rule(d), ApplySpeedRule(d, percent)) << d << " at " << percent;
        }
    }
}
} // namespace
} // namespace korvane
