#include "web/LoadedFile.h"

#include "job/ChunkPass.h"
#include "job/InputWindow.h"
#include "job/MemoryOutput.h"
#include "midi/MidiEngine.h"
#include "platform/BufferedFile.h"

#include <atomic>
#include <fcntl.h>
#include <limits>
#include <new>
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
} // namespace

LoadedFile::LoadedFile(const std::string& bytes) : m_path(NextPath()) {
    if (!WriteWhole(m_path, bytes)) {
        m_loaded.message = "msgInputNotOpened";
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

// The same steps and the same failures as the job's pass: an input that cannot be read (or
// holds no MIDI data) is "can not be opened", an output that cannot be held is "can not be
// written".
PassOutcome LoadedFile::RunPass(const Adjustments& adjustments, bool save) {
    PassOutcome outcome;
    m_output.clear();
    m_output.shrink_to_fit();
    BufferedFile input;
    if (!input.Open(m_path, BufferedFile::modeRead)) {
        outcome.message = "msgInputNotOpened";
        return outcome;
    }
    const std::atomic<bool> never{false};
    MemoryOutput output(std::numeric_limits<size_t>::max(), never);
    MidiEngine engine;
    engine.KeepLevels(!save);
    try {
        if (save) {
            output.Bytes().reserve(static_cast<size_t>(input.GetLength()));
        }
        engine.BeginPass(adjustments, save ? &output : nullptr);
        RunChunkPass(input, kWindowSize, engine, save ? &output : nullptr);
        engine.EndPass();
    } catch (const NotMidiError&) {
        outcome.message = "msgNotMidi";
        return outcome;
    } catch (const ChunkReadError&) {
        outcome.message = "msgInputNotOpened";
        return outcome;
    } catch (const BufferedFileException&) {
        outcome.message = "msgOutputNotWritten";
        return outcome;
    } catch (const std::bad_alloc&) {
        outcome.message = "msgOutputNotWritten";
        return outcome;
    }
    outcome.completed = true;
    outcome.repairs = engine.m_repairs;
    if (save) {
        m_output = std::move(output.Bytes());
    } else {
        m_levels = std::move(engine.m_levels);
        for (const uint8_t level : m_levels) {
            m_present.set(level);
        }
    }
    return outcome;
}

} // namespace korvane
