#include "platform/BufferedFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace korvane {

// Calls readSome with the bytes read so far until count bytes have arrived or the file ends; a
// signal only interrupts the call, never the read.
template <typename ReadSome> size_t BufferedFile::ReadFully(size_t count, ReadSome readSome) const {
    size_t done = 0;
    while (done < count) {
        const ssize_t n = readSome(done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            Fail("read");
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

BufferedFile::~BufferedFile() {
    Abort();
}

bool BufferedFile::Open(const std::string& path, unsigned flags) {
    Abort();
    if (!(flags & modeWrite)) {
        return OpenForReading(path);
    }
    const int fd = ::open(
        path.c_str(), O_CLOEXEC | O_WRONLY | ((flags & modeCreate) ? O_CREAT | O_TRUNC : 0), 0666);
    if (fd < 0) {
        return false;
    }
    Attach(fd, path);
    return true;
}

bool BufferedFile::OpenForReading(const std::string& path) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come; anything but
    // a regular file is refused before a byte is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    Attach(fd, path);
    return true;
}

void BufferedFile::Attach(int fd, const std::string& path) {
    Abort();
    m_fd = fd;
    m_path = path;
    m_position = 0;
    m_used = 0;
}

size_t BufferedFile::Read(void* buffer, size_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    const size_t done =
        ReadFully(count, [&](size_t got) { return ::read(m_fd, out + got, count - got); });
    m_position += done;
    return done;
}

size_t BufferedFile::ReadAt(uint64_t offset, void* buffer, size_t count) const {
    auto* out = static_cast<uint8_t*>(buffer);
    return ReadFully(count, [&](size_t got) {
        return ::pread(m_fd, out + got, count - got, static_cast<off_t>(offset + got));
    });
}

void BufferedFile::WriteAcross(const void* data, size_t count) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (count > 0) {
        const std::span<uint8_t> room = Room(1);
        const size_t part = std::min(count, room.size());
        std::memcpy(room.data(), bytes, part);
        Commit(part);
        bytes += part;
        count -= part;
    }
}

std::span<uint8_t> BufferedFile::Room(size_t count) {
    if (count > kBufferSize) {
        return {};
    }
    if (kBufferSize - m_used < count) {
        SubmitBuffer();
    }
    if (m_buffer.size() < kBufferSize) {
        m_buffer.resize(kBufferSize); // the first two buffers, and one handed over before it filled
    }
    return {m_buffer.data() + m_used, kBufferSize - m_used};
}

bool BufferedFile::StartBackground() {
    try {
        m_background = std::make_unique<BackgroundWriter>(m_fd);
        return true;
    } catch (const std::system_error&) {
        return false; // a process at its thread or memory limit writes on the caller's thread
    }
}

void BufferedFile::SubmitBuffer() {
    if (!m_background && !StartBackground()) {
        Flush();
        return;
    }
    const size_t submitted = m_used;
    m_buffer.resize(submitted); // the writer writes what the buffer holds
    int error = 0;
    AlignedBytes empty = m_background->Submit(std::move(m_buffer), error);
    m_buffer = std::move(empty);
    m_used = 0;
    if (error != 0) {
        FailWrite(error);
    }
    m_position += submitted;
}

void BufferedFile::Drain() {
    if (!m_background) {
        return;
    }
    const int error = m_background->Wait();
    if (error != 0) {
        FailWrite(error);
    }
}

void BufferedFile::Flush() {
    Drain();
    const int error = WriteAll(m_fd, m_buffer.data(), m_used);
    if (error != 0) {
        FailWrite(error);
    }
    m_position += m_used;
    m_used = 0;
}

uint64_t BufferedFile::Seek(int64_t offset, SeekPosition from) {
    Flush();
    const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    const off_t result = ::lseek(m_fd, offset, whence);
    if (result < 0) {
        Fail("seek");
    }
    m_position = static_cast<uint64_t>(result);
    return m_position;
}

void BufferedFile::Patch(uint64_t position, const void* data, size_t count) {
    if (position >= m_position && position + count <= m_position + m_used) {
        std::memcpy(m_buffer.data() + (position - m_position), data, count);
        return;
    }
    const uint64_t back = GetPosition();
    Seek(static_cast<int64_t>(position), begin);
    Write(data, count);
    Seek(static_cast<int64_t>(back), begin);
}

uint64_t BufferedFile::GetPosition() const {
    return m_position + m_used;
}

uint64_t BufferedFile::GetLength() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        Fail("stat");
    }
    const auto onDisk = static_cast<uint64_t>(st.st_size);
    return std::max(onDisk, GetPosition());
}

void BufferedFile::Close() {
    if (m_fd < 0) {
        return;
    }
    Flush();
    m_background.reset();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        Fail("close");
    }
}

void BufferedFile::Abort() {
    m_background.reset(); // the write in progress ends before its descriptor closes
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = -1;
    m_used = 0;
}

void BufferedFile::FailWrite(int error) {
    m_used = 0;
    errno = error;
    Fail("write");
}

void BufferedFile::Fail(const char* operation) const {
    const int error = errno;
    throw BufferedFileException(
        std::string("cannot ") + operation + " " + m_path + ": " + std::strerror(error), error);
}

} // namespace korvane
