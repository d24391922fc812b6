#pragma once

#include "job/PreviewConversion.h"

#include <condition_variable>
#include <mutex>

namespace korvane {

// Counts the conversion thread's calls and lets a test wait for the next one.
class ReadySignal {
  public:
    std::function<void()> Callback() {
        return [this] {
            const std::lock_guard lock(m_mutex);
            ++m_count;
            m_changed.notify_all();
        };
    }
    // Waits until more than seen calls have come; returns the count.
    int WaitBeyond(int seen) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_count > seen; });
        return m_count;
    }
    int Count() {
        const std::lock_guard lock(m_mutex);
        return m_count;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_count = 0;
};

// Runs one preview conversion to its end on the conversion's own thread.
inline PreviewResult ConvertPreview(const PreviewRequest& request) {
    ReadySignal ready;
    PreviewConversion conversion(ready.Callback());
    conversion.Start(request);
    ready.WaitBeyond(0);
    return *conversion.Take();
}

} // namespace korvane
