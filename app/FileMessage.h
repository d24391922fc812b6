#pragma once

#include <ostream>
#include <string>

namespace korvane {

// Prints a file's message on a line of its own, as "korvane: PATH: MESSAGE (REASON)": the path
// escaped for a terminal, the reason in brackets only where there is one.
void PrintFileMessage(std::ostream& out, const std::string& path, const std::string& message,
                      const std::string& reason);

} // namespace korvane
