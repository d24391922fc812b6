#pragma once

#include "testing/MidiTrack.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace korvane {

// Puts tracks together into a Standard MIDI File: an MThd chunk, then the chunks in the order
// added. Tracks are taken as they are; End of Track is the caller's to write.
class MidiFileBuilder {
  public:
    MidiFileBuilder(int format, int division) : m_format(format), m_division(division) {}

    void AddTrack(const MidiTrack& track) { AddChunk("MTrk", track.Data()); }
    // Adds a chunk of any ID (vendor chunks, or tracks made of raw bytes).
    void AddChunk(const std::string& id, const std::vector<uint8_t>& data);

    // The header counts the MTrk chunks as tracks.
    std::vector<uint8_t> Bytes() const;
    // Throws std::runtime_error when the file cannot be written.
    void WriteFile(const std::string& path) const;

    // Appends a chunk: 4-byte ID, big-endian length, data.
    static void AppendChunk(std::vector<uint8_t>& out, const std::string& id,
                            const std::vector<uint8_t>& data);

  private:
    int m_format;
    int m_division;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> m_chunks;
};

// Writes bytes to a new file at path; throws std::runtime_error when that fails.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace korvane
