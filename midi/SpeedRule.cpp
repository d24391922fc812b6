#include "midi/SpeedRule.h"

namespace korvane {
namespace {
// A delta below 2^14 as a variable-length quantity of one or two bytes, in output order.
uint16_t ShortCode(uint64_t value) {
    if (value < 0x80) {
        return static_cast<uint16_t>(value);
    }
    if (value < 0x4000) {
        return static_cast<uint16_t>(((value & 0x7F) << 8) | 0x80 | (value >> 7));
    }
    return SpeedRule::kLongCode;
}
} // namespace

SpeedRule::SpeedRule(int speedPercent)
    : m_percent(speedPercent), m_scale(speedPercent > 0 ? 100 : 0),
      // Speed 0 divides by nothing: every non-zero delta becomes 1, whatever the clock says.
      m_divisor(speedPercent > 0 ? static_cast<uint32_t>(speedPercent) : 1),
      m_whole(UINT32_MAX / m_divisor), m_part(UINT32_MAX % m_divisor + 1),
      m_steps(kStepCount, Step{0, kLongCode, kLongCode}) {
    for (uint32_t first = 0; first < 0x80; ++first) {
        m_steps[first] = MakeStep(first);
    }
    for (uint32_t first = 0x80; first < 0x100; ++first) {
        for (uint32_t second = 0; second < 0x80; ++second) {
            m_steps[(first << 8) | second] = MakeStep(((first & 0x7F) << 7) | second);
        }
    }
}

SpeedRule::Step SpeedRule::MakeStep(uint32_t delta) const {
    if (m_scale == 0) {
        const uint16_t one = delta != 0;
        return {0, one, one};
    }
    const uint64_t scaled = uint64_t{delta} * m_scale;
    const uint64_t quotient = scaled / m_divisor;
    // Without a carry, a non-zero delta whose target stays put is pushed a tick ahead of it:
    // the checked path keeps that lead.
    const uint16_t plain = quotient == 0 && delta != 0 ? kLongCode : ShortCode(quotient);
    return {FractionOf(static_cast<uint32_t>(scaled % m_divisor)), plain, ShortCode(quotient + 1)};
}

uint32_t SpeedRule::FractionOf(uint32_t remainder) const {
    // remainder * 2^32 / P, rounded up, from 2^32 = whole * P + part; remainder < P, so every
    // product fits, and so does the result.
    return static_cast<uint32_t>(remainder * m_whole +
                                 (remainder * m_part + m_divisor - 1) / m_divisor);
}

uint32_t SpeedRule::RemainderOf(uint32_t fraction) const {
    return static_cast<uint32_t>((uint64_t{fraction} * m_divisor) >> 32);
}

uint32_t SpeedRule::Next(TrackClock& clock, uint64_t delta) const {
    if (delta == 0) {
        return 0; // events that were together stay together
    }
    if (m_scale == 0) {
        return 1;
    }
    // Below 2^56 for a delta below 2^49: no delta the engine passes can overflow it.
    const uint64_t scaled = clock.remainder + delta * m_scale;
    const uint64_t advance = scaled / m_divisor; // how far the target moves
    clock.remainder = static_cast<uint32_t>(scaled % m_divisor);
    // To the target, or one tick on where the target is not ahead of the output.
    const uint64_t ticks = advance > clock.lead ? advance - clock.lead : 1;
    if (ticks > kMaxDelta) {
        // The excess cannot be written; it is given up for good, so that the later events
        // keep their spacing instead of all arriving at once.
        clock = {};
        return kMaxDelta;
    }
    clock.lead = clock.lead + ticks - advance;
    return static_cast<uint32_t>(ticks);
}

} // namespace korvane
