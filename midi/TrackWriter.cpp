#include "TrackWriter.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kBlockSize = 1 << 16;
}

TrackWriter::TrackWriter() : m_buffer(kBlockSize) {}

void TrackWriter::BeginTrack(ByteSink* sink) {
    m_sink = sink;
    m_used = 0;
    m_eventStart = 0;
    m_trackBytes = 0;
}

void TrackWriter::WriteVarLen(uint32_t value) {
    uint64_t buffer = value & 0x7F;
    while ((value >>= 7) != 0) {
        buffer = (buffer << 8) | 0x80 | (value & 0x7F);
    }
    for (;;) {
        EmitByte(static_cast<unsigned>(buffer & 0xFF));
        if ((buffer & 0x80) == 0) {
            break;
        }
        buffer >>= 8;
    }
}

void TrackWriter::EmitBlock(const uint8_t* data, size_t count) {
    while (count > 0) {
        if (m_used == m_buffer.size()) {
            Flush();
        }
        const size_t n = std::min(count, m_buffer.size() - m_used);
        std::memcpy(m_buffer.data() + m_used, data, n);
        m_used += n;
        m_trackBytes += static_cast<int64_t>(n);
        data += n;
        count -= n;
    }
}

void TrackWriter::Flush() {
    if (m_sink != nullptr && m_used > 0) {
        m_sink->Write(m_buffer.data(), m_used);
    }
    m_used = 0;
    m_eventStart = 0;
}
