#include "midi/TrackWriter.h"
#include "tests/midi/MemorySink.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {
struct VarLenCase {
    uint32_t value;
    Bytes expected;
};

class WriteVarLenTable : public testing::TestWithParam<VarLenCase> {};

TEST_P(WriteVarLenTable, WritesShortestForm) {
    MemorySink sink;
    TrackWriter writer;
    writer.BeginTrack(&sink);
    writer.MarkEvent();
    writer.WriteVarLen(GetParam().value);
    writer.EndTrack();
    EXPECT_EQ(sink.bytes, GetParam().expected);
    EXPECT_EQ(writer.TrackBytes(), static_cast<int64_t>(GetParam().expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, WriteVarLenTable,
    testing::Values(VarLenCase{0, {0x00}}, VarLenCase{0x40, {0x40}}, VarLenCase{0x7F, {0x7F}},
                    VarLenCase{0x80, {0x81, 0x00}}, VarLenCase{0x2000, {0xC0, 0x00}},
                    VarLenCase{0x3FFF, {0xFF, 0x7F}}, VarLenCase{0x4000, {0x81, 0x80, 0x00}},
                    VarLenCase{0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}}),
    [](const auto& testCase) { return "Value" + std::to_string(testCase.param.value); });

TEST(TrackWriter, StepBackThenFiveBytesGrowsByFour) {
    MemorySink sink;
    TrackWriter writer;
    writer.BeginTrack(&sink);
    writer.MarkEvent();
    writer.EmitByte(0x90);
    writer.StepBack();
    for (unsigned b : {0x80, 0x3C, 0x40, 0x00, 0x90}) {
        writer.EmitByte(b);
    }
    writer.EndTrack();
    EXPECT_EQ(writer.TrackBytes(), 5);
    EXPECT_EQ(sink.bytes, (Bytes{0x80, 0x3C, 0x40, 0x00, 0x90}));
}

// Through the sink's Write, and in place in room the sink offers.
class TrackWriterSinks : public testing::TestWithParam<bool> {
  protected:
    MemorySink& Sink() { return GetParam() ? m_room : m_plain; }

  private:
    MemorySink m_plain;
    RoomSink m_room;
};

TEST_P(TrackWriterSinks, LargeBlocksSurviveFlushesAndDropTakesBackOnlyTheOpenEvent) {
    MemorySink& sink = Sink();
    TrackWriter writer;
    writer.BeginTrack(&sink);
    Bytes block(200000);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 7);
    }
    writer.MarkEvent();
    writer.EmitBlock(block.data(), block.size());
    writer.MarkEvent();
    writer.EmitByte(0x11);
    writer.DropEvent();
    writer.EndTrack();
    EXPECT_EQ(sink.bytes, block);
    EXPECT_EQ(writer.TrackBytes(), 200000);
}

TEST_P(TrackWriterSinks, BytesWrittenBetweenTracksStayBetweenThem) {
    MemorySink& sink = Sink();
    TrackWriter writer;
    for (uint8_t track = 1; track <= 2; ++track) {
        const uint8_t frame[] = {0xEE, track};
        sink.Write(frame, sizeof frame);
        writer.BeginTrack(&sink);
        writer.MarkEvent();
        writer.EmitByte(track);
        writer.EndTrack();
        EXPECT_EQ(writer.TrackBytes(), 1);
    }
    EXPECT_EQ(sink.bytes, (Bytes{0xEE, 1, 1, 0xEE, 2, 2}));
}

INSTANTIATE_TEST_SUITE_P(WriteOrRoom, TrackWriterSinks, testing::Bool(),
                         [](const auto& testCase) { return testCase.param ? "Room" : "Write"; });

} // namespace
} // namespace korvane
