#pragma once

#include <cctype>
#include <cstddef>
#include <string>

namespace korvane {

// A test-case name from any text: letters and digits kept, anything else '_', at most 40
// characters, after the case's index so that names stay unique.
inline std::string CaseName(size_t index, const std::string& text) {
    std::string name = std::to_string(index) + "_";
    for (const char c : text.substr(0, 40)) {
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

} // namespace korvane
