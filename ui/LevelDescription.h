#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace korvane {

struct ControlTexts;

// What the level plot shows, in words for a screen reader: how many events and the lowest and
// highest level plotted through the two settings, numbers written as language writes them.
QString DescribeLevels(const std::vector<uint8_t>& levels, int dynamicRange, int volume,
                       const ControlTexts& texts, int language);

} // namespace korvane
