#include "job/MemoryOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;

// One step of a writer: a copied block, a block filled in the output's own room, or a patch.
struct Step {
    enum Kind { Write, Fill, Patch } kind;
    Bytes bytes;
    uint64_t position = 0; // Patch
};

void Apply(MemoryOutput& output, const Step& step) {
    if (step.kind == Step::Write) {
        output.Write(step.bytes.data(), step.bytes.size());
    } else if (step.kind == Step::Patch) {
        output.Overwrite(step.position, step.bytes.data(), step.bytes.size());
    } else {
        // A writer asks for more room than it fills, as the track writer does.
        const std::span<uint8_t> room = output.Room(step.bytes.size() + 5);
        ASSERT_GE(room.size(), step.bytes.size());
        std::copy(step.bytes.begin(), step.bytes.end(), room.begin());
        output.Commit(step.bytes.size());
    }
}

TEST(MemoryOutput, HoldsExactlyTheBytesWrittenFilledAndPatched) {
    const struct Case {
        std::string name;
        uint64_t expected; // the size announced before writing
        std::vector<Step> steps;
        Bytes bytes;
    } cases[] = {
        {"nothing", 0, {}, {}},
        {"written", 0, {{Step::Write, {1, 2}}, {Step::Write, {3}}}, {1, 2, 3}},
        {"filled", 0, {{Step::Fill, {1, 2}}, {Step::Fill, {3}}}, {1, 2, 3}},
        {"mixed, patched back",
         2,
         {{Step::Fill, {1, 2, 3}}, {Step::Write, {4}}, {Step::Patch, {9, 8}, 1}, {Step::Fill, {5}}},
         {1, 9, 8, 4, 5}},
        {"more than expected",
         1,
         {{Step::Fill, Bytes(300, 7)}, {Step::Write, {1}}},
         [] {
             Bytes all(300, 7);
             all.push_back(1);
             return all;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::atomic<bool> cancel{false};
        MemoryOutput output(1000, cancel);
        output.Expect(c.expected);
        for (const Step& step : c.steps) {
            Apply(output, step);
        }
        EXPECT_EQ(output.Position(), c.bytes.size());
        EXPECT_EQ(output.Bytes(), c.bytes);
    }
}

TEST(MemoryOutput, NoRoomPastTheLimitAndNoWritePastIt) {
    const std::atomic<bool> cancel{false};
    MemoryOutput output(4, cancel);
    output.Expect(100);
    const uint8_t three[] = {1, 2, 3};
    output.Write(three, 3);
    EXPECT_TRUE(output.Room(2).empty());
    EXPECT_EQ(output.Room(1).size(), 1u);
    output.Commit(0);
    EXPECT_THROW(output.Write(three, 2), MemoryOutput::LimitReached);
    output.Write(three, 1);
    EXPECT_EQ(output.Bytes(), (Bytes{1, 2, 3, 1}));
}

TEST(MemoryOutput, ACancelStopsTheNextBlock) {
    std::atomic<bool> cancel{false};
    MemoryOutput output(100, cancel);
    const uint8_t one[] = {1};
    output.Write(one, 1);
    cancel = true;
    EXPECT_THROW(output.Write(one, 1), PassOutput::Cancelled);
    EXPECT_THROW(output.Room(8), PassOutput::Cancelled);
}

} // namespace
} // namespace korvane
