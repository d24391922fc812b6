#include "job/PartedOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;
using Patches = std::vector<PartedOutput::Patch>;

// One step of a writer: a copied block, a block filled in the output's own room, or a write back.
struct Step {
    enum Kind { Write, Fill, Back } kind;
    Bytes bytes;
    uint64_t position = 0; // Back
};

void Apply(PartedOutput& output, const Step& step) {
    if (step.kind == Step::Write) {
        output.Write(step.bytes.data(), step.bytes.size());
    } else if (step.kind == Step::Back) {
        output.Overwrite(step.position, step.bytes.data(), step.bytes.size());
    } else {
        const std::span<uint8_t> room = output.Room(step.bytes.size());
        ASSERT_GE(room.size(), step.bytes.size());
        std::copy(step.bytes.begin(), step.bytes.end(), room.begin());
        output.Commit(step.bytes.size());
    }
}

// Parts of four bytes.
TEST(PartedOutput, PartsInOrderWithThePatchesLaidOverThemAreTheOutput) {
    const struct Case {
        std::string name;
        std::vector<Step> steps;
        std::vector<Bytes> parts;
        Patches patches;
    } cases[] = {
        {"nothing", {}, {}, {}},
        {"written across parts",
         {{Step::Write, {1, 2, 3, 4, 5, 6}}, {Step::Write, {7, 8, 9}}},
         {{1, 2, 3, 4}, {5, 6, 7, 8}, {9}},
         {}},
        {"room never split",
         {{Step::Write, {1, 2, 3}}, {Step::Fill, {4, 5}}, {Step::Fill, {6, 7}}},
         {{1, 2, 3}, {4, 5, 6, 7}},
         {}},
        {"written back into the last part",
         {{Step::Write, {1, 2, 3, 4, 5}}, {Step::Back, {9}, 4}},
         {{1, 2, 3, 4}, {9}},
         {}},
        {"written back across parts, twice, joined",
         {{Step::Write, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
          {Step::Back, {7, 7}, 1},
          {Step::Back, {8, 8, 8}, 3},
          {Step::Back, {6}, 0},
          {Step::Back, {5}, 7}},
         {{1, 2, 3, 4}, {5, 6, 7, 8}, {9}},
         {{0, {6, 7, 7, 8, 8, 8}}, {7, {5}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Bytes> parts;
        PartedOutput output(4, [&parts](std::span<const uint8_t> part) {
            parts.emplace_back(part.begin(), part.end());
        });
        for (const Step& step : c.steps) {
            Apply(output, step);
        }
        const uint64_t written = output.Position();
        EXPECT_EQ(output.Finish(), c.patches);
        EXPECT_EQ(parts, c.parts);
        size_t total = 0;
        for (const Bytes& part : parts) {
            total += part.size();
        }
        EXPECT_EQ(written, total);
    }
}

TEST(PartedOutput, NoRoomLargerThanAPart) {
    PartedOutput output(4, [](std::span<const uint8_t>) {});
    EXPECT_TRUE(output.Room(5).empty());
    EXPECT_EQ(output.Room(4).size(), 4u);
}

} // namespace
} // namespace korvane
