#include "tests/midi/EngineRun.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace korvane {
namespace {
std::string Hex(const Bytes& bytes) {
    std::ostringstream out;
    for (uint8_t b : bytes) {
        out << std::hex << std::setw(2) << std::setfill('0') << int{b} << ' ';
    }
    return out.str();
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Adjustments KeepBars(int speed, bool repair = false) {
    Adjustments adjustments;
    adjustments.m_speedPercent = speed;
    adjustments.m_eliminateStuckNotes = repair;
    adjustments.m_keepBars = true;
    return adjustments;
}

struct ScaleCase {
    uint32_t tempo;
    int speed;
    uint32_t expected;
    bool clamped;
};

TEST(TempoRule, ScalesRoundingHalfUpAndClamps) {
    const ScaleCase cases[] = {
        {500000, 80, 625000, false},
        {500000, 200, 250000, false},
        {3, 200, 2, false},
        {5, 200, 3, false}, // 1.5 and 2.5 go up
        {7, 300, 2, false},
        {1, 300, 1, true}, // 1/3 rounds to 0
        {0, 50, 1, true},
        {0xFFFFFF, 100000, 16777, false},
        {500000, 1, 0xFFFFFF, true},
        {0x400000, 25, 0xFFFFFF, true},
        {0x3FFFFF, 25, 0xFFFFFC, false}, // 4194303 * 4 exactly
    };
    for (const ScaleCase& c : cases) {
        const TempoRule rule = TempoRule::Requested(KeepBars(c.speed));
        const TempoRule::Scaled scaled = rule.Scale(c.tempo);
        EXPECT_EQ(scaled.tempo, c.expected) << c.tempo << " at " << c.speed;
        EXPECT_EQ(scaled.clamped, c.clamped) << c.tempo << " at " << c.speed;
    }
}

TEST(TempoRule, RequestedOnlyForASpeedThatScales) {
    EXPECT_FALSE(TempoRule::Requested(KeepBars(0)).IsRequested());
    EXPECT_FALSE(TempoRule::Requested(KeepBars(100)).IsRequested());
    EXPECT_TRUE(TempoRule::Requested(KeepBars(1)).IsRequested());
    EXPECT_TRUE(TempoRule::Requested(KeepBars(100000)).IsRequested());
    Adjustments ticks = KeepBars(80);
    ticks.m_keepBars = false;
    EXPECT_FALSE(TempoRule::Requested(ticks).IsRequested());
}

// A whole file's header data and tracks through one pass, every track read a window at a time.
struct FileRun {
    std::vector<Bytes> tracks;
    RepairCounts repairs;
};

FileRun RunFile(const Adjustments& adjustments, const Bytes& header,
                const std::vector<Bytes>& tracks, size_t window) {
    MidiEngine engine;
    MemorySink sink;
    engine.BeginPass(adjustments, &sink);
    // The header arrives in parts where a window's end cuts it.
    for (size_t done = 0; done < header.size(); done += window) {
        const size_t part = std::min(window, header.size() - done);
        engine.CopyHeader(header.data() + done, static_cast<uint32_t>(part));
    }
    FileRun run;
    for (const Bytes& track : tracks) {
        sink.bytes.clear();
        SlicedTrack sliced(track, window);
        engine.WalkTrack(sliced);
        run.tracks.push_back(sink.bytes);
    }
    run.repairs = engine.m_repairs;
    return run;
}

const Bytes kEnd{0x00, 0xFF, 0x2F, 0x00};
const Bytes kTempo500000{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
const Bytes kTempo625000{0x00, 0xFF, 0x51, 0x03, 0x09, 0x89, 0x68}; // at 80 %
const Bytes kNotes{0x60, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x40};
const Bytes kName{0x00, 0xFF, 0x03, 0x01, 'A'};

Bytes Header(uint16_t format, uint16_t division) {
    return {0x00, static_cast<uint8_t>(format),        0x00,
            0x02, static_cast<uint8_t>(division >> 8), static_cast<uint8_t>(division)};
}

struct FileCase {
    const char* name;
    Adjustments adjustments;
    Bytes header;
    std::vector<Bytes> input;
    std::vector<Bytes> expected;
    uint64_t clamped;
};

std::string FileCaseName(const testing::TestParamInfo<FileCase>& info) {
    return info.param.name;
}

class KeepBarsTable : public testing::TestWithParam<FileCase> {};

TEST_P(KeepBarsTable, WritesExpectedBytes) {
    const FileCase& c = GetParam();
    for (size_t window : {size_t{1 << 20}, size_t{1}, size_t{2}, size_t{3}, size_t{5}}) {
        const FileRun run = RunFile(c.adjustments, c.header, c.input, window);
        ASSERT_EQ(run.tracks.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(Hex(run.tracks[i]), Hex(c.expected[i]))
                << "track " << i << " window " << window;
        }
        EXPECT_EQ(run.repairs.temposClamped, c.clamped) << "window " << window;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, KeepBarsTable,
    testing::Values(
        FileCase{"TempoScaledDeltasAsRead",
                 KeepBars(80),
                 Header(1, 96),
                 {Concat({kTempo500000, kEnd}), Concat({kNotes, kEnd})},
                 {Concat({kTempo625000, kEnd}), Concat({kNotes, kEnd})},
                 0},
        FileCase{"DefaultTempoInsertedInFirstTrackOnly",
                 KeepBars(80),
                 Header(1, 96),
                 {Concat({kName, kEnd}), Concat({kNotes, kEnd})},
                 {Concat({kTempo625000, kName, kEnd}), Concat({kNotes, kEnd})},
                 0},
        FileCase{"FormatTwoEveryTrackHoldsATempoMap",
                 KeepBars(80),
                 Header(2, 96),
                 {Concat({kNotes, kEnd}), Concat({kTempo500000, kEnd})},
                 {Concat({kTempo625000, kNotes, kEnd}), Concat({kTempo625000, kEnd})},
                 0},
        FileCase{"TempoAfterADeltaGetsTheDefaultBeforeIt",
                 KeepBars(200),
                 Header(0, 96),
                 {Concat({{0x05, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}, kEnd})},
                 {Concat({{0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90},
                          {0x05, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},
                          kEnd})},
                 0},
        FileCase{"LongerTempoCopied",
                 KeepBars(80),
                 Header(1, 96),
                 {Concat({{0x00, 0xFF, 0x51, 0x04, 0x07, 0xA1, 0x20, 0x00}, kTempo500000, kEnd})},
                 {Concat({{0x00, 0xFF, 0x51, 0x04, 0x07, 0xA1, 0x20, 0x00}, kTempo625000, kEnd})},
                 0},
        // One too short holds no tempo: it is dropped, and the track gets the default one.
        FileCase{"ShorterTempoDropped",
                 KeepBars(80),
                 Header(1, 96),
                 {Concat({{0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1}, kTempo500000, kEnd})},
                 {Concat({kTempo625000, kTempo625000, kEnd})},
                 0},
        FileCase{"ClampedTemposCounted",
                 KeepBars(1),
                 Header(1, 96),
                 {Concat({kName, {0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}, kEnd})},
                 {Concat({{0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF},
                          kName,
                          {0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x01},
                          kEnd})},
                 2},
        FileCase{"RepairKeepsDeltasAsRead",
                 KeepBars(80, true),
                 Header(1, 96),
                 {Concat({kTempo500000, {0x60, 0x90, 0x3C, 0x40}, kEnd})},
                 // The key still held at End of Track is released before it.
                 {Concat({kTempo625000,
                          {0x60, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3C, 0x40, 0x00, 0x80, 0x3C, 0x40},
                          kEnd})},
                 0},
        FileCase{"SmpteDivisionScalesTicks",
                 KeepBars(80),
                 Header(1, 0xE728),
                 {Concat({kTempo500000, kNotes, kEnd})},
                 {Concat({kTempo500000, {0x78, 0x90, 0x3C, 0x40, 0x78, 0x80, 0x3C, 0x40}, kEnd})},
                 0},
        FileCase{"SpeedZeroScalesTicks",
                 KeepBars(0),
                 Header(1, 96),
                 {Concat({kNotes, kEnd})},
                 {Concat({{0x01, 0x90, 0x3C, 0x40, 0x01, 0x80, 0x3C, 0x40}, kEnd})},
                 0},
        FileCase{"FullSpeedChangesNothing",
                 KeepBars(100),
                 Header(1, 96),
                 {Concat({kName, kNotes, kEnd})},
                 {Concat({kName, kNotes, kEnd})},
                 0},
        FileCase{"HeaderCutShortScalesTicks",
                 KeepBars(80),
                 {0x00, 0x01, 0x00},
                 {Concat({kTempo500000, kNotes, kEnd})},
                 {Concat({kTempo500000, {0x78, 0x90, 0x3C, 0x40, 0x78, 0x80, 0x3C, 0x40}, kEnd})},
                 0}),
    FileCaseName);

Adjustments LoudChannels(uint16_t channels) {
    Adjustments adjustments{1000, 0, 100, false};
    adjustments.m_levelChannels = channels;
    return adjustments;
}

// Channel 1 mapped, channel 10 (drums) copied as read; the plot's levels mark the unmapped ones.
TEST(LevelChannels, OtherChannelsCopiedAsReadAndMarked) {
    const Bytes input = Concat({{0x00, 0x90, 0x3C, 0x20, 0x00, 0x99, 0x24, 0x20, 0x00, 0xB9,
                                 0x07, 0x30, 0x00, 0xA9, 0x24, 0x10, 0x00, 0xB0, 0x07, 0x30},
                                kEnd});
    const Bytes expected = Concat({{0x00, 0x90, 0x3C, 0x7F, 0x00, 0x99, 0x24, 0x20, 0x00, 0xB9,
                                    0x07, 0x30, 0x00, 0xA9, 0x24, 0x10, 0x00, 0xB0, 0x07, 0x7F},
                                   kEnd});
    const Bytes levels{0x20, 0xA0, 0xB0, 0x90, 0x30};
    for (size_t window : {size_t{0}, size_t{1}, size_t{3}, size_t{8}}) {
        const WalkResult result =
            Walk(LoudChannels(Adjustments::kAllButDrums), input, true, window);
        EXPECT_EQ(Hex(result.written), Hex(expected)) << "window " << window;
        EXPECT_EQ(Hex(result.levels), Hex(levels)) << "window " << window;
    }
    // Every channel listed is the ordinary mapping, levels unmarked.
    const WalkResult all = Walk(LoudChannels(Adjustments::kAllChannels), input);
    EXPECT_EQ(Hex(all.levels), Hex(Bytes{0x20, 0x20, 0x30, 0x10, 0x30}));
}

} // namespace
} // namespace korvane
