#pragma once

#include "midi/MidiEngine.h"
#include "tests/midi/MemorySink.h"

#include <algorithm>
#include <memory>
#include <span>

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
        // A copy on the heap of exactly the input's size lets ASan catch any read past the end.
        const std::unique_ptr<uint8_t[]> data(new uint8_t[input.size()]);
        std::copy(input.begin(), input.end(), data.get());
        engine.WalkTrack(data.get(), static_cast<uint32_t>(input.size()));
    } else {
        SlicedTrack track(input, window);
        engine.WalkTrack(track);
    }
    engine.EndPass();
    return {sink.bytes, engine.m_levels, engine.TrackBytes(), engine.m_repairs};
}

} // namespace korvane
