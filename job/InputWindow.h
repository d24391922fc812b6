#pragma once

#include "platform/AlignedMemory.h"
#include "platform/BufferedFile.h"

#include <array>
#include <cstdint>
#include <future>
#include <memory>
#include <span>
#include <string>

namespace korvane {

// Raised when the input cannot be read, or ends before the length it had when the pass began.
// The reason says why, where the system or the file told.
struct ChunkReadError {
    std::string reason;
};
// Raised when the input holds no MIDI header near its start: it is no MIDI file.
struct NotMidiError : ChunkReadError {};

// The input read through a window of a fixed size, so that memory never grows with the file or
// with one of its chunks. The file's length is taken once and every read names its offset;
// behind a large window the next one is read on a thread of its own, so that reading and
// converting overlap.
class InputWindow {
  public:
    // Large enough that moving from window to window costs nothing to speak of; small enough
    // that both windows stay in the processor's cache and their fresh pages cost little.
    static constexpr size_t kDefaultSize = size_t{2} << 20;
    // A chunk header is read whole, so no window is smaller.
    static constexpr size_t kSmallest = 8;

    // Takes the file's length; throws ChunkReadError.
    InputWindow(const BufferedFile& file, size_t size);
    ~InputWindow(); // waits for a read in progress
    InputWindow(const InputWindow&) = delete;
    InputWindow& operator=(const InputWindow&) = delete;

    uint64_t Length() const { return m_length; }

    // The file's bytes from offset on, as far as the window reaches: at least `least` bytes
    // (no more than the window's size), or all there are up to the end of the file. Valid
    // until the next call. Throws ChunkReadError.
    std::span<const uint8_t> At(uint64_t offset, size_t least);
    // Up to count bytes (no more than kPeekMost) from offset, as far as the file holds them,
    // without moving the window: what At last answered stays valid. A look at a chunk header
    // elsewhere then costs a read of a few bytes, not of a window and back. Valid until the next
    // Peek. Throws ChunkReadError.
    static constexpr size_t kPeekMost = 16;
    std::span<const uint8_t> Peek(uint64_t offset, size_t count);

  private:
    // A window's room and what it holds; its first byte is placed within room by its offset.
    struct Buffer {
        AlignedBlock room;
        uint64_t offset = 0;
        size_t count = 0;
    };

    void Fill(uint64_t offset);
    void ReadAhead();
    // Fills bytes with the window at offset; returns how many it holds.
    size_t Read(uint8_t* bytes, uint64_t offset) const;

    const BufferedFile& m_file;
    const uint64_t m_length;
    const size_t m_size;
    Buffer m_current;
    Buffer m_spare;              // the next window, read ahead
    std::future<size_t> m_ahead; // fills m_spare
    std::array<uint8_t, kPeekMost> m_peek{};
};

} // namespace korvane
