#include "midi/LevelMap.h"

namespace korvane {

uint8_t MapLevel(unsigned value, int dynamicRange, int volume) {
    if (value == 0) {
        return 0;
    }
    // Each step is one double operation in this order; the rounding is part of the result.
    const double spread = static_cast<double>(static_cast<long long>(dynamicRange) *
                                              (static_cast<long long>(value) - 64));
    const double a = static_cast<double>(static_cast<long long>(spread * 0.002 + 64.0));
    const double c = static_cast<double>(volume) * 0.001;
    const double r = c > 0.5 ? ((1.0 - c) * a) * 2.0 : 127.0 - ((127.0 - a) * c) * 2.0;
    const long long result = static_cast<long long>(r);
    if (result < 1) {
        return 1;
    }
    return result > 127 ? 127 : static_cast<uint8_t>(result);
}

LevelTable BuildLevelTable(int dynamicRange, int volume) {
    LevelTable table{};
    for (unsigned v = 0; v < table.size(); ++v) {
        table[v] = MapLevel(v, dynamicRange, volume);
    }
    return table;
}

LevelTable BuildShownLevelTable(int dynamicRange, int volume, bool unmappedMarked) {
    LevelTable table = BuildLevelTable(dynamicRange, volume);
    if (unmappedMarked) {
        for (unsigned v = kUnmappedLevel; v < table.size(); ++v) {
            table[v] = static_cast<uint8_t>(v & 0x7F);
        }
    }
    return table;
}

} // namespace korvane
