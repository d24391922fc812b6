#pragma once

#include "app/CommandLine.h"
#include "app/FileOutcome.h"
#include "app/PlannedInput.h"
#include "job/LanguageTable.h"

#include <functional>
#include <ostream>

namespace korvane {

// Converts every input of the command line, folders walked, with the collection options:
// messages on errors (as "korvane: INPUT: message"), in input order whatever the number of
// jobs. A run over a folder also shows its progress on a terminal, stops cleanly on SIGINT,
// SIGTERM or SIGHUP and ends with a summary line. Returns the exit status: 0, 1 when a file or
// folder failed, 128 plus the signal when one of them stopped it; 2 for a usage error found on the
// file system.
int RunCollection(const CommandLine& commandLine, const LanguageTexts& texts, std::ostream& errors);

// A host that shows a run itself (the window): told of each file as it is reported, in input
// order, told how many files in a row have been converted (before their outputs are named), and
// asked between files whether to stop, as a signal stops a command-line run.
struct RunObserver {
    std::function<void(const PlannedInput& input, const FileOutcome& outcome, size_t total)>
        reported;
    std::function<void(size_t converted, size_t total)> converted;
    std::function<bool()> stop;
};

// Converts as RunCollection does, but prints nothing and leaves the signals to the host.
void RunCollection(const CommandLine& commandLine, const LanguageTexts& texts,
                   const RunObserver& observer);

} // namespace korvane
