#include "midi/TempoRule.h"

namespace korvane {

TempoRule TempoRule::Requested(const Adjustments& adjustments) {
    const int percent = adjustments.m_speedPercent;
    // At 100 % nothing changes; speed 0 has no tempo to scale to.
    const bool scales = adjustments.m_keepBars && percent > 0 &&
                        percent <= Adjustments::kSpeedHighest &&
                        percent != Adjustments::kSpeedNeutral;
    return TempoRule(scales ? percent : 0);
}

TempoRule::Scaled TempoRule::Scale(uint32_t tempo) const {
    const auto percent = static_cast<uint64_t>(m_percent);
    // tempo * 100 / P + 1/2, truncated: below 2^40, no overflow.
    const uint64_t exact = (uint64_t{tempo} * 200 + percent) / (2 * percent);
    if (exact < 1) {
        return {1, true};
    }
    if (exact > kHighestTempo) {
        return {kHighestTempo, true};
    }
    return {static_cast<uint32_t>(exact), false};
}

} // namespace korvane
