#include "job/ChunkReader.h"

#include <algorithm>
#include <cstring>

namespace korvane {

namespace {
constexpr size_t kChunkHeader = 8;
constexpr size_t kIdLength = 4;

uint32_t BigEndian32(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}
} // namespace

bool IsPrintableId(const std::array<char, 4>& id) {
    return std::all_of(id.begin(), id.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

bool ChunkReader::Next(ChunkFrame& chunk) {
    if (m_position > m_end || m_end - m_position < kChunkHeader) {
        m_cutShort += m_position < m_end;
        return false;
    }
    const uint8_t* header = m_input.At(m_position, kChunkHeader).data();
    std::memcpy(chunk.id.data(), header, chunk.id.size());
    const uint32_t declared = BigEndian32(header + kIdLength);
    chunk.position = m_position;
    chunk.offset = m_position + kChunkHeader;
    // A length beyond the end of the input is cut to what the input holds.
    chunk.cutShort = declared > m_end - chunk.offset;
    chunk.length = static_cast<uint32_t>(std::min<uint64_t>(declared, m_end - chunk.offset));
    m_position = chunk.offset + chunk.length;
    return true;
}

bool ChunkReader::ChunkHeaderAt(uint64_t position) {
    if (position > m_end || m_end - position < kChunkHeader) {
        return false;
    }
    const uint8_t* header = m_input.Peek(position, kChunkHeader).data();
    std::array<char, 4> id{};
    std::memcpy(id.data(), header, id.size());
    return IsPrintableId(id) &&
           (id == kTrackId || BigEndian32(header + kIdLength) <= m_end - position - kChunkHeader);
}

std::optional<uint64_t> ChunkReader::FindChunk(const std::array<char, 4>& id, uint64_t from,
                                               uint64_t to) {
    to = std::min(to, m_end);
    while (from < to && m_end - from >= kChunkHeader) {
        const std::span<const uint8_t> window = m_input.At(from, kChunkHeader);
        // IDs starting in this window; the last three bytes start the next search.
        const size_t starts = std::min<uint64_t>(window.size() - (kIdLength - 1),
                                                 std::min(to, m_end - kChunkHeader + 1) - from);
        const uint8_t* found = std::search(window.data(), window.data() + starts + kIdLength - 1,
                                           id.begin(), id.end());
        if (found != window.data() + starts + kIdLength - 1) {
            return from + static_cast<uint64_t>(found - window.data());
        }
        from += starts;
    }
    return std::nullopt;
}

} // namespace korvane
