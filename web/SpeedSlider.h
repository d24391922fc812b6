#pragma once

#include <algorithm>

namespace korvane {

// The speed slider's position for a speed typed into its field: the first position that stands
// for that percent (a position stands for 0.4 % a step, cut to whole percent), or the slider's end
// for a speed past it. Moving the slider there gives the typed speed back.
constexpr int kSpeedSliderEnd = 1000;
constexpr int SpeedSliderPosition(int speedPercent) {
    return std::clamp((speedPercent * 5 + 1) / 2, 0, kSpeedSliderEnd);
}

} // namespace korvane
