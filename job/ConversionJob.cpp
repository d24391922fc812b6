#include "job/ConversionJob.h"

#include "job/ChunkPass.h"
#include "job/MemoryOutput.h"
#include "platform/FileSystem.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <sys/stat.h>

namespace korvane {

namespace {
// The system's words for the error a failed call left, if it left one.
std::string ErrnoReason(int error) {
    return error != 0 ? std::strerror(error) : std::string();
}

const std::atomic<bool> kNeverCancelled{false};
constexpr char kOutputIsLink[] = "the output's name is a symbolic link";
constexpr char kNotAFile[] = "the output's name is no regular file (a folder, a device or a pipe)";
} // namespace

ConversionOutcome ConversionJob::RunConversion(const ConversionRequest& request) {
    ConversionOutcome outcome;
    MemoryOutput memory(request.memoryLimit, request.cancel ? *request.cancel : kNeverCancelled);
    PassOutput* output = nullptr;
    if (request.output == OutputTo::File) {
        output = &m_fileOutput;
    } else if (request.output == OutputTo::Memory) {
        output = &memory;
    } else if (request.output == OutputTo::Given) {
        output = request.given;
    }
    m_fileOutput.CancelOn(request.cancel);
    m_engine.m_levels.clear();
    m_engine.m_noteOnMarks.clear();
    m_engine.KeepLevels(request.keepLevels);
    m_engine.BeginPass(request.adjustments, output);
    try {
        Convert(request, output, outcome);
        outcome.status = ConversionStatus::Completed;
    } catch (const Failure& failure) {
        outcome.message = failure.message;
        outcome.reason = failure.reason;
    } catch (const NotMidiError&) {
        outcome.message = JobMessage::NotMidi;
    } catch (const NoTrackError&) {
        outcome.message = JobMessage::NoTrack;
    } catch (const ChunkReadError& error) {
        outcome.message = JobMessage::InputNotOpened;
        outcome.reason = error.reason;
    } catch (const BufferedFileException& error) {
        outcome.message = JobMessage::OutputNotWritten;
        outcome.reason = error.Reason();
    } catch (const MemoryOutput::LimitReached&) {
        outcome.status = ConversionStatus::TooLarge;
    } catch (const PassOutput::Cancelled&) {
        outcome.status = ConversionStatus::Cancelled;
    } catch (const std::bad_alloc&) {
        outcome.status = request.output == OutputTo::Memory ? ConversionStatus::TooLarge
                                                            : ConversionStatus::Failed;
        outcome.message = JobMessage::InputNotOpened;
        outcome.reason = std::strerror(ENOMEM);
    }
    // A failed save's temporary is gone before its message shows.
    DiscardFiles();
    m_engine.EndPass();
    outcome.repairs = m_engine.m_repairs;
    outcome.tickSpeed = m_engine.TickSpeed();
    outcome.levels = std::move(m_engine.m_levels);
    outcome.noteOnMarks = std::move(m_engine.m_noteOnMarks);
    outcome.loudestNoteOn = m_engine.LoudestNoteOn();
    outcome.gain = m_engine.Gain();
    if (request.output == OutputTo::Memory && outcome.Completed()) {
        outcome.bytesOut = memory.Bytes().size();
        outcome.bytes = std::move(memory.Bytes());
    }
    return outcome;
}

void ConversionJob::Convert(const ConversionRequest& request, PassOutput* output,
                            ConversionOutcome& outcome) {
    const bool toFile = request.output == OutputTo::File;
    // The output is checked first but made only once the input is known to be usable, so a
    // refused input never leaves a temporary behind.
    const OutputPlace place = toFile ? CheckOutput(request) : OutputPlace();
    outcome.bytesIn = OpenInput(request.inputPath);
    if (output != nullptr) {
        output->Expect(outcome.bytesIn); // an output is about as long as its input
    }
    if (request.adjustments.m_peakLevel > 0) {
        m_engine.BeginPass(request.adjustments, output, FindLoudestNoteOn(request));
    }
    if (toFile) {
        CreateOutput(place);
    }
    RunChunkPass(m_inFile, m_windowSize, m_engine, output);
    m_inFile.Abort();
    if (toFile) {
        FinishOutput(request, outcome);
    }
}

unsigned ConversionJob::FindLoudestNoteOn(const ConversionRequest& request) {
    m_engine.BeginLoudestPass(request.adjustments);
    RunChunkPass(m_inFile, m_windowSize, m_engine, nullptr);
    m_engine.m_levels.clear(); // the conversion records its own
    return m_engine.LoudestNoteOn();
}

void ConversionJob::DiscardFiles() {
    m_inFile.Abort();
    m_outFile.Abort();
    m_tempOutput = TempOutput();
}

ConversionJob::OutputPlace ConversionJob::CheckOutput(const ConversionRequest& request) const {
    // A name nothing holds can be neither the input nor a link.
    struct stat named {};
    const bool free = ::lstat(request.outputPath.c_str(), &named) != 0 && errno == ENOENT;
    if (!free && SameFile(request.outputPath, request.inputPath)) {
        throw Failure{JobMessage::OutputIsInput, {}};
    }
    if (!free && request.refuseOutputLink && S_ISLNK(named.st_mode)) {
        throw Failure{JobMessage::OutputNotCreated, kOutputIsLink};
    }
    errno = 0;
    const std::optional<std::string> target =
        free ? FreeOutputTarget(request.outputPath) : OutputTarget(request.outputPath);
    if (!target) {
        // Without a system error the name holds something other than a file.
        const int error = errno;
        throw Failure{JobMessage::OutputNotCreated,
                      error != 0 ? ErrnoReason(error) : std::string(kNotAFile)};
    }
    return {*target, free ? TempOutput::OutputThere::No : TempOutput::OutputThere::Maybe};
}

void ConversionJob::CreateOutput(const OutputPlace& place) {
    errno = 0;
    m_tempOutput = TempOutput::Create(place.path, place.there);
    const int fd = m_tempOutput.IsValid() ? m_tempOutput.OpenWriter() : -1;
    if (fd < 0) {
        const int error = errno;
        m_tempOutput = TempOutput();
        throw Failure{JobMessage::OutputNotCreated, ErrnoReason(error)};
    }
    m_outFile.Attach(fd, place.path);
}

uint64_t ConversionJob::OpenInput(const std::string& path) {
    errno = 0;
    if (!m_inFile.Open(path, BufferedFile::modeRead)) {
        throw Failure{JobMessage::InputNotOpened, ErrnoReason(errno)};
    }
    try {
        return m_inFile.GetLength();
    } catch (const BufferedFileException& error) {
        throw Failure{JobMessage::InputNotOpened, error.Reason()};
    }
}

void ConversionJob::FinishOutput(const ConversionRequest& request, ConversionOutcome& outcome) {
    outcome.bytesOut = m_outFile.GetPosition();
    m_outFile.Close();
    if (request.deferCommit) {
        outcome.pending = std::move(m_tempOutput);
        return;
    }
    errno = 0;
    if (!m_tempOutput.Commit()) {
        throw Failure{JobMessage::OutputNotWritten, ErrnoReason(errno)};
    }
}

} // namespace korvane
