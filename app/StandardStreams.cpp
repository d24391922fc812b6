#include "app/StandardStreams.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvane {

namespace {
constexpr size_t kBlock = 1 << 20;
// A MIDI header begins within the first 4 KiB of the input, or the input is refused.
constexpr size_t kHeaderSearch = 4096 + 3;

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

// A file with no name in the temporary folder; a named one removed at once where the file
// system refuses unnamed files.
int OpenUnnamed() {
    const std::string folder = TemporaryFolder();
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) {
        return fd;
    }
    std::string name = folder + "/.korvane-stdin-XXXXXX";
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0) {
        ::unlink(name.c_str());
    }
    return named;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Copies from one descriptor to another to the end; false on a read or write failure.
bool Copy(int from, int to, uint64_t& copied) {
    std::vector<char> block(kBlock);
    for (;;) {
        const ssize_t n = ::read(from, block.data(), block.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0;
        }
        if (!WriteAll(to, block.data(), static_cast<size_t>(n))) {
            return false;
        }
        copied += static_cast<uint64_t>(n);
    }
}
// Copies the bytes in which a MIDI header must begin, or all there are.
bool CopyFirstBytes(int to, uint64_t& copied) {
    std::vector<char> first(kHeaderSearch);
    size_t got = 0;
    while (got < first.size()) {
        const ssize_t n = ::read(STDIN_FILENO, first.data() + got, first.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n < 0) {
                return false;
            }
            break;
        }
        got += static_cast<size_t>(n);
    }
    copied = got;
    return WriteAll(to, first.data(), got);
}

// False when the first bytes copied already show the input is no MIDI file: a RIFF file may
// hold one further in, anything else has its header in them. The rest is then never read, so
// an endless stream of something else ends at once (the conversion refuses what was copied).
bool MayBeMidi(int fd, uint64_t copied) {
    std::string first(copied, '\0');
    if (::pread(fd, first.data(), first.size(), 0) != static_cast<ssize_t>(copied)) {
        return true;
    }
    return first.rfind("RIFF", 0) == 0 || first.find("MThd") != std::string::npos;
}
} // namespace

StandardInputSpool::~StandardInputSpool() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool StandardInputSpool::Take() {
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) == 0 && S_ISREG(st.st_mode) &&
        ::lseek(STDIN_FILENO, 0, SEEK_CUR) == 0) {
        m_inPlace = true; // a file read from its start: read where it is, not copied
        return true;
    }
    m_fd = OpenUnnamed();
    uint64_t copied = 0;
    if (m_fd >= 0 && CopyFirstBytes(m_fd, copied) &&
        (!MayBeMidi(m_fd, copied) || Copy(STDIN_FILENO, m_fd, copied))) {
        return true;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    return false;
}

std::string StandardInputSpool::Path() const {
    if (m_inPlace) {
        return "/proc/self/fd/" + std::to_string(STDIN_FILENO);
    }
    return m_fd < 0 ? std::string() : "/proc/self/fd/" + std::to_string(m_fd);
}

std::string StandardOutputStandIn() {
    return TemporaryFolder() + "/.korvane-standard-output-" + std::to_string(::getpid());
}

bool CopyToStandardOutput(int fd, uint64_t& copied) {
    copied = 0;
    return Copy(fd, STDOUT_FILENO, copied);
}

} // namespace korvane
