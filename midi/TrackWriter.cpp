#include "midi/TrackWriter.h"

#include <algorithm>
#include <cstring>

namespace korvane {
namespace {
constexpr size_t kBlockSize = 1 << 16;
}

TrackWriter::TrackWriter() : m_buffer(kBlockSize) {
    TakeBlock();
}

void TrackWriter::BeginTrack(ByteSink* sink) {
    m_sink = sink;
    m_flushed = 0;
    TakeBlock();
}

void TrackWriter::EndTrack() {
    HandOver();
    // The sink takes other bytes between tracks (the next chunk's header): no room is kept.
    m_sink = nullptr;
    TakeBlock();
}

uint8_t* TrackWriter::PutLongVarLen(uint8_t* out, uint32_t value) {
    uint64_t buffer = value & 0x7F;
    while ((value >>= 7) != 0) {
        buffer = (buffer << 8) | 0x80 | (value & 0x7F);
    }
    for (;;) {
        *out++ = static_cast<uint8_t>(buffer & 0xFF);
        if ((buffer & 0x80) == 0) {
            return out;
        }
        buffer >>= 8;
    }
}

void TrackWriter::EmitBlock(const uint8_t* data, size_t count) {
    while (count > 0) {
        if (m_head == m_end) {
            Flush();
        }
        const size_t n = std::min(count, static_cast<size_t>(m_end - m_head));
        std::memcpy(m_head, data, n);
        m_head += n;
        data += n;
        count -= n;
    }
}

void TrackWriter::Flush() {
    HandOver();
    TakeBlock();
}

void TrackWriter::HandOver() {
    const size_t used = static_cast<size_t>(m_head - m_block);
    if (m_inRoom) {
        m_sink->Commit(used);
    } else if (m_sink != nullptr && used > 0) {
        m_sink->Write(m_block, used);
    }
    m_flushed += static_cast<int64_t>(used);
    m_inRoom = false;
    m_head = m_block;
}

void TrackWriter::TakeBlock() {
    const std::span<uint8_t> room =
        m_sink != nullptr ? m_sink->Room(kBlockSize) : std::span<uint8_t>();
    m_inRoom = !room.empty();
    m_block = m_inRoom ? room.data() : m_buffer.data();
    m_end = m_block + (m_inRoom ? room.size() : m_buffer.size());
    m_head = m_block;
    m_eventStart = m_head;
}

} // namespace korvane
