#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace korvane {

// A whole MIDI file in memory, shared read-only between the job and the player.
using MidiBytes = std::shared_ptr<const std::vector<uint8_t>>;

} // namespace korvane
