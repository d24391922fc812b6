#include "job/MemoryOutput.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;

// The bytes themselves are checked through the preview (ChunkFraming.PreviewHoldsTheSameBytes):
// here, the room the writer fills in place ends where the limit does, and a cancel stops it.
TEST(MemoryOutput, NoRoomPastTheLimitOrAfterACancel) {
    std::atomic<bool> cancel{false};
    MemoryOutput output(4, cancel);
    output.Expect(100);
    const uint8_t three[] = {1, 2, 3};
    output.Write(three, 3);
    EXPECT_TRUE(output.Room(2).empty());
    const std::span<uint8_t> room = output.Room(1);
    ASSERT_EQ(room.size(), 1u);
    room[0] = 9;
    output.Commit(1);
    EXPECT_THROW(output.Write(three, 1), MemoryOutput::LimitReached);
    EXPECT_EQ(output.Bytes(), (Bytes{1, 2, 3, 9}));
    cancel = true;
    EXPECT_THROW(output.Room(0), PassOutput::Cancelled);
}

} // namespace
} // namespace korvane
