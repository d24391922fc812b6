#pragma once

#include <cstdint>
#include <span>

namespace korvane {

// Where the engine reads a track chunk's data from: a window at a time, so that a track of any
// size is walked in bounded memory.
class TrackSource {
  public:
    virtual ~TrackSource() = default;
    // The chunk's data bytes.
    virtual uint32_t Length() const = 0;
    // The data from offset on, as much as the window holds: at least one byte, none only at
    // offset Length(). Valid until the next call.
    virtual std::span<const uint8_t> Window(uint32_t offset) = 0;
};

// A track chunk already in memory: one window.
class MemoryTrack : public TrackSource {
  public:
    MemoryTrack(const uint8_t* data, uint32_t length) : m_data(data), m_length(length) {}
    uint32_t Length() const override { return m_length; }
    std::span<const uint8_t> Window(uint32_t offset) override {
        return {m_data + offset, m_length - offset};
    }

  private:
    const uint8_t* m_data;
    uint32_t m_length;
};

} // namespace korvane
