#include "job/ChunkReader.h"

#include <algorithm>
#include <limits>
#include <new>

namespace korvane {
namespace {
constexpr size_t kChunkHeaderPart = 4;

uint32_t BigEndian32(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}
} // namespace

ChunkReader::~ChunkReader() {
    if (m_ahead.valid()) {
        m_ahead.wait();
    }
}

bool ChunkReader::Next(InputChunk& chunk) {
    chunk = InputChunk{}; // the last chunk's data goes before any more is read
    std::optional<InputChunk> next;
    if (m_ahead.valid()) {
        next = m_ahead.get(); // raises what the read ahead raised
    } else {
        next = Read(std::numeric_limits<uint64_t>::max());
    }
    if (!next) {
        return false;
    }
    chunk = std::move(*next);
    if (chunk.data == nullptr) {
        ReadData(chunk, m_pendingData); // too large to have been read beside the last one
    }
    // Only a large chunk takes long enough to convert to be worth a thread.
    if (chunk.length >= m_overlapFrom) {
        m_ahead = std::async(std::launch::async, [this] { return Read(m_aheadLimit); });
    }
    return true;
}

std::optional<InputChunk> ChunkReader::Read(uint64_t dataLimit) {
    uint8_t id[kChunkHeaderPart];
    uint8_t length[kChunkHeaderPart];
    InputChunk chunk;
    size_t wanted = 0;
    try {
        const uint64_t end = std::min(m_file.GetLength(), m_end);
        if (end - std::min(end, m_file.GetPosition()) < sizeof id + sizeof length ||
            m_file.Read(id, sizeof id) < sizeof id ||
            m_file.Read(length, sizeof length) < sizeof length) {
            return std::nullopt;
        }
        // A length beyond the end of the input never allocates more than the input holds.
        const uint64_t available = end - std::min(end, m_file.GetPosition());
        wanted = static_cast<size_t>(std::min<uint64_t>(BigEndian32(length), available));
    } catch (const CFileException&) {
        throw ChunkReadError{};
    }
    chunk.id.assign(reinterpret_cast<const char*>(id), sizeof id);
    m_pendingData = wanted;
    if (wanted <= dataLimit) {
        ReadData(chunk, wanted);
    }
    return chunk;
}

void ChunkReader::ReadData(InputChunk& chunk, size_t wanted) {
    chunk.data.reset(new (std::nothrow) uint8_t[wanted == 0 ? 1 : wanted]);
    if (!chunk.data) {
        throw ChunkReadError{};
    }
    try {
        chunk.length = static_cast<uint32_t>(m_file.Read(chunk.data.get(), wanted));
    } catch (const CFileException&) {
        throw ChunkReadError{};
    }
    m_pendingData = 0;
}

} // namespace korvane
