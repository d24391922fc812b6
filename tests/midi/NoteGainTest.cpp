#include "midi/NoteGain.h"

#include "tests/midi/EngineRun.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

Bytes WithEnd(Bytes track) {
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    return track;
}

// The loudest pass, which the peak's gain is found from.
TEST(LoudestPass, FindsTheLoudestNoteOnOfMappedChannelsOnly) {
    // Loud drums, a louder Note Off and controller, and the loudest mapped Note On 0x50.
    const Bytes input = WithEnd({0x00, 0x99, 0x24, 0x7F, 0x00, 0x90, 0x3C, 0x50, 0x00, 0x80,
                                 0x3C, 0x7E, 0x00, 0xB0, 0x07, 0x7D, 0x00, 0x91, 0x40, 0x30});
    for (const auto& [channels, loudest] :
         {std::pair{Adjustments::kAllButDrums, 0x50u}, std::pair{Adjustments::kAllChannels, 0x7Fu},
          std::pair{uint16_t{0x0004}, 0u}}) {
        MidiEngine engine;
        Adjustments adjustments;
        adjustments.m_levelChannels = channels;
        engine.BeginLoudestPass(adjustments);
        engine.WalkTrack(input.data(), static_cast<uint32_t>(input.size()));
        EXPECT_EQ(engine.LoudestNoteOn(), loudest) << channels;
    }
}

// Worked by hand from v × peak / loudest, rounded half up and held to 1..127.
TEST(NoteGain, ScalesRoundsAndHolds) {
    const struct {
        int peak;
        unsigned loudest;
        uint8_t mapped;
        uint8_t written;
    } cases[] = {
        {127, 74, 74, 127}, // the loudest is exactly the peak
        {127, 74, 38, 65},  // 65.22
        {127, 74, 1, 2},    // 1.72
        {127, 74, 0, 0},    // a release stays one
        {127, 2, 1, 64},    // 63.5 rounds up
        {100, 127, 64, 50}, // 50.39: a gain below 1 softens
        {100, 127, 1, 1},   // 0.79
        {1, 127, 63, 1},    // 0.496 is held to 1: a note never becomes a release
        {127, 74, 127, 127} // beyond the loudest (other tables' entries) is held to 127
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NoteGain({c.peak, c.loudest}).Apply(c.mapped), c.written)
            << c.peak << " " << c.loudest << " " << int{c.mapped};
    }
    EXPECT_EQ(NoteGain{}.Apply(90), 90);
}

TEST(NoteGain, TakesTheLoudestAsMapped) {
    // Volume 750 halves 74 (500 × 10 × 0.002 + 64 = 74, then (1 - 0.75) × 74 × 2 = 37).
    EXPECT_EQ(NoteGain::For(127, 74, 500, 750).loudest, 37u);
    EXPECT_EQ(NoteGain::For(127, 74, 500, 500).loudest, 74u);
    EXPECT_FALSE(NoteGain::For(0, 74, 500, 500).Active());
    EXPECT_FALSE(NoteGain::For(127, 0, 500, 500).Active());
}

// A Note On's velocity takes the gain; Note Off velocities, key pressure and channel volume
// only the mapping. Volume 750 halves every level here, the gain 127 / 37 then applies.
TEST(NoteGain, EngineWritesTheGainOnNoteOnsOnly) {
    const Bytes track = WithEnd({0x00, 0x90, 0x3C, 0x4A, 0x00, 0x3E, 0x26, 0x10, 0x3C, 0x00, 0x00,
                                 0x80, 0x3E, 0x40, 0x00, 0xA0, 0x3E, 0x30, 0x00, 0xB0, 0x07, 0x64});
    // 74 -> 37 -> 127; 38 -> 19 -> 65.3; 0 stays; Note Off 64 -> 32; pressure 48 -> 24;
    // volume 100 -> 50.
    const Bytes expected =
        WithEnd({0x00, 0x90, 0x3C, 0x7F, 0x00, 0x3E, 0x41, 0x10, 0x3C, 0x00, 0x00,
                 0x80, 0x3E, 0x20, 0x00, 0xA0, 0x3E, 0x18, 0x00, 0xB0, 0x07, 0x32});
    Adjustments adjustments;
    adjustments.m_volume = 750;
    adjustments.m_peakLevel = 127;
    MidiEngine engine;
    MemorySink sink;
    engine.BeginPass(adjustments, &sink, 0x4A);
    engine.WalkTrack(track.data(), static_cast<uint32_t>(track.size()));
    EXPECT_EQ(sink.bytes, expected);
}

// The fast loops take the gain from their tables, the checked path (taken when Note Ons are
// marked for the plot) from its own: both write the same bytes, at every speed and repair.
TEST(NoteGain, FastLoopsAndCheckedPathAgree) {
    Bytes track{0x00, 0x91, 0x40, 0x20};
    for (int i = 0; i < 600; ++i) {
        track.insert(track.end(), {static_cast<uint8_t>(i % 3), static_cast<uint8_t>(0x30 + i % 40),
                                   static_cast<uint8_t>(i % 5 == 0 ? 0 : 1 + i % 90)});
    }
    track = WithEnd(track);
    for (const Adjustments base : {Adjustments{}, Adjustments{700, 400, 150, true}}) {
        Adjustments adjustments = base;
        adjustments.m_peakLevel = 120;
        Bytes written[2];
        for (const bool marked : {false, true}) {
            MidiEngine engine;
            MemorySink sink;
            engine.KeepLevels(marked);
            engine.BeginPass(adjustments, &sink, 90);
            engine.WalkTrack(track.data(), static_cast<uint32_t>(track.size()));
            written[marked] = sink.bytes;
            if (marked) {
                ASSERT_EQ(engine.m_noteOnMarks.size(), engine.m_levels.size());
                EXPECT_EQ(engine.m_noteOnMarks.front(), 1);
            }
        }
        EXPECT_EQ(written[0], written[1]) << base.m_speedPercent;
        EXPECT_NE(written[0], Walk(base, track).written) << "the gain changed nothing";
    }
}

} // namespace
} // namespace korvane
