#pragma once

#include <cstdint>
#include <vector>

namespace korvane {

// The pixel memory of a DIB section: rows of `stride` bytes, bottom row first.
struct DibSection {
    int width = 0;
    int height = 0;
    int stride = 0;
    int bitCount = 0;
    std::vector<uint8_t> bits;
};

// The handle a surface gives out for its section; the surface owns what it points to.
using HBITMAP = DibSection*;

} // namespace korvane
