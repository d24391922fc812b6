#pragma once

#include "app/Shard.h"
#include "job/BatchArguments.h"
#include "midi/Adjustments.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What a command-line conversion uses besides its inputs.
struct ConversionOptions {
    Adjustments adjustments;
    std::optional<std::string> outputPath; // none: derived from each input
};

// How a run over many files (folders, or several inputs) is carried out and reported.
struct CollectionOptions {
    std::string outputDir;  // empty: each output beside its input
    bool keepNames = false; // under outputDir, each output takes its input's name
    unsigned jobs = 0;      // files converted at once; 0: one per online processor
    std::string reportPath; // JSON Lines report; "-" is standard output; empty: none
    bool quiet = false;     // only failures are printed
    bool skipExisting = false;
    bool check = false; // read every input as a conversion would, write nothing, report repairs
    Shard shard;
};

struct CommandLine {
    enum class Action { Window, Convert, Help, Version, UsageError };
    Action action = Action::Window;
    // Any long option makes the run headless: no window, messages on standard error.
    bool headless = false;
    ConversionOptions options;
    CollectionOptions collection;
    std::vector<std::string> inputs;
    std::string error; // the usage error, for Action::UsageError
    BatchArguments batch;
};

// Tells whether a path names a folder (links followed).
using FolderTest = std::function<bool(const std::string&)>;
bool IsFolderPath(const std::string& path);

// args[0] is the program name. Long options ("--name=VALUE" or "--name VALUE") are taken out
// first; the rest goes through the short-option "-v"/"-f" loop. A path naming a folder makes the
// run headless, as a long option does.
CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const FolderTest& isFolder = IsFolderPath);

std::string UsageText();

} // namespace korvane
