#pragma once

#include "app/CommandLine.h"
#include "job/LanguageTable.h"

#include <ostream>

namespace korvane {

// Converts every input of the command line, folders walked, with the collection options:
// messages on errors (as "korvane: INPUT: message"), in input order whatever the number of
// jobs. A run over a folder also shows its progress on a terminal, stops cleanly on SIGINT,
// SIGTERM or SIGHUP and ends with a summary line. Returns the exit status: 0, 1 when a file or
// folder failed, 128 plus the signal when one of them stopped it; 2 for a usage error found on the
// file system.
int RunCollection(const CommandLine& commandLine, const LanguageTexts& texts, std::ostream& errors);

} // namespace korvane
