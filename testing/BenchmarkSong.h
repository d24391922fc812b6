#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvane {

// A large format-1 file for measuring the engine: a tempo track and sixteen channel tracks of
// notes (running status, releases as Note On velocity 0), controller 7 and 11 rides, pitch
// bends, key pressure and the odd text event, each track sized so the file is about
// targetBytes long. The same targetBytes always gives the same bytes.
std::vector<uint8_t> BenchmarkSong(size_t targetBytes);

} // namespace korvane
