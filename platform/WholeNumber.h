#pragma once

#include <optional>
#include <string_view>

namespace korvane {

// A whole number as a person types it into any host (the command line's options, the window's
// fields, the page's speed field, the Python module's settings): spaces around it are ignored,
// a leading '+' is taken, then decimal digits only, from lowest to highest. A '-' is refused,
// "-0" included: no setting goes below 0, so a minus sign is always a typing slip. Nothing else
// parses these texts.
inline std::optional<int> ParseWholeNumber(std::string_view text, int lowest, int highest) {
    constexpr std::string_view kSpaces = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
    if (text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > highest) {
            return std::nullopt;
        }
    }
    if (value < lowest) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

} // namespace korvane
