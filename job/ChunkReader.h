#pragma once

#include "job/InputWindow.h"

#include <array>
#include <cstdint>

namespace korvane {

// Where one chunk of the input is: its ID, and its data as far as the input holds it (a chunk
// cut short by the end of the input keeps what it has).
struct ChunkFrame {
    std::array<char, 4> id{};
    uint64_t offset = 0; // of the data in the file
    uint32_t length = 0;
};

// Finds the input's chunks one after another; their data stays in the file until it is read.
class ChunkReader {
  public:
    // The chunks lie from begin to end of the file (a RIFF file's data chunk, or all of it).
    ChunkReader(InputWindow& input, uint64_t begin, uint64_t end)
        : m_input(input), m_position(begin), m_end(end) {}

    // Replaces chunk with the next one; false at the end of the input (a cut-short ID or length
    // ends it). Throws ChunkReadError.
    bool Next(ChunkFrame& chunk);
    // Chunks whose data, or whose ID and length, the end of the input cut short.
    uint64_t CutShortChunks() const { return m_cutShort; }

  private:
    InputWindow& m_input;
    uint64_t m_position;
    uint64_t m_end;
    uint64_t m_cutShort = 0;
};

} // namespace korvane
