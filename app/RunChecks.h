#pragma once

#include "app/CommandLine.h"
#include "app/PlannedInput.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Usage checks that need the file system, made before anything is opened for writing.

// The input that names the --output-dir folder itself (also through a link or another
// spelling), if one does.
std::optional<std::string> InputThatIsOutputFolder(const CommandLine& commandLine);

// The usage error when the report would replace an input or an output of the run (also through
// a link or another spelling); "-" for standard output clashes with an output there.
std::optional<std::string> CheckReportPath(const std::string& reportPath,
                                           const std::vector<PlannedInput>& plan,
                                           const std::vector<std::string>& outputs);

// The usage error when standard input or output would be a terminal: a MIDI file is not
// typed, and binary bytes on a terminal show nothing useful and may upset it.
std::optional<std::string> CheckStandardStreams(const CommandLine& commandLine);

} // namespace korvane
