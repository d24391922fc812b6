#include "midi/TrackWriter.h"

#include <algorithm>
#include <cstring>

namespace korvane {
namespace {
constexpr size_t kBlockSize = 1 << 16;
}

TrackWriter::TrackWriter()
    : m_buffer(kBlockSize), m_head(m_buffer.data()), m_end(m_buffer.data() + m_buffer.size()),
      m_eventStart(m_head) {}

void TrackWriter::BeginTrack(ByteSink* sink) {
    m_sink = sink;
    m_head = m_buffer.data();
    m_eventStart = m_head;
    m_flushed = 0;
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
    const size_t used = static_cast<size_t>(m_head - m_buffer.data());
    if (m_sink != nullptr && used > 0) {
        m_sink->Write(m_buffer.data(), used);
    }
    m_flushed += static_cast<int64_t>(used);
    m_head = m_buffer.data();
    m_eventStart = m_head;
}

} // namespace korvane
