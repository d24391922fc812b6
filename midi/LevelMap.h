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

// With the mapping limited to some channels, the level of another channel is recorded as
// kUnmappedLevel | value (value held to 127) and drawn unchanged; a mapped level is recorded
// held to 127 then too, so the two never meet.
constexpr uint8_t kUnmappedLevel = 0x80;

// What each recorded level is shown as: BuildLevelTable's, or with unmappedMarked a marked
// level as its value, unchanged.
LevelTable BuildShownLevelTable(int dynamicRange, int volume, bool unmappedMarked);

} // namespace korvane
