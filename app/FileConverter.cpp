#include "app/FileConverter.h"

#include "app/InputPlan.h"
#include "app/StandardStreams.h"

#include <sys/stat.h>

namespace korvane {

namespace {
bool NotOlder(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec >= b.tv_nsec;
}

// True when the output is there and not older than the input.
bool OutputIsCurrent(const struct stat& input, const std::string& output) {
    struct stat st {};
    return ::stat(output.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           NotOlder(st.st_mtim, input.st_mtim);
}

} // namespace

FileConverter::FileConverter(const CommandLine& commandLine, const LanguageTexts& texts)
    : m_commandLine(commandLine), m_texts(texts) {
    m_job.ApplyTexts(&texts);
    m_job.m_adjustments = commandLine.options.adjustments;
    m_job.m_deferCommit = true;
}

FileOutcome FileConverter::Convert(const PlannedInput& input) {
    FileOutcome outcome;
    if (input.folderError != 0) {
        outcome.message = m_texts.msgFolderNotRead;
        return outcome;
    }
    outcome.output =
        OutputPathFor(input, m_commandLine.options.outputPath, m_commandLine.collection);
    if (input.collides) {
        outcome.message = m_texts.msgInputsCollide;
        return outcome;
    }
    struct stat in {};
    const bool inputThere = ::stat(input.ReadPath().c_str(), &in) == 0;
    if (inputThere) {
        outcome.bytesIn = static_cast<uint64_t>(in.st_size);
    }
    if (m_commandLine.collection.skipExisting && inputThere &&
        OutputIsCurrent(in, outcome.output)) {
        outcome.status = FileStatus::Skipped;
        return outcome;
    }
    if (!m_commandLine.collection.outputDir.empty() && !m_folders.Prepare(outcome.output)) {
        outcome.message = m_texts.msgOutputNotCreated;
        return outcome;
    }
    m_job.m_inputPath = input.ReadPath();
    m_job.m_outputPath = outcome.output == "-" ? StandardOutputStandIn() : outcome.output;
    const bool converted = m_job.RunConversion(true);
    outcome.message = m_host.TakeMessage();
    if (converted) {
        outcome.status = FileStatus::Converted;
        outcome.repairs = m_job.m_engine.m_repairs;
        outcome.pending = m_job.TakeFinishedOutput();
    }
    return outcome;
}

} // namespace korvane
