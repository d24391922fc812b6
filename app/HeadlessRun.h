#pragma once

#include "app/CommandLine.h"

#include <ostream>

namespace korvane {

// Converts every input of the command line one after another; one failure does not stop the
// others. Messages use the language stored in the profile. Returns the exit status: 0 when
// every file converted, 1 when any failed.
int RunHeadless(const CommandLine& commandLine, std::ostream& errors);

} // namespace korvane
