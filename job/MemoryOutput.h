#pragma once

#include "job/PassOutput.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace korvane {

// A save pass's output in memory, for the preview and the web page. It refuses to grow beyond a
// limit and stops the pass as soon as it is cancelled, at the next block the engine hands over.
// The engine writes its blocks in place, and the buffer is sized for the expected output up
// front: growing it copies everything written so far.
class MemoryOutput : public PassOutput {
  public:
    struct LimitReached {};

    MemoryOutput(size_t limit, const std::atomic<bool>& cancel)
        : m_limit(limit), m_cancel(cancel) {}

    void Expect(uint64_t bytes) override {
        m_bytes.reserve(static_cast<size_t>(std::min<uint64_t>(bytes, m_limit)));
    }
    void Write(const uint8_t* data, size_t count) override {
        std::memcpy(Grow(count), data, count);
        m_used += count;
    }
    // None close to the limit: the writer's own block then ends exactly there.
    std::span<uint8_t> Room(size_t count) override {
        return count > m_limit - m_used ? std::span<uint8_t>()
                                        : std::span<uint8_t>(Grow(count), count);
    }
    void Commit(size_t count) override { m_used += count; }
    uint64_t Position() override { return m_used; }
    void Overwrite(uint64_t position, const uint8_t* data, size_t count) override {
        std::memcpy(m_bytes.data() + position, data, count);
    }

    // The bytes written; the output is done with them.
    std::vector<uint8_t>& Bytes() {
        m_bytes.resize(m_used);
        return m_bytes;
    }

  private:
    // Room for count more bytes after those written, past which nothing is written yet.
    uint8_t* Grow(size_t count) {
        if (m_cancel.load(std::memory_order_relaxed)) {
            throw Cancelled{};
        }
        if (count > m_limit - m_used) {
            throw LimitReached{};
        }
        if (m_used + count > m_bytes.size()) {
            m_bytes.resize(m_used + count);
        }
        return m_bytes.data() + m_used;
    }

    const size_t m_limit;
    const std::atomic<bool>& m_cancel;
    std::vector<uint8_t> m_bytes; // its size is what was written or given as room
    size_t m_used = 0;
};

} // namespace korvane
