#include "testing/MidiFileBuilder.h"

#include <fstream>
#include <stdexcept>

namespace korvane {
namespace {
void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}
} // namespace

void MidiFileBuilder::AddChunk(const std::string& id, const std::vector<uint8_t>& data) {
    if (id.size() != 4) {
        throw std::invalid_argument("chunk ID must have four characters");
    }
    m_chunks.emplace_back(id, data);
}

void MidiFileBuilder::AppendChunk(std::vector<uint8_t>& out, const std::string& id,
                                  const std::vector<uint8_t>& data) {
    out.insert(out.end(), id.begin(), id.end());
    AppendBigEndian(out, static_cast<uint32_t>(data.size()), 4);
    out.insert(out.end(), data.begin(), data.end());
}

std::vector<uint8_t> MidiFileBuilder::Bytes() const {
    uint32_t tracks = 0;
    size_t total = 14;
    for (const auto& [id, data] : m_chunks) {
        tracks += id == "MTrk" ? 1 : 0;
        total += 8 + data.size();
    }
    std::vector<uint8_t> header;
    AppendBigEndian(header, static_cast<uint32_t>(m_format), 2);
    AppendBigEndian(header, tracks, 2);
    AppendBigEndian(header, static_cast<uint32_t>(m_division), 2);
    std::vector<uint8_t> out;
    out.reserve(total);
    AppendChunk(out, "MThd", header);
    for (const auto& [id, data] : m_chunks) {
        AppendChunk(out, id, data);
    }
    return out;
}

void MidiFileBuilder::WriteFile(const std::string& path) const {
    WriteBytes(path, Bytes());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace korvane
