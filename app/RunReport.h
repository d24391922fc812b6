#pragma once

#include "app/CommandLine.h"
#include "app/FileOutcome.h"

#include <fstream>
#include <ostream>
#include <string>

namespace korvane {

// The report of a run: one JSON object per input, one per line, in input order.
class RunReport {
  public:
    // Writes to path, or to standard output for "-"; false when the file cannot be made.
    bool Open(const std::string& path);
    // The first line: the version, the report's schema and the settings of the run.
    void WriteSettings(const CommandLine& commandLine);
    void Write(const std::string& input, const FileOutcome& outcome);
    // False when any line could not be written.
    bool Close();

  private:
    std::ofstream m_file;
    std::ostream* m_out = nullptr;
};

} // namespace korvane
