#pragma once

#include "gfx/GdiTypes.h"

#include <cstdint>
#include <vector>

namespace korvane {

// A palette object made from a LOGPALETTE block; the block itself is freed once this exists.
struct LogicalPalette {
    uint16_t version = 0;
    std::vector<PALETTEENTRY> entries;
};

} // namespace korvane
