#pragma once

#include <cstdint>
#include <vector>

namespace korvane {

// The largest delta time a four-byte variable-length quantity holds.
constexpr uint32_t kMaxDelta = 0x0FFFFFFF;

// Where one track stands under a speed change. The target of an event is its input time times
// 100 / P, truncated; all the rule needs of the times is how far the output runs ahead of the
// target and what the truncation left, both small, so that no track can overflow them.
struct TrackClock {
    uint64_t lead = 0;      // output ticks ahead of the target: the one-tick minimum's push
    uint32_t remainder = 0; // the target's truncated fraction, in units of 1 / P tick
};

// Speed in percent P applied to whole tracks: every event is placed at its target, so that
// truncation never adds up and the tracks of a file stay together. A non-zero delta stays at
// least one tick, a zero delta stays 0; at P = 0 every non-zero delta becomes 1. A delta too
// long for a file is limited and its excess given up. Exact integer arithmetic throughout.
class SpeedRule {
  public:
    explicit SpeedRule(int speedPercent = 100);

    int Percent() const { return m_percent; }

    // The delta to write for the next event of the track, which moves on by delta input ticks.
    uint32_t Next(TrackClock& clock, uint64_t delta) const;

    // The fast loops carry the remainder as a fraction of a tick in 32-bit fixed point, each
    // term rounded up, so that a tick carries exactly when the addition overflows and no
    // division is left in the loop. Each addition gains less than one unit (2^-32 tick) of
    // rounding, and the loops read the remainder back after at most kStepsBetweenReads steps:
    // while that many units stay below the 2^32 / P units between the fractions of two
    // remainders, every carry and the remainder read back are exact (StepsExact).
    static constexpr uint32_t kStepsBetweenReads = 1u << 15;
    bool StepsExact() const {
        return uint64_t{m_divisor} * (kStepsBetweenReads + 1) < (uint64_t{1} << 32);
    }
    uint32_t FractionOf(uint32_t remainder) const; // remainder / P, rounded up
    uint32_t RemainderOf(uint32_t fraction) const; // fraction * P, truncated

    // For the fast loops, a step for every input delta of one or two bytes, indexed by its
    // first byte alone when that byte's bit 7 is clear, else by both bytes read most
    // significant first, so that neighbouring deltas sit side by side. A step holds the
    // fraction of a tick the delta adds and the delta to write while the clock has no lead,
    // without and with a carry, as a variable-length quantity in output order (the first
    // byte's bit 7 tells whether a second follows). kLongCode where the checked path decides:
    // a delta of three bytes or more, read or to be written, or one that the one-tick minimum
    // pushes ahead of its target.
    struct Step {
        uint32_t fraction;
        uint16_t plain;
        uint16_t carried;
    };
    static constexpr uint16_t kLongCode = 0xFFFF;
    static constexpr uint32_t kStepCount = 1u << 16;
    const Step* Steps() const { return m_steps.data(); }
    // Every delta is written as read (speed 100 %).
    bool IsIdentity() const { return m_scale == m_divisor; }

  private:
    Step MakeStep(uint32_t delta) const;

    int m_percent;
    // Output ticks per input tick: m_scale / m_divisor (100 / P, or 0 / 1 at speed 0).
    uint32_t m_scale;
    uint32_t m_divisor;
    // 2^32 = m_whole * m_divisor + m_part, 0 < m_part <= m_divisor.
    uint64_t m_whole;
    uint64_t m_part;
    std::vector<Step> m_steps;
};

} // namespace korvane
