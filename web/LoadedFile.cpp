#include "web/LoadedFile.h"

#include "job/ConversionJob.h"
#include "job/ErrorCode.h"
#include "job/RiffUnwrap.h"
#include "platform/BufferedFile.h"

#include <limits>
#include <unistd.h>
#include <utility>

namespace korvane {
namespace {
// Below the size from which InputWindow reads the next window ahead on a thread: the page runs
// on the browser's one thread, and its input is in memory already, so nothing would overlap.
constexpr size_t kWindowSize = size_t{512} << 10;

// The page's key of a failed pass's message (ErrorCode.h). A file whose pass runs out of the
// page's memory is too large for the page, not unwritable.
const char* PageMessageKey(const ConversionOutcome& outcome) {
    if (outcome.status == ConversionStatus::TooLarge) {
        return "msgTooLargeForPage";
    }
    const bool unread =
        outcome.message == JobMessage::InputNotOpened && outcome.status == ConversionStatus::Failed;
    const bool read =
        outcome.message == JobMessage::NotMidi || outcome.message == JobMessage::NoTrack;
    return MessageKey(read || unread ? outcome.message : JobMessage::OutputNotWritten);
}
} // namespace

LoadedFile::LoadedFile(std::string path) : m_path(std::move(path)) {
    m_loaded = RunPass(Adjustments{}, OutputTo::Nothing);
}

LoadedFile::~LoadedFile() {
    ::unlink(m_path.c_str());
}

void LoadedFile::LevelsFor(const Adjustments& adjustments) {
    Adjustments levelPass;
    levelPass.m_levelChannels = adjustments.m_levelChannels;
    levelPass.m_peakLevel = adjustments.m_peakLevel;
    if (levelPass != m_levelPass) {
        RunPass(levelPass, OutputTo::Nothing);
    }
}

PassOutcome LoadedFile::Convert(const Adjustments& adjustments) {
    return RunPass(adjustments, OutputTo::Memory);
}

PassOutcome LoadedFile::ConvertInto(const Adjustments& adjustments, PassOutput& output) {
    return RunPass(adjustments, OutputTo::Given, &output);
}

std::vector<uint8_t> LoadedFile::OriginalMidi() const {
    std::vector<uint8_t> bytes;
    try {
        BufferedFile input;
        if (!input.Open(m_path, BufferedFile::modeRead)) {
            return bytes;
        }
        const std::optional<MidiRange> range = FindMidiRange(input);
        if (range) {
            bytes.resize(static_cast<size_t>(range->end - range->offset));
            bytes.resize(input.ReadAt(range->offset, bytes.data(), bytes.size()));
        }
    } catch (const BufferedFileException&) {
        bytes.clear();
    }
    return bytes;
}

// The job's own pass, into memory or into nothing: the same repairs, refusals and bytes as a
// file on disk.
PassOutcome LoadedFile::RunPass(const Adjustments& adjustments, OutputTo output,
                                PassOutput* given) {
    m_output.clear();
    m_output.shrink_to_fit();
    const bool save = output != OutputTo::Nothing;
    ConversionOutcome done = ConversionJob(kWindowSize)
                                 .RunConversion({.inputPath = m_path,
                                                 .adjustments = adjustments,
                                                 .output = output,
                                                 .keepLevels = !save,
                                                 .memoryLimit = std::numeric_limits<size_t>::max(),
                                                 .given = given});
    PassOutcome outcome;
    outcome.completed = done.Completed();
    if (!outcome.completed) {
        outcome.message = PageMessageKey(done);
        return outcome;
    }
    outcome.repairs = done.repairs;
    outcome.tickSpeed = done.tickSpeed;
    if (save) {
        m_output = std::move(done.bytes);
    } else {
        m_levelPass = adjustments;
        m_levels = std::move(done.levels);
        m_noteOnMarks = std::move(done.noteOnMarks);
        m_loudestNoteOn = done.loudestNoteOn;
        m_present.reset();
        for (const uint8_t level : m_levels) {
            m_present.set(level);
        }
    }
    return outcome;
}

} // namespace korvane
