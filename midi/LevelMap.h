#pragma once

#include <array>
#include <cstdint>

namespace korvane {

// Maps one level byte (velocity, key pressure, channel volume) through the dynamic-range and
// volume settings (each 0..1000, 500 neutral). 0 stays 0; every other input gives 1..127.
uint8_t MapLevel(unsigned value, int dynamicRange, int volume);

// MapLevel for every byte value, built once per pass or drawing so the hot loops index a table.
using LevelTable = std::array<uint8_t, 256>;
LevelTable BuildLevelTable(int dynamicRange, int volume);

} // namespace korvane
