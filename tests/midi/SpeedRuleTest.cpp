#include "midi/SpeedRule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace korvane {
namespace {
using Deltas = std::vector<uint32_t>;

Deltas Convert(int percent, const Deltas& deltas) {
    const SpeedRule rule(percent);
    TrackClock clock;
    Deltas written;
    for (uint32_t d : deltas) {
        written.push_back(rule.Next(clock, d));
    }
    return written;
}

struct TrackCase {
    const char* name;
    int percent;
    Deltas deltas;
    Deltas expected;
};

class SpeedRuleTracks : public testing::TestWithParam<TrackCase> {};

std::string CaseName(const testing::TestParamInfo<TrackCase>& info) {
    return info.param.name;
}

TEST_P(SpeedRuleTracks, WritesExpectedDeltas) {
    const TrackCase& c = GetParam();
    EXPECT_EQ(Convert(c.percent, c.deltas), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SpeedRuleTracks,
    testing::Values(
        TrackCase{"HundredKeepsEveryDelta",
                  100,
                  {1, 0, 127, 16384, 0x0FFFFFFF, 3},
                  {1, 0, 127, 16384, 0x0FFFFFFF, 3}},
        TrackCase{
            "HalfDoublesExactly", 50, {96, 0, 481, 1, 0x07FFFFFF}, {192, 0, 962, 2, 0x0FFFFFFE}},
        // 7 / 0.7 in floating point is just below 10.
        TrackCase{"SeventyGivesExactTens", 70, {7, 7, 7}, {10, 10, 10}},
        TrackCase{"LoneTickAtDoubleCatchesUp", 200, {1, 5, 2}, {1, 2, 1}},
        TrackCase{"HalvedOddDeltasDoNotLoseTicks", 200, {481, 481, 481}, {240, 241, 240}},
        TrackCase{"PushHeldUntilTargetPassesIt", 200, {1, 1, 1, 1, 10}, {1, 1, 1, 1, 3}},
        TrackCase{"EightyKeepsTheFractions", 80, {1, 1, 1, 1, 1}, {1, 1, 1, 2, 1}},
        TrackCase{"ZeroStaysZero", 37, {0, 5, 0, 0, 5}, {0, 13, 0, 0, 14}},
        TrackCase{"SpeedZeroWritesOnes", 0, {0, 5000, 1, 0, 0x0FFFFFFF}, {0, 1, 1, 0, 1}},
        TrackCase{"HighSpeedKeepsTheRemainder", 100000, {1, 200000, 999}, {1, 199, 1}},
        // Above the largest delta a file holds: limited, and the excess given up, so the
        // next events keep their spacing.
        TrackCase{"LimitedExcessGivenUp", 50, {0x0FFFFFFF, 3, 3}, {0x0FFFFFFF, 6, 6}},
        // The fraction the limited event's target had is given up with the excess.
        TrackCase{"LimitedDeltaStartsAfresh", 37, {0x0FFFFFFF, 1, 1}, {0x0FFFFFFF, 2, 3}},
        TrackCase{"WrappedDeltaLimitedAtHundred", 100, {0xFFFFFFFF, 96}, {0x0FFFFFFF, 96}},
        TrackCase{"SlowestSpeedLimited", 1, {0x00300000, 1, 2684354}, {0x0FFFFFFF, 100, 268435400}},
        // Exact where d * 100 needs more than 32 bits and the remainder carries a tick.
        TrackCase{"LargestDeltaExact", 2000, {0xFFFFFFFF, 0xFFFFFFFF}, {214748364, 214748365}},
        TrackCase{"LargestDeltaAtHighSpeed", 100000, {0xFFFFFFFF, 0xFFFFFFFF}, {4294967, 4294967}},
        TrackCase{"LargestSpeed", 2147483647, {0xFFFFFFFF, 0xFFFFFFFF, 5}, {200, 200, 1}}),
    CaseName);

// Every event within one tick of its ideal time T * 100 / P, except where the one-tick minimum
// holds it ahead, and then only until an event's target passes it.
TEST(SpeedRule, EventsStayWithinATickOfTheirIdealTime) {
    std::mt19937 random(99);
    for (int percent = 1; percent <= 400; ++percent) {
        const SpeedRule rule(percent);
        TrackClock clock;
        uint64_t inputTime = 0;
        uint64_t outputTime = 0;
        for (int event = 0; event < 2000; ++event) {
            const uint32_t pick = random() % 8;
            const uint32_t delta = pick == 0 ? 0 : pick < 6 ? 1 + random() % 4 : random() % 5000;
            const uint64_t before = outputTime;
            inputTime += delta;
            outputTime += rule.Next(clock, delta);
            const uint64_t ideal100 = inputTime * 100; // the ideal time, times P
            const bool onTarget =
                outputTime * percent <= ideal100 && ideal100 < (outputTime + 1) * percent;
            const bool held =
                delta != 0 && outputTime == before + 1 && outputTime * percent > ideal100;
            ASSERT_TRUE(onTarget || held || (delta == 0 && outputTime == before))
                << "speed " << percent << ", event " << event;
        }
    }
}

// The fast loops' steps, used as the loops use them, against the division for every short
// delta and remainders from the edges and the middle.
TEST(SpeedRule, StepsAgreeWithTheDivision) {
    for (int percent : {0, 1, 2, 37, 80, 100, 150, 400, 100000}) {
        const SpeedRule rule(percent);
        ASSERT_TRUE(rule.StepsExact()) << percent;
        const auto divisor = static_cast<uint32_t>(std::max(percent, 1));
        for (uint32_t delta = 0; delta < 0x4000; ++delta) {
            const uint32_t index =
                delta < 0x80 ? delta : 0x8000 | ((delta << 1) & 0x7F00) | (delta & 0x7F);
            const SpeedRule::Step step = rule.Steps()[index];
            for (uint32_t remainder : {0u, 1u, divisor / 2, divisor - 1}) {
                TrackClock clock{0, std::min(remainder, divisor - 1)};
                const uint32_t fraction = rule.FractionOf(clock.remainder);
                const uint32_t expected = rule.Next(clock, delta);
                const uint32_t sum = fraction + step.fraction;
                const uint16_t code = sum < fraction ? step.carried : step.plain;
                if (code == SpeedRule::kLongCode) {
                    ASSERT_TRUE(expected >= 0x4000 || clock.lead != 0)
                        << delta << " at " << percent;
                    continue;
                }
                const uint32_t written = (code & 0x80) ? ((code & 0x7F) << 7) | (code >> 8) : code;
                ASSERT_EQ(written, expected) << delta << " at " << percent;
                ASSERT_EQ(clock.lead, 0u) << delta << " at " << percent;
                ASSERT_EQ(rule.RemainderOf(sum), clock.remainder) << delta << " at " << percent;
            }
        }
        for (uint32_t first = 0x80; first < 0x100; ++first) {
            for (uint32_t second = 0x80; second < 0x100; ++second) {
                ASSERT_EQ(rule.Steps()[(first << 8) | second].plain, SpeedRule::kLongCode);
            }
        }
    }
}

// The fixed-point fraction gains less than one unit per addition; over as many additions as the
// fast loops make between two readings of the remainder, every carry stays that of the exact
// remainder and the remainder reads back, up to the fastest speed the steps hold.
TEST(SpeedRule, FractionsStayExactBetweenReadings) {
    for (int percent : {3, 37, 150, 333, 100000, 131068}) {
        const SpeedRule rule(percent);
        ASSERT_TRUE(rule.StepsExact()) << percent;
        const auto divisor = static_cast<uint32_t>(percent);
        std::mt19937 random(static_cast<uint32_t>(percent));
        uint32_t remainder = 0;
        for (int reading = 0; reading < 30; ++reading) {
            uint32_t fraction = rule.FractionOf(remainder);
            for (uint32_t step = 0; step < SpeedRule::kStepsBetweenReads; ++step) {
                // Remainders near the top as well, where a rounding would carry too early.
                const uint32_t added = step % 2 == 0
                                           ? divisor - 1 - random() % std::min(divisor, 4u)
                                           : random() % divisor;
                const bool carry = remainder + uint64_t{added} >= divisor;
                remainder = static_cast<uint32_t>((remainder + uint64_t{added}) % divisor);
                const uint32_t sum = fraction + rule.FractionOf(added);
                ASSERT_EQ(sum < fraction, carry) << "step " << step << " at " << percent;
                fraction = sum;
            }
            ASSERT_EQ(rule.RemainderOf(fraction), remainder) << percent;
        }
    }
    // Beyond it the fast loops leave every event to the checked path.
    EXPECT_FALSE(SpeedRule(131069).StepsExact());
    EXPECT_FALSE(SpeedRule(2147483647).StepsExact());
}
} // namespace
} // namespace korvane
