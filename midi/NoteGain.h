#pragma once

#include "midi/LevelMap.h"

#include <cstdint>

namespace korvane {

// The gain a peak puts on the Note On velocities of the mapped channels, after the range and
// volume mapping: each becomes round(v × peak / loudest), held to 1..127, so the loudest note
// becomes exactly peak and the others keep their proportions. Velocity 0 stays a release.
struct NoteGain {
    int peak = 0;         // 1..127; 0: no gain
    unsigned loudest = 0; // the loudest Note On velocity as mapped; 0: none struck, no gain

    // The gain for a loudest velocity as read, mapped through the two settings. The map never
    // falls as the velocity rises, so the loudest read is the loudest mapped.
    static NoteGain For(int peak, unsigned loudestRead, int dynamicRange, int volume);

    bool Active() const { return peak > 0 && loudest > 0; }
    uint8_t Apply(uint8_t mapped) const;
    // The factor itself, for people to read.
    double Factor() const { return Active() ? static_cast<double>(peak) / loudest : 1.0; }
};

// A level table with the gain applied to every entry: what a Note On velocity is written as.
LevelTable BuildNoteOnTable(const LevelTable& mapped, NoteGain gain);

} // namespace korvane
