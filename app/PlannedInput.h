#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// One input of a run, in the order it is converted and reported: a file, or a folder that
// could not be read.
struct PlannedInput {
    std::string path;
    uint32_t relativeStart = 0; // where the path below its folder argument begins
    int folderError = 0;        // non-zero (an errno value): an unreadable folder
    bool collides = false;      // its output is another input's, or names another input
    std::string output{};       // where its output goes, decided once for the whole run
    std::optional<std::string> readFrom =
        std::nullopt; // where its bytes are read, when not from path ("-")

    const std::string& ReadPath() const { return readFrom ? *readFrom : path; }

    std::string_view Relative() const { return std::string_view(path).substr(relativeStart); }
};

} // namespace korvane
