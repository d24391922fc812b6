#pragma once

#include "job/ConversionJob.h"
#include "job/OutputFolders.h"
#include "python/Settings.h"

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace korvane {

struct PlannedOutput {
    std::string output;
    bool collides = false; // refused, as a run refuses inputs whose outputs collide
};

// The outputs of input files under an output folder, named as --output-dir names those of files
// given alone, and which of them collide.
std::vector<PlannedOutput> PlanFolderOutputs(const std::vector<std::string>& inputs,
                                             const std::string& folder, bool keepNames);

// Converts files one at a time into their planned outputs under an output folder, as a run
// with --output-dir does (the folders made as needed, nothing saved outside the output
// folder), and answers with each file's report row.
class FolderConversion {
  public:
    FolderConversion(const std::string& folder, const Settings& settings)
        : m_folders(folder), m_settings(settings) {}

    // The row without its input and output: status, message, error, reason, bytes_in,
    // bytes_out, repairs, chunks_kept and, with a peak level, volume.
    pybind11::dict Convert(const std::string& input, const std::string& output, bool collides);

  private:
    ConversionOutcome Run(const std::string& input, const std::string& output);

    OutputFolders m_folders;
    const Settings m_settings;
    ConversionJob m_job;
};

} // namespace korvane
