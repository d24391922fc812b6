#pragma once

#include "platform/BufferedFile.h"

#include <cstdint>
#include <optional>

namespace korvane {

// Where the Standard MIDI File of an input lies, as byte positions in the file.
struct MidiRange {
    uint64_t offset = 0;
    uint64_t end = 0;
};

// A file that does not begin with "RIFF" is a Standard MIDI File from its first byte to its
// last. A RIFF file of form "RMID" holds one in its "data" chunk; any other RIFF file holds
// none, and neither does one without that chunk: then nothing is returned. On success the file
// is positioned at the range's offset. Raises BufferedFileException.
std::optional<MidiRange> FindMidiRange(BufferedFile& file);

} // namespace korvane
