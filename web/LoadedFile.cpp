#include "web/LoadedFile.h"

#include "job/ConversionJob.h"
#include "job/ErrorCode.h"

#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace korvane {
namespace {
// Below the size from which InputWindow reads the next window ahead on a thread: the page runs
// on the browser's one thread, and its input is in memory already, so nothing would overlap.
constexpr size_t kWindowSize = size_t{512} << 10;

std::string NextPath() {
    static unsigned s_count = 0;
    return "/input-" + std::to_string(++s_count);
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return ::close(fd) == 0 && done == bytes.size();
}

// The page's key of a failed pass's message (ErrorCode.h): a file that cannot be held in memory
// could not be written, as a disk that is full.
const char* PageMessageKey(const ConversionOutcome& outcome) {
    const bool unread =
        outcome.message == JobMessage::InputNotOpened && outcome.status == ConversionStatus::Failed;
    const bool read =
        outcome.message == JobMessage::NotMidi || outcome.message == JobMessage::NoTrack;
    return MessageKey(read || unread ? outcome.message : JobMessage::OutputNotWritten);
}
} // namespace

LoadedFile::LoadedFile(const std::string& bytes) : m_path(NextPath()) {
    if (!WriteWhole(m_path, bytes)) {
        m_loaded.message = MessageKey(JobMessage::InputNotOpened);
        return;
    }
    m_loaded = RunPass(Adjustments{}, false);
}

LoadedFile::~LoadedFile() {
    ::unlink(m_path.c_str());
}

PassOutcome LoadedFile::Convert(const Adjustments& adjustments) {
    return RunPass(adjustments, true);
}

// The job's own pass, into memory or into nothing: the same repairs, refusals and bytes as a
// file on disk.
PassOutcome LoadedFile::RunPass(const Adjustments& adjustments, bool save) {
    m_output.clear();
    m_output.shrink_to_fit();
    ConversionOutcome done =
        ConversionJob(kWindowSize)
            .RunConversion({.inputPath = m_path,
                            .adjustments = adjustments,
                            .output = save ? OutputTo::Memory : OutputTo::Nothing,
                            .keepLevels = !save,
                            .memoryLimit = std::numeric_limits<size_t>::max()});
    PassOutcome outcome;
    outcome.completed = done.Completed();
    if (!outcome.completed) {
        outcome.message = PageMessageKey(done);
        return outcome;
    }
    outcome.repairs = done.repairs;
    if (save) {
        m_output = std::move(done.bytes);
    } else {
        m_levels = std::move(done.levels);
        for (const uint8_t level : m_levels) {
            m_present.set(level);
        }
    }
    return outcome;
}

} // namespace korvane
