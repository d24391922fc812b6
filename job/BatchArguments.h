#pragma once

#include <string>
#include <vector>

namespace korvane {

// What the short-option loop finds: "-v VALUE" and "-f INPUT", recognised by their first
// two characters; the last "-f" wins; every other argument is skipped.
struct BatchArguments {
    bool seen = false;       // "-v" or "-f" met: a batch run
    bool inputGiven = false; // "-f" met with a value
    std::string inputPath;
    // Every "-f" value and every plain argument, in command-line order.
    std::vector<std::string> paths;
    // Arguments beginning with "-" that the loop took neither as an option nor as a value.
    std::vector<std::string> strayOptions;
    // Arguments that are neither options nor option values.
    std::vector<std::string> plainArguments;
};

// args[0] is the program name. Nothing past the last argument is read; an option given last,
// without a value, is ignored.
BatchArguments ScanBatchArguments(const std::vector<std::string>& args);

} // namespace korvane
