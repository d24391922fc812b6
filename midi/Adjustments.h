#pragma once

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

    bool operator==(const Adjustments&) const = default;
};

} // namespace korvane
