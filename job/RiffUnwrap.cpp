#include "job/RiffUnwrap.h"

#include <algorithm>
#include <cstring>

namespace korvane {

namespace {
constexpr size_t kIdLength = 4;
constexpr size_t kRiffHeaderLength = 12; // "RIFF", length, form
constexpr size_t kChunkHeaderLength = 8; // ID, little-endian length

uint32_t LittleEndian32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) | (uint32_t{bytes[2]} << 16) |
           (uint32_t{bytes[3]} << 24);
}

bool HasId(const uint8_t* bytes, const char* id) {
    return std::memcmp(bytes, id, kIdLength) == 0;
}

// The "data" chunk of the RIFF chunks from position on. The walk goes to the file's end rather
// than the RIFF length, and the data is cut at the file's end, so that damaged lengths still
// find what the file holds.
std::optional<MidiRange> FindDataChunk(BufferedFile& file, uint64_t position, uint64_t fileEnd) {
    while (fileEnd - position >= kChunkHeaderLength) {
        uint8_t header[kChunkHeaderLength];
        file.Seek(static_cast<int64_t>(position), BufferedFile::begin);
        if (file.Read(header, sizeof header) < sizeof header) {
            return std::nullopt;
        }
        const uint64_t dataStart = position + kChunkHeaderLength;
        const uint64_t length = LittleEndian32(header + kIdLength);
        if (HasId(header, "data")) {
            return MidiRange{dataStart, std::min(dataStart + length, fileEnd)};
        }
        // Every RIFF chunk is padded to an even length.
        position = std::min(dataStart + length + (length & 1), fileEnd);
    }
    return std::nullopt;
}
} // namespace

std::optional<MidiRange> FindMidiRange(BufferedFile& file) {
    const uint64_t fileEnd = file.GetLength();
    uint8_t header[kRiffHeaderLength];
    const size_t got = file.Read(header, sizeof header);
    if (got < kIdLength || !HasId(header, "RIFF")) {
        file.Seek(0, BufferedFile::begin);
        return MidiRange{0, fileEnd};
    }
    if (got < sizeof header || !HasId(header + 8, "RMID")) {
        return std::nullopt; // a RIFF file of another kind (a wave file) holds no MIDI
    }
    return FindDataChunk(file, kRiffHeaderLength, fileEnd);
}

} // namespace korvane
