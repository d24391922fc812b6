#pragma once

#include "job/PassOutput.h"

#include <atomic>
#include <cstring>
#include <vector>

namespace korvane {

// A save pass's output in memory, for the preview. It refuses to grow beyond a limit and stops
// the pass as soon as it is cancelled, at the next block the engine hands over.
class MemoryOutput : public PassOutput {
  public:
    struct LimitReached {};

    MemoryOutput(size_t limit, const std::atomic<bool>& cancel)
        : m_limit(limit), m_cancel(cancel) {}

    void Write(const uint8_t* data, size_t count) override {
        if (m_cancel.load(std::memory_order_relaxed)) {
            throw Cancelled{};
        }
        if (count > m_limit - m_bytes.size()) {
            throw LimitReached{};
        }
        m_bytes.insert(m_bytes.end(), data, data + count);
    }
    uint64_t Position() override { return m_bytes.size(); }
    void Overwrite(uint64_t position, const uint8_t* data, size_t count) override {
        std::memcpy(m_bytes.data() + position, data, count);
    }

    std::vector<uint8_t>& Bytes() { return m_bytes; }

  private:
    const size_t m_limit;
    const std::atomic<bool>& m_cancel;
    std::vector<uint8_t> m_bytes;
};

} // namespace korvane
