#pragma once

#include "midi/NoteGain.h"

#include <QString>

#include <bitset>
#include <cstdint>
#include <vector>

namespace korvane {

struct ControlTexts;

// The level values a pass met and how many levels it recorded: all the description needs, taken
// once per pass so that a slider drag does not walk millions of levels twice per redraw. The
// Note On velocities that noteOnMarks names (one entry per level) are kept apart, as the plot
// draws them with a peak's gain.
struct LevelSummary {
    std::bitset<256> present;
    std::bitset<256> noteOns;
    size_t count = 0;
};

LevelSummary SummarizeLevels(const std::vector<uint8_t>& levels,
                             const std::vector<uint8_t>& noteOnMarks = {});

// What the level plot shows, in words for a screen reader: how many events and the lowest and
// highest level plotted through the two settings (the marked Note On velocities with the gain),
// numbers written as language writes them.
QString DescribeLevels(const LevelSummary& levels, int dynamicRange, int volume,
                       const ControlTexts& texts, int language, bool unmappedMarked = false,
                       NoteGain gain = {});

} // namespace korvane
