#pragma once

#include "job/InputWindow.h"

#include <cstdint>
#include <optional>

namespace korvane {

// Where the first End of Track of a track whose data starts at begin ends, its events read as
// the engine reads them, up to end (past a declared length that is wrong, or within a chunk).
// None when no End of Track ends before end.
std::optional<uint64_t> FindTrackEnd(InputWindow& input, uint64_t begin, uint64_t end);

} // namespace korvane
