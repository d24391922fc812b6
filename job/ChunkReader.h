#pragma once

#include "platform/CFile.h"

#include <cstdint>
#include <future>
#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace korvane {

// One chunk of the input: its ID and the data bytes that are there (a chunk cut short by the
// end of the file keeps what it has).
struct InputChunk {
    std::string id;
    uint32_t length = 0;
    std::unique_ptr<uint8_t[]> data;
};

// Raised when the input cannot be read, or a chunk's data cannot be held in memory.
struct ChunkReadError {};

// Reads an input's chunks one after another. While the caller works on a large chunk, the next
// one is read on a thread of its own, so that reading and converting overlap; a next chunk too
// large to hold beside the current one is read only when asked for, to keep memory bounded.
class ChunkReader {
  public:
    // After a chunk of overlapFrom bytes or more, the next one is read ahead when its data is
    // no larger than aheadLimit.
    explicit ChunkReader(CFile& file, uint32_t overlapFrom = 1 << 20, uint64_t aheadLimit = 8 << 20)
        : m_file(file), m_overlapFrom(overlapFrom), m_aheadLimit(aheadLimit) {}
    ~ChunkReader(); // waits for a read in progress
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    // The input's chunks end at this byte of the file (the end of a RIFF file's data chunk)
    // rather than at the file's end. Set before the first chunk is asked for.
    void StopAt(uint64_t end) { m_end = end; }

    // Replaces chunk with the next one; false at the end of the file (a cut-short ID or length
    // ends it). Throws ChunkReadError.
    bool Next(InputChunk& chunk);

  private:
    // The next chunk's ID and length and, unless it is larger than dataLimit, its data.
    std::optional<InputChunk> Read(uint64_t dataLimit);
    void ReadData(InputChunk& chunk, size_t wanted);

    CFile& m_file;
    const uint32_t m_overlapFrom;
    const uint64_t m_aheadLimit;
    std::future<std::optional<InputChunk>> m_ahead;
    uint64_t m_end = std::numeric_limits<uint64_t>::max();
    size_t m_pendingData = 0; // data bytes of the chunk read ahead still to be read
};

} // namespace korvane
