#pragma once

#include "job/InputWindow.h"

#include <array>
#include <cstdint>
#include <optional>

namespace korvane {

constexpr std::array<char, 4> kHeaderId{'M', 'T', 'h', 'd'};
constexpr std::array<char, 4> kTrackId{'M', 'T', 'r', 'k'};

// Where one chunk of the input is: its ID, and its data as far as the input holds it (a chunk
// cut short by the end of the input keeps what it has).
struct ChunkFrame {
    std::array<char, 4> id{};
    uint64_t position = 0; // of the chunk header in the file
    uint64_t offset = 0;   // of the data in the file
    uint32_t length = 0;
    bool cutShort = false; // the declared length reaches past the end of the input
};

// Finds the input's chunks one after another; their data stays in the file until it is read.
class ChunkReader {
  public:
    // The chunks lie from begin to end of the file (a RIFF file's data chunk, or all of it).
    ChunkReader(InputWindow& input, uint64_t begin, uint64_t end)
        : m_input(input), m_position(begin), m_end(std::min(end, input.Length())) {}

    // Replaces chunk with the next one and moves past it; false at the end of the input (a
    // cut-short ID or length ends it). Throws ChunkReadError.
    bool Next(ChunkFrame& chunk);
    // The next chunk is read at position instead.
    void MoveTo(uint64_t position) { m_position = position; }
    uint64_t End() const { return m_end; }
    // Chunk headers (an ID and a length) that the end of the input cut short.
    uint64_t CutShortHeaders() const { return m_cutShort; }

    // Whether a chunk header lies at position: an ID of four printable characters, and a
    // length that fits in the input unless it is a track's (a track cut short keeps its data).
    bool ChunkHeaderAt(uint64_t position);
    // The first chunk header with this ID that starts in [from, to); none if there is none.
    std::optional<uint64_t> FindChunk(const std::array<char, 4>& id, uint64_t from, uint64_t to);
    std::optional<uint64_t> FindTrackHeader(uint64_t from, uint64_t to) {
        return FindChunk(kTrackId, from, to);
    }

  private:
    InputWindow& m_input;
    uint64_t m_position;
    uint64_t m_end;
    uint64_t m_cutShort = 0;
};

// Whether a chunk ID is four printable characters, as every real chunk's is.
bool IsPrintableId(const std::array<char, 4>& id);

} // namespace korvane
