#pragma once

#include "platform/AlignedMemory.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace korvane {

// Writes count bytes to fd, going on after short and interrupted writes; returns 0 or the errno
// of the failure.
int WriteAll(int fd, const uint8_t* data, size_t count);

// Writes buffers to a file descriptor on a thread of its own, one at a time, so that the caller
// fills the next buffer while the system copies the last one. A failure is kept and returned by
// the next call, so no write is lost unreported.
class BackgroundWriter {
  public:
    explicit BackgroundWriter(int fd);
    ~BackgroundWriter(); // waits for the write in progress
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Hands over a full buffer, to be written at the descriptor's position after everything
    // handed over before; waits while the previous one is still being written. Returns that
    // previous buffer for reuse, its size and stale bytes kept so that reusing it costs no
    // zero fill (empty the first time), or 0 in error when an earlier write failed: then
    // buffer is not written.
    AlignedBytes Submit(AlignedBytes buffer, int& error);
    // Waits until everything handed over is written; returns 0 or the errno of the first
    // failure.
    int Wait();

  private:
    void Run();
    // Starts the disk writing what has been written so far, without waiting for it.
    void StartWriteBack();

    const int m_fd;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    AlignedBytes m_pending; // handed over, not yet taken by the thread
    AlignedBytes m_spare;   // written, returned to the caller on the next Submit
    bool m_busy = false;    // a buffer is handed over or being written
    bool m_stop = false;
    int m_error = 0;
    bool m_writeBack = true; // only the writer thread touches it
    std::thread m_thread;    // last: starts once everything above is ready
};

} // namespace korvane
