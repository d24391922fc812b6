#pragma once

#include "ByteSink.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The output side of the engine. Bytes collect in a block that goes to the sink when it fills;
// the walk marks the start of every event so that an event cut short by the end of the data
// can be taken back whole, and the repair can take back the status byte it has just written.
// In a load pass nothing reaches a sink and the counters are not used.
class TrackWriter {
  public:
    TrackWriter();

    // A new track: m_trackBytes starts at 0; bytes go to sink (null in a load pass).
    void BeginTrack(ByteSink* sink);
    // Called at every event start: guarantees room for the event's head in the block.
    void MarkEvent() {
        if (m_buffer.size() - m_used < kEventHeadRoom) {
            Flush();
        }
        m_eventStart = m_used;
    }
    // Takes back everything written since the last MarkEvent.
    void DropEvent() {
        m_trackBytes -= static_cast<int64_t>(m_used - m_eventStart);
        m_used = m_eventStart;
    }
    void EmitByte(unsigned value) {
        m_buffer[m_used++] = static_cast<uint8_t>(value);
        ++m_trackBytes;
    }
    void WriteVarLen(uint32_t value);
    // Takes back the byte written last (always the one just emitted).
    void StepBack() {
        --m_used;
        --m_trackBytes;
    }
    // Copies a run of bytes unchanged (meta and System Exclusive data).
    void EmitBlock(const uint8_t* data, size_t count);
    // Hands what is left to the sink; the track is complete.
    void EndTrack() { Flush(); }

    int64_t TrackBytes() const { return m_trackBytes; }

    // Room for a delta, the repair's Note Off and an event head, all in shortest form.
    static constexpr size_t kEventHeadRoom = 64;

  private:
    void Flush();

    std::vector<uint8_t> m_buffer;
    size_t m_used = 0;
    size_t m_eventStart = 0;
    int64_t m_trackBytes = 0;
    ByteSink* m_sink = nullptr;
};
