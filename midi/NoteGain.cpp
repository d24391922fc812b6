#include "midi/NoteGain.h"

#include <algorithm>

namespace korvane {

NoteGain NoteGain::For(int peak, unsigned loudestRead, int dynamicRange, int volume) {
    if (peak <= 0 || loudestRead == 0) {
        return {};
    }
    return {peak, MapLevel(loudestRead, dynamicRange, volume)};
}

uint8_t NoteGain::Apply(uint8_t mapped) const {
    if (!Active() || mapped == 0) {
        return mapped;
    }
    // Exact integers, rounded half up: no rounding of a double can move the loudest off peak.
    const unsigned scaled = (2u * mapped * static_cast<unsigned>(peak) + loudest) / (2u * loudest);
    return static_cast<uint8_t>(std::clamp(scaled, 1u, 127u));
}

LevelTable BuildNoteOnTable(const LevelTable& mapped, NoteGain gain) {
    LevelTable table{};
    for (size_t v = 0; v < table.size(); ++v) {
        table[v] = gain.Apply(mapped[v]);
    }
    return table;
}

} // namespace korvane
