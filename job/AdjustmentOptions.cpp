#include "job/AdjustmentOptions.h"

#include <algorithm>

namespace korvane {

namespace {
constexpr const char* kAdjustmentOptions[] = {
    "speed", "dynamic-range", "volume", "fix-stuck-notes", "keep-bars", "channels", "peak"};

// Channel numbers 1 to 16 and ranges, "1-9,11-16", as a mask with bit n for channel n + 1.
std::optional<uint16_t> ParseChannels(const std::string& text) {
    uint32_t mask = 0;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const size_t dash = item.find('-');
        const auto first = ParseWholeNumber(item.substr(0, dash), 1, 16);
        const auto last =
            dash == std::string::npos ? first : ParseWholeNumber(item.substr(dash + 1), 1, 16);
        if (!first || !last || *first > *last) {
            return std::nullopt;
        }
        for (int channel = *first; channel <= *last; ++channel) {
            mask |= 1u << (channel - 1);
        }
        start = comma + 1;
    }
    return static_cast<uint16_t>(mask);
}

// The options that take a whole number, with their ranges.
struct IntegerOption {
    const char* name;
    int lowest;
    int highest;
    int Adjustments::*value;
};
constexpr IntegerOption kIntegerOptions[] = {
    {"speed", Adjustments::kSpeedLowest, Adjustments::kSpeedHighest, &Adjustments::m_speedPercent},
    {"dynamic-range", Adjustments::kLevelLowest, Adjustments::kLevelHighest,
     &Adjustments::m_dynamicRange},
    {"volume", Adjustments::kLevelLowest, Adjustments::kLevelHighest, &Adjustments::m_volume},
    {"peak", Adjustments::kPeakLowest, Adjustments::kPeakHighest, &Adjustments::m_peakLevel},
};
} // namespace

std::string SetIntegerOption(const std::string& name, const std::string& value, int lowest,
                             int highest, int& target) {
    const auto parsed = ParseWholeNumber(value, lowest, highest);
    if (!parsed) {
        return IntegerOptionError(name, value, lowest, highest);
    }
    target = *parsed;
    return {};
}

std::string IntegerOptionError(const std::string& name, const std::string& value, int lowest,
                               int highest) {
    return "--" + name + " takes an integer from " + std::to_string(lowest) + " to " +
           std::to_string(highest) + ", not '" + value + "'";
}

bool IsAdjustmentOption(const std::string& name) {
    return std::find(std::begin(kAdjustmentOptions), std::end(kAdjustmentOptions), name) !=
           std::end(kAdjustmentOptions);
}

std::string ApplyAdjustmentOption(const std::string& name, const std::string& value,
                                  Adjustments& adjustments) {
    for (const IntegerOption& option : kIntegerOptions) {
        if (name == option.name) {
            return SetIntegerOption(name, value, option.lowest, option.highest,
                                    adjustments.*option.value);
        }
    }
    if (name == "fix-stuck-notes") {
        adjustments.m_eliminateStuckNotes = true;
    } else if (name == "keep-bars") {
        adjustments.m_keepBars = true;
    } else {
        const auto channels = ParseChannels(value);
        if (!channels) {
            return "--channels takes channel numbers 1 to 16 and ranges, as 1-9,11-16, not '" +
                   value + "'";
        }
        adjustments.m_levelChannels = *channels;
    }
    return {};
}

} // namespace korvane
