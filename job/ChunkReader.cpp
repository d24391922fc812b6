#include "job/ChunkReader.h"

#include <algorithm>
#include <cstring>

namespace korvane {

namespace {
constexpr size_t kChunkHeader = 8;

uint32_t BigEndian32(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}
} // namespace

bool ChunkReader::Next(ChunkFrame& chunk) {
    const uint64_t end = std::min(m_input.Length(), m_end);
    if (m_position > end || end - m_position < kChunkHeader) {
        m_cutShort += m_position < end;
        return false;
    }
    const uint8_t* header = m_input.At(m_position, kChunkHeader).data();
    std::memcpy(chunk.id.data(), header, chunk.id.size());
    chunk.offset = m_position + kChunkHeader;
    // A length beyond the end of the input is cut to what the input holds.
    m_cutShort += BigEndian32(header + 4) > end - chunk.offset;
    chunk.length =
        static_cast<uint32_t>(std::min<uint64_t>(BigEndian32(header + 4), end - chunk.offset));
    m_position = chunk.offset + chunk.length;
    return true;
}

} // namespace korvane
