#include "platform/BackgroundWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace korvane {

int WriteAll(int fd, const uint8_t* data, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, data + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : EIO;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

BackgroundWriter::BackgroundWriter(int fd) : m_fd(fd), m_thread([this] { Run(); }) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_busy; });
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

AlignedBytes BackgroundWriter::Submit(AlignedBytes buffer, int& error) {
    AlignedBytes spare;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_busy; });
        error = m_error;
        if (error != 0) {
            return spare;
        }
        m_pending = std::move(buffer);
        m_busy = true;
        spare = std::move(m_spare);
    }
    m_changed.notify_all();
    return spare;
}

int BackgroundWriter::Wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
    return m_error;
}

void BackgroundWriter::StartWriteBack() {
    // Every file Korvane writes is synced before it is committed. Sending the written pages to
    // the disk now lets the disk work while the caller computes, so the final sync finds little
    // left to wait for. Only a hint: where it is not supported it is not asked again, and the
    // sync reports any real failure.
#ifdef __EMSCRIPTEN__
    // The web page's C library has no sync_file_range, and its in-memory files no disk to start.
    m_writeBack = false;
#else
    if (m_writeBack && ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE) != 0) {
        m_writeBack = false;
    }
#endif
}

void BackgroundWriter::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_busy || m_stop; });
        if (!m_busy) {
            return; // stopped with nothing handed over
        }
        AlignedBytes buffer = std::move(m_pending);
        lock.unlock();
        const int error = WriteAll(m_fd, buffer.data(), buffer.size());
        StartWriteBack();
        lock.lock();
        if (m_error == 0) {
            m_error = error;
        }
        m_spare = std::move(buffer);
        m_busy = false;
        m_changed.notify_all();
    }
}

} // namespace korvane
