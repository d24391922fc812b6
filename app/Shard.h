#pragma once

#include <cstdint>
#include <string_view>

namespace korvane {

// This machine's part of a collection split among several: shard index of count.
struct Shard {
    uint32_t index = 0;
    uint32_t count = 1;
};

// True when an input, known by its path below the folder it was found in, belongs to shard.
// The hash depends on the path's bytes alone, so every machine splits a collection alike.
bool InShard(std::string_view relativePath, const Shard& shard);

} // namespace korvane
