#pragma once

#include "midi/Adjustments.h"
#include "platform/WholeNumber.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace korvane {

// How a person sets the speed, the same in every host (the window and the page call these; the
// command line and the Python module take the same text through ParseWholeNumber).

// The speed field's text in percent: see ParseWholeNumber ("+150", " 150 " are 150; "-0", "1.5",
// "" are refused), within the engine's range.
inline std::optional<int> ParseSpeedText(std::string_view text) {
    return ParseWholeNumber(text, Adjustments::kSpeedLowest, Adjustments::kSpeedHighest);
}

// The speed slider: its position at 100 %, and the percent a position stands for (0.4 % a step).
constexpr int kSpeedPositionNeutral = 250;
constexpr int SpeedOfSliderPosition(int position) {
    return position * 2 / 5;
}

// The slider's position for a speed typed into the field: the first position that stands for it,
// or the slider's end for a speed past it. Moving the slider there gives the typed speed back.
constexpr int kSpeedSliderEnd = 1000;
constexpr int SliderPositionOfSpeed(int speedPercent) {
    return std::clamp((speedPercent * 5 + 1) / 2, 0, kSpeedSliderEnd);
}

// Ticks of the file at speed `to` per tick of the same file at speed `from`, for the preview's
// position to carry over a speed change: every delta time is divided by the speed. Speed 0
// makes every delta the shortest, so no position carries over.
constexpr double PositionScale(int from, int to) {
    return from > 0 && to > 0 ? static_cast<double>(from) / to : 0.0;
}

} // namespace korvane
