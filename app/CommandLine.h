#pragma once

#include "job/BatchArguments.h"
#include "midi/Adjustments.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What a command-line conversion uses besides its inputs.
struct ConversionOptions {
    Adjustments adjustments;
    std::optional<std::string> outputPath; // none: derived from each input
};

struct CommandLine {
    enum class Action { Window, Convert, Help, Version, UsageError };
    Action action = Action::Window;
    // Any long option makes the run headless: no window, messages on standard error.
    bool headless = false;
    ConversionOptions options;
    std::vector<std::string> inputs;
    std::string error; // the usage error, for Action::UsageError
    BatchArguments batch;
};

// args[0] is the program name. Long options ("--name=VALUE" or "--name VALUE") are taken out
// first; the rest goes through the short-option "-v"/"-f" loop.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

} // namespace korvane
