#pragma once

#include <QString>

#include <bitset>
#include <cstdint>
#include <vector>

namespace korvane {

struct ControlTexts;

// The level values a pass met and how many levels it recorded: all the description needs, taken
// once per pass so that a slider drag does not walk millions of levels twice per redraw.
struct LevelSummary {
    std::bitset<256> present;
    size_t count = 0;
};

LevelSummary SummarizeLevels(const std::vector<uint8_t>& levels);

// What the level plot shows, in words for a screen reader: how many events and the lowest and
// highest level plotted through the two settings, numbers written as language writes them.
QString DescribeLevels(const LevelSummary& levels, int dynamicRange, int volume,
                       const ControlTexts& texts, int language, bool unmappedMarked = false);

} // namespace korvane
