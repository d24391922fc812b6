#include "midi/SpeedRule.h"

namespace korvane {

uint32_t ApplySpeedRule(uint32_t delta, int speedPercent) {
    if (delta == 0) {
        return 0;
    }
    if (speedPercent <= 0) {
        return 1; // speed 0 makes every non-zero delta the shortest possible wait
    }
    const double factor = static_cast<double>(speedPercent) * 0.01;
    const double quotient = static_cast<double>(delta) / factor;
    // Limited before the conversion, so no quotient can overflow the integer.
    const uint32_t result =
        quotient >= static_cast<double>(kMaxDelta) ? kMaxDelta : static_cast<uint32_t>(quotient);
    return result == 0 ? 1 : result;
}

namespace {
uint16_t ShortCode(uint32_t value) {
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
    : m_speedPercent(speedPercent), m_table(kTableSize), m_codes(kCodeCount, kLongCode) {
    for (uint32_t d = 0; d < kTableSize; ++d) {
        m_table[d] = ApplySpeedRule(d, speedPercent);
        m_identity = m_identity && m_table[d] == d;
    }
    for (uint32_t first = 0; first < 0x80; ++first) {
        m_codes[first] = ShortCode(m_table[first]);
    }
    for (uint32_t first = 0x80; first < 0x100; ++first) {
        for (uint32_t second = 0; second < 0x80; ++second) {
            m_codes[(second << 8) | first] = ShortCode(m_table[((first & 0x7F) << 7) | second]);
        }
    }
}

} // namespace korvane
