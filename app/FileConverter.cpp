#include "app/FileConverter.h"

#include "app/InterruptSignals.h"
#include "app/StandardStreams.h"
#include "job/ErrorCode.h"
#include "job/ReportStatus.h"

#include <cerrno>
#include <cstring>
#include <new>
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
    : m_commandLine(commandLine), m_texts(texts) {}

FileOutcome FileConverter::Convert(const PlannedInput& input, const struct stat* looked) {
    try {
        return ConvertInput(input, looked);
    } catch (const std::bad_alloc&) {
        // At a memory limit: this file fails, the run goes on.
        FileOutcome outcome;
        outcome.reason = std::strerror(ENOMEM);
        return Failed(outcome, JobMessage::InputNotOpened);
    }
}

FileOutcome FileConverter::ConvertInput(const PlannedInput& input, const struct stat* looked) {
    FileOutcome outcome;
    if (input.folderError != 0) {
        outcome.reason = std::strerror(input.folderError);
        return Failed(outcome, JobMessage::FolderNotRead);
    }
    if (m_commandLine.collection.check) {
        return Check(input, outcome);
    }
    outcome.output = input.output;
    if (input.collides) {
        return Failed(outcome, JobMessage::InputsCollide);
    }
    if (looked != nullptr) {
        outcome.bytesIn = static_cast<uint64_t>(looked->st_size);
    }
    if (m_commandLine.collection.skipExisting && looked != nullptr &&
        OutputIsCurrent(*looked, outcome.output)) {
        outcome.status = FileStatus::Skipped;
        return outcome;
    }
    if (!m_commandLine.collection.outputDir.empty()) {
        if (auto refused = m_folders.Prepare(outcome.output)) {
            outcome.reason = std::move(*refused);
            return Failed(outcome, JobMessage::OutputNotCreated);
        }
    }
    ConversionOutcome converted = m_job.RunConversion(
        {.inputPath = input.ReadPath(),
         .outputPath = outcome.output == "-" ? StandardOutputStandIn() : outcome.output,
         .adjustments = m_commandLine.options.adjustments,
         .output = OutputTo::File,
         .deferCommit = true,
         .refuseOutputLink = BesideInput(),
         .cancel = &InterruptSignals::StopAsked()});
    if (converted.status == ConversionStatus::Cancelled) {
        outcome.abandoned = true;
        return outcome;
    }
    if (!converted.Completed()) {
        outcome.reason = std::move(converted.reason);
        return Failed(outcome, converted.message);
    }
    outcome.status = FileStatus::Converted;
    outcome.bytesOut = converted.bytesOut;
    outcome.repairs = converted.repairs;
    outcome.tickSpeed = converted.tickSpeed;
    if (m_commandLine.options.adjustments.m_peakLevel > 0) {
        outcome.gain = ReportedGain(converted.gain);
    }
    outcome.pending = std::move(converted.pending);
    return outcome;
}

bool FileConverter::BesideInput() const {
    // --output-dir keeps links inside its folder (OutputFolders); --output names its file itself.
    return !m_commandLine.options.outputPath && m_commandLine.collection.outputDir.empty();
}

FileOutcome FileConverter::Check(const PlannedInput& input, FileOutcome& outcome) {
    ConversionOutcome read = m_job.RunConversion(
        {.inputPath = input.ReadPath(), .adjustments = m_commandLine.options.adjustments});
    outcome.bytesIn = read.bytesIn;
    if (!read.Completed()) {
        outcome.reason = std::move(read.reason);
        return Failed(outcome, read.message);
    }
    outcome.status = FileStatus::Checked;
    outcome.repairs = read.repairs;
    return std::move(outcome);
}

FileOutcome FileConverter::Failed(FileOutcome& outcome, JobMessage message) const {
    outcome.status = FileStatus::Failed;
    outcome.message = MessageText(m_texts, message);
    outcome.error = message;
    return std::move(outcome);
}

} // namespace korvane
