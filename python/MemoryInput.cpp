#include "python/MemoryInput.h"

#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>

namespace korvane {

MemoryInput::~MemoryInput() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool MemoryInput::Take(const uint8_t* data, size_t count) {
    m_fd = ::memfd_create("korvane-input", MFD_CLOEXEC);
    while (m_fd >= 0 && count > 0) {
        const ssize_t written = ::write(m_fd, data, count);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            const int error = written < 0 ? errno : EIO;
            ::close(m_fd);
            m_fd = -1;
            errno = error;
            return false;
        }
        data += written;
        count -= static_cast<size_t>(written);
    }
    return m_fd >= 0;
}

std::string MemoryInput::Path() const {
    return m_fd < 0 ? std::string() : "/proc/self/fd/" + std::to_string(m_fd);
}

} // namespace korvane
