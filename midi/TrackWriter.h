#pragma once

#include "platform/ByteSink.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvane {

// The output side of the engine. Bytes collect in a block that goes to the sink when it fills:
// room in the sink's own buffer where it offers some, so that they are written once, else a
// block of the writer's. The walk marks the start of every event so that an event cut short by
// the end of the data can be taken back whole, and the repair can take back the status byte it
// has just written. In a load pass nothing reaches a sink.
class TrackWriter {
  public:
    // Room for a delta, the repair's Note Off and an event head, all in shortest form.
    static constexpr size_t kEventHeadRoom = 64;

    TrackWriter();

    // A new track: the byte count starts at 0; bytes go to sink (null in a load pass).
    void BeginTrack(ByteSink* sink);
    // Called at every event start: guarantees kEventHeadRoom bytes of room in the block.
    void MarkEvent() {
        if (m_end - m_head < static_cast<ptrdiff_t>(kEventHeadRoom)) {
            Flush();
        }
        m_eventStart = m_head;
    }
    // Takes back everything written since the last MarkEvent.
    void DropEvent() { m_head = m_eventStart; }
    void EmitByte(unsigned value) { *m_head++ = static_cast<uint8_t>(value); }
    void WriteVarLen(uint32_t value) { m_head = PutVarLen(m_head, value); }
    // Takes back the byte written last (always the one just emitted).
    void StepBack() { --m_head; }
    // Copies a run of bytes unchanged (meta and System Exclusive data).
    void EmitBlock(const uint8_t* data, size_t count);
    // Hands what is left to the sink; the track is complete and the writer holds no room.
    void EndTrack();

    int64_t TrackBytes() const { return m_flushed + (m_head - m_block); }

    // Direct access for the walk's fast loop, which writes through a local pointer while at
    // least kEventHeadRoom bytes of room remain and hands the pointer back afterwards.
    uint8_t* Head() const { return m_head; }
    const uint8_t* HeadLimit() const { return m_end - kEventHeadRoom; }
    void SetHead(uint8_t* head) { m_head = head; }

    // Writes value as a variable-length quantity, most significant group first, shortest form.
    static uint8_t* PutVarLen(uint8_t* out, uint32_t value) {
        if (value < 0x80) {
            *out = static_cast<uint8_t>(value);
            return out + 1;
        }
        if (value < 0x4000) {
            out[0] = static_cast<uint8_t>(0x80 | (value >> 7));
            out[1] = static_cast<uint8_t>(value & 0x7F);
            return out + 2;
        }
        return PutLongVarLen(out, value);
    }

  private:
    static uint8_t* PutLongVarLen(uint8_t* out, uint32_t value);
    // Hands the block's bytes to the sink and takes the next block.
    void Flush();
    void HandOver();
    void TakeBlock();

    std::vector<uint8_t> m_buffer; // the writer's own block
    uint8_t* m_block = nullptr;    // the block being filled: m_buffer's or the sink's room
    bool m_inRoom = false;
    uint8_t* m_head = nullptr;
    uint8_t* m_end = nullptr;
    uint8_t* m_eventStart = nullptr;
    int64_t m_flushed = 0;
    ByteSink* m_sink = nullptr;
};

} // namespace korvane
