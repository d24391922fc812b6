#pragma once

#include "job/ChunkReader.h"
#include "job/InputWindow.h"
#include "midi/TrackSource.h"

#include <algorithm>

namespace korvane {

// A track chunk of the input, handed to the engine a window at a time.
class InputTrack : public TrackSource {
  public:
    InputTrack(InputWindow& input, const ChunkFrame& chunk)
        : m_input(input), m_offset(chunk.offset), m_length(chunk.length) {}

    uint32_t Length() const override { return m_length; }
    std::span<const uint8_t> Window(uint32_t offset) override {
        if (offset == m_length) {
            return {}; // an empty track
        }
        const std::span<const uint8_t> window = m_input.At(m_offset + offset, 1);
        return window.first(std::min<size_t>(window.size(), m_length - offset));
    }

  private:
    InputWindow& m_input;
    uint64_t m_offset; // of the chunk's data in the file
    uint32_t m_length;
};

} // namespace korvane
