#pragma once

#include "app/CommandLine.h"
#include "app/PlannedInput.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Usage checks that need the file system, made before anything is opened for writing.

// An output folder that is one of the folders given would hold every output beside its input:
// it is dropped, so the run converts as if none were given. With --keep-names every output
// would replace its input: that is the usage error returned.
std::optional<std::string> DropOutputFolderThatIsInput(CommandLine& commandLine);

// The usage error when the report would replace an input or an output of the run (also through
// a link or another spelling); "-" for standard output clashes with an output there.
std::optional<std::string> CheckReportPath(const std::string& reportPath,
                                           const std::vector<PlannedInput>& plan,
                                           const std::vector<std::string>& outputs);

// The usage error when standard input or output would be a terminal: a MIDI file is not
// typed, and binary bytes on a terminal show nothing useful and may upset it.
std::optional<std::string> CheckStandardStreams(const CommandLine& commandLine);

} // namespace korvane
