#pragma once

#include "midi/MidiEngine.h"
#include "tests/midi/MemorySink.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <span>
#include <stdexcept>

namespace korvane {

// Window sizes that cut deltas, lengths, data and the fast loops' eight-byte reads everywhere.
inline constexpr size_t kWindows[] = {1, 2, 3, 5, 8, 9, 17};

// Hands a track out a window at a time, each a copy on the heap of exactly its size, so that ASan
// catches a read past a window's end and any use of a window the walk has left.
class SlicedTrack : public TrackSource {
  public:
    SlicedTrack(const Bytes& data, size_t window) : m_data(data), m_window(window) {}
    uint32_t Length() const override { return static_cast<uint32_t>(m_data.size()); }
    std::span<const uint8_t> Window(uint32_t offset) override {
        const size_t count = std::min(m_window, m_data.size() - offset);
        m_copy.reset(new uint8_t[count]);
        std::copy_n(m_data.begin() + offset, count, m_copy.get());
        return {m_copy.get(), count};
    }

  private:
    const Bytes& m_data;
    size_t m_window;
    std::unique_ptr<uint8_t[]> m_copy;
};

// A copy that ends where a readable page ends, the next page unreadable, so that a read past
// the end stops the test even in a build without ASan.
class GuardedCopy {
  public:
    explicit GuardedCopy(const Bytes& bytes) {
        const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        m_mapped = (bytes.size() + page - 1) / page * page + page;
        void* map =
            mmap(nullptr, m_mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (map == MAP_FAILED) {
            throw std::runtime_error("no memory for a guarded copy");
        }
        m_map = static_cast<uint8_t*>(map);
        if (mprotect(m_map + m_mapped - page, page, PROT_NONE) != 0) {
            munmap(m_map, m_mapped);
            throw std::runtime_error("no guard page for a guarded copy");
        }
        m_data = m_map + m_mapped - page - bytes.size();
        std::copy(bytes.begin(), bytes.end(), m_data);
    }
    GuardedCopy(const GuardedCopy&) = delete;
    GuardedCopy& operator=(const GuardedCopy&) = delete;
    ~GuardedCopy() { munmap(m_map, m_mapped); }
    const uint8_t* Data() const { return m_data; }

  private:
    uint8_t* m_map = nullptr;
    size_t m_mapped = 0;
    uint8_t* m_data = nullptr;
};

struct WalkResult {
    Bytes written;
    Bytes levels;
    int64_t trackBytes;
    RepairCounts repairs;
};

// One track walked by a fresh engine with the given adjustments, whole or a window at a time,
// written through the sink's Write or in room it offers.
inline WalkResult Walk(const Adjustments& adjustments, const Bytes& input, bool save = true,
                       size_t window = 0, bool inRoom = false) {
    MidiEngine engine;
    MemorySink plain;
    RoomSink room;
    MemorySink& sink = inRoom ? room : plain;
    engine.BeginPass(adjustments, save ? &sink : nullptr);
    if (window == 0) {
        const GuardedCopy data(input);
        engine.WalkTrack(data.Data(), static_cast<uint32_t>(input.size()));
    } else {
        SlicedTrack track(input, window);
        engine.WalkTrack(track);
    }
    engine.EndPass();
    return {sink.bytes, engine.m_levels, engine.TrackBytes(), engine.m_repairs};
}

} // namespace korvane
