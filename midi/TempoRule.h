#pragma once

#include "midi/Adjustments.h"

#include <cstdint>

namespace korvane {

// Keeping the bars: a speed change P scales every Set Tempo by 100 / P and leaves every delta
// as read, so each event keeps its tick and the file still plays in 100 / P of the time. Only a
// file whose division counts ticks per quarter note has tempos to scale; SMPTE files and speed
// 0 keep the tick rule.
class TempoRule {
  public:
    static constexpr uint32_t kDefaultTempo = 500000; // microseconds per quarter note
    static constexpr uint32_t kHighestTempo = 0xFFFFFF;

    // The rule the adjustments ask for; it applies once the header shows a division in ticks.
    static TempoRule Requested(const Adjustments& adjustments);

    TempoRule() = default;
    bool IsRequested() const { return m_percent != 0; }
    int Percent() const { return m_percent; }

    // The division field of the header: bit 15 clear counts ticks per quarter note.
    static bool CountsTicks(uint16_t division) { return (division & 0x8000) == 0; }
    // The tracks that carry the tempo map: the first in formats 0 and 1, every one in format 2.
    static bool HoldsTempoMap(uint16_t format, uint32_t trackIndex) {
        return format == 2 || trackIndex == 0;
    }

    struct Scaled {
        uint32_t tempo;
        bool clamped; // the exact result lay outside 1..kHighestTempo
    };
    // round(tempo * 100 / P), half up, in exact integers, held to 1..kHighestTempo.
    Scaled Scale(uint32_t tempo) const;

  private:
    explicit TempoRule(int percent) : m_percent(percent) {}

    int m_percent = 0;
};

} // namespace korvane
