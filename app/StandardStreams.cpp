#include "app/StandardStreams.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace korvane {

namespace {
constexpr size_t kBlock = 1 << 20;

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
} // namespace

StandardInputSpool::~StandardInputSpool() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool StandardInputSpool::Take() {
    m_fd = OpenUnnamed();
    uint64_t copied = 0;
    if (m_fd >= 0 && Copy(STDIN_FILENO, m_fd, copied)) {
        return true;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    return false;
}

std::string StandardInputSpool::Path() const {
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
