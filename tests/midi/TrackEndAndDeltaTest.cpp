// What the engine changes in a damaged track is counted; what it carries is carried whole.
#include "tests/midi/EngineRun.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {
struct Walked {
    Bytes written;
    RepairCounts repairs;
    uint32_t walkEnd;
};

Walked Walk(const Bytes& track, int speed = 100) {
    Adjustments adjustments;
    adjustments.m_speedPercent = speed;
    MidiEngine engine;
    MemorySink sink;
    engine.BeginPass(adjustments, &sink);
    engine.WalkTrack(track.data(), static_cast<uint32_t>(track.size()));
    engine.EndPass();
    return {sink.bytes, engine.m_repairs, engine.WalkEnd()};
}

const Bytes kNote{0x00, 0x90, 0x3C, 0x40};
const Bytes kEnd{0x00, 0xFF, 0x2F, 0x00};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// An End of Track has no data: what one carries is dropped and counted, the walk ends after it.
TEST(TrackEnd, DataOfAnEndOfTrackDroppedAndCounted) {
    const Walked walked = Walk(Join({kNote, {0x00, 0xFF, 0x2F, 0x02, 0x01, 0x02}}));
    EXPECT_EQ(walked.written, Join({kNote, kEnd}));
    EXPECT_EQ(walked.repairs.junkBytesDropped, 2u);
    EXPECT_EQ(walked.walkEnd, 10u);
    EXPECT_TRUE(walked.repairs.Any());
}

// A delta above 0x0FFFFFFF, which no file holds, is limited and counted; one in a longer form
// than it needs is only written shortest, a normalisation.
TEST(DeltaTime, AboveTheLargestLimitedAndCounted) {
    Walked walked = Walk(Join({{0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_EQ(walked.written, Join({{0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_EQ(walked.repairs.deltasTooLong, 1u);
    walked = Walk(Join({{0x80, 0x80, 0x80, 0x80, 0x01, 0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_EQ(walked.written, Join({{0x01, 0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_FALSE(walked.repairs.Any());
}

// The deltas of dropped events add up beyond 32 bits: the next event kept comes at their sum,
// at speeds that bring it back within a delta.
TEST(DeltaTime, DroppedDeltasCarriedBeyond32Bits) {
    Bytes track;
    constexpr int kDropped = 17;
    for (int i = 0; i < kDropped; ++i) {
        track.insert(track.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0xF8}); // a real-time message, dropped
    }
    track = Join({track, kNote, kEnd});
    const uint64_t ticks = uint64_t{kDropped} * kMaxDelta;
    ASSERT_GT(ticks, uint64_t{UINT32_MAX});
    const Walked walked = Walk(track, 2000);
    uint8_t delta[4];
    const size_t length = TrackWriter::PutVarLen(delta, static_cast<uint32_t>(ticks * 100 / 2000)) - delta;
    EXPECT_EQ(walked.written, Join({Bytes(delta, delta + length), {0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_EQ(walked.repairs.systemEventsDropped, uint64_t{kDropped});
}
TEST(RepairCounts, TrackIdsAndLongDeltasAreRepairs) {
    EXPECT_TRUE(RepairCounts{.trackIdsRepaired = 1}.Any());
    EXPECT_TRUE(RepairCounts{.deltasTooLong = 1}.Any());
}
} // namespace
} // namespace korvane
