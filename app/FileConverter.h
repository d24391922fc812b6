#pragma once

#include "app/CommandLine.h"
#include "app/FileOutcome.h"
#include "app/PlannedInput.h"
#include "job/ConversionJob.h"
#include "job/LanguageTable.h"
#include "job/OutputFolders.h"

#include <sys/stat.h>

namespace korvane {

// Converts the inputs of a run one at a time, on whichever thread owns it: each worker of a
// run has its own, with its own job and engine.
class FileConverter {
  public:
    FileConverter(const CommandLine& commandLine, const LanguageTexts& texts);

    // looked: the input as the caller found it just now, or null when it could not be looked at.
    FileOutcome Convert(const PlannedInput& input, const struct stat* looked);

  private:
    FileOutcome ConvertInput(const PlannedInput& input, const struct stat* looked);
    // --check: the input read as a conversion would read it, nothing written.
    FileOutcome Check(const PlannedInput& input, FileOutcome& outcome);
    FileOutcome Failed(FileOutcome& outcome, JobMessage message) const;
    // True when outputs are named beside their inputs: such a name is never saved through a
    // link, which could lead anywhere.
    bool BesideInput() const;

    const CommandLine& m_commandLine;
    const LanguageTexts& m_texts;
    ConversionJob m_job;
    OutputFolders m_folders{m_commandLine.collection.outputDir};
};

} // namespace korvane
