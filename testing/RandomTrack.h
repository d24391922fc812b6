#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace korvane {

// A track's data with every kind of event and damage the engine meets: running status, stray
// data bytes, status bytes breaking events off, system messages, System Exclusive, short meta
// events, long and non-shortest deltas; now and then no End of Track, or cut short. For the
// model tests that hold a second reading of the events to the engine's.
std::vector<uint8_t> RandomTrack(std::mt19937& random);

} // namespace korvane
