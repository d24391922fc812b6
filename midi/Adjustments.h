#pragma once

#include <cstdint>

namespace korvane {

// What a pass changes in a file, with the ranges the window and the command line accept. The
// defaults change nothing.
struct Adjustments {
    static constexpr int kLevelLowest = 0;
    static constexpr int kLevelHighest = 1000;
    // Dynamic range and volume at this value leave every level as it is.
    static constexpr int kLevelNeutral = 500;
    static constexpr int kSpeedLowest = 0;
    static constexpr int kSpeedHighest = 100000;
    static constexpr int kSpeedNeutral = 100;

    int m_dynamicRange = kLevelNeutral;
    int m_volume = kLevelNeutral;
    // Never negative: the window and the command line refuse that.
    int m_speedPercent = kSpeedNeutral;
    bool m_eliminateStuckNotes = false;
    // A speed change scales the tempo instead of the ticks, so bar lines stay where they were.
    bool m_keepBars = false;
    // Channels whose levels are mapped, bit n for channel n + 1; the others are copied as read.
    static constexpr uint16_t kAllChannels = 0xFFFF;
    static constexpr uint16_t kAllButDrums = 0xFFFF & ~(1u << 9); // channel 10 is the drums'
    uint16_t m_levelChannels = kAllChannels;
    // 1..127: a gain on the mapped channels' Note On velocities, after the range and volume
    // mapping, brings the loudest note to this level (NoteGain); 0: no gain.
    static constexpr int kPeakLowest = 1;
    static constexpr int kPeakHighest = 127;
    int m_peakLevel = 0;

    bool operator==(const Adjustments&) const = default;
};

} // namespace korvane
