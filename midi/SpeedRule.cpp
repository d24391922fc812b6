#include "SpeedRule.h"

namespace {
constexpr uint32_t kTableSize = 1u << 14; // every delta of one or two VLQ bytes
}

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

SpeedRule::SpeedRule(int speedPercent) : m_speedPercent(speedPercent), m_table(kTableSize) {
    for (uint32_t d = 0; d < kTableSize; ++d) {
        m_table[d] = ApplySpeedRule(d, speedPercent);
    }
}
