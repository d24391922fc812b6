#include "job/TrackBoundary.h"

namespace korvane {

namespace {
constexpr uint8_t kMetaEndOfTrack = 0x2F;

// The input's bytes one at a time, up to end.
class ByteCursor {
  public:
    struct End {};

    ByteCursor(InputWindow& input, uint64_t position, uint64_t end)
        : m_input(input), m_position(position), m_end(end) {}

    uint64_t Position() const { return m_position; }
    uint8_t Peek() {
        if (m_position >= m_end) {
            throw End{};
        }
        if (m_window.empty() || m_position < m_windowStart ||
            m_position - m_windowStart >= m_window.size()) {
            m_window = m_input.At(m_position, 1);
            m_windowStart = m_position;
        }
        return m_window[m_position - m_windowStart];
    }
    uint8_t Read() {
        const uint8_t byte = Peek();
        ++m_position;
        return byte;
    }
    uint32_t ReadVarLen() {
        uint32_t value = 0;
        uint8_t byte = 0;
        do {
            byte = Read();
            value = (value << 7) | (byte & 0x7F);
        } while (byte & 0x80);
        return value;
    }
    void Skip(uint64_t count) {
        if (count > m_end - m_position) {
            throw End{};
        }
        m_position += count;
    }

  private:
    InputWindow& m_input;
    uint64_t m_position;
    uint64_t m_end;
    std::span<const uint8_t> m_window;
    uint64_t m_windowStart = 0;
};

// Data bytes after a channel or system status that carries a fixed number.
unsigned FixedDataBytes(uint8_t status) {
    switch (status >> 4) {
    case 0xC:
    case 0xD:
        return 1;
    case 0xF:
        return status == 0xF2 ? 2 : (status == 0xF1 || status == 0xF3) ? 1 : 0;
    default:
        return 2;
    }
}

// Skips count data bytes; false, with the cursor at it, where a status byte comes first.
bool SkipDataBytes(ByteCursor& cursor, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        if (cursor.Peek() & 0x80) {
            return false;
        }
        cursor.Read();
    }
    return true;
}
} // namespace

std::optional<uint64_t> FindTrackEnd(InputWindow& input, uint64_t begin, uint64_t end) {
    // The events are read as the engine reads them, so that the end found is the one it meets:
    // bytes that are no event are passed over where the engine drops them. Whatever follows that
    // End of Track (a chunk, junk, another End of Track) is no part of the track. The engine's
    // walk holds this reading to its own: tests/job/TrackBoundaryModelTest.cpp compares the end
    // found with MidiEngine::WalkEnd on random damaged tracks.
    ByteCursor cursor(input, begin, end);
    uint8_t running = 0;
    bool atStatus = false; // the next event starts at a status byte, with no delta time
    try {
        for (;;) {
            if (!atStatus) {
                cursor.ReadVarLen();
            }
            atStatus = false;
            uint8_t status = cursor.Peek();
            if (status & 0x80) {
                cursor.Read();
            } else if (running == 0) {
                // Data bytes with no status to run on are skipped to the next status byte.
                while (!(cursor.Peek() & 0x80)) {
                    cursor.Read();
                }
                atStatus = true;
                continue;
            } else {
                status = running;
            }
            if (status == 0xFF) {
                const uint8_t type = cursor.Read();
                cursor.Skip(cursor.ReadVarLen());
                if (type == kMetaEndOfTrack) {
                    return cursor.Position();
                }
            } else if (status == 0xF0 || status == 0xF7) {
                cursor.Skip(cursor.ReadVarLen());
            } else {
                // An event broken off by a status byte goes on there and sets no running status.
                atStatus = !SkipDataBytes(cursor, FixedDataBytes(status));
                running = status < 0xF0 && !atStatus ? status : running;
            }
        }
    } catch (const ByteCursor::End&) {
        return std::nullopt;
    }
}

} // namespace korvane
