#pragma once

#include "job/ChunkReader.h"

#include <cstdint>
#include <optional>

namespace korvane {

// Where a track whose declared length is wrong really ends: right after the first End of
// Track that is followed by a chunk header or by the end of the input, its events read from
// the track's data at begin on, past its declared length. None when no End of Track is.
std::optional<uint64_t> FindTrackEnd(InputWindow& input, ChunkReader& reader, uint64_t begin);

} // namespace korvane
