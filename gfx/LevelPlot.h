#pragma once

#include "gfx/MemoryDC.h"
#include "gfx/PictureTarget.h"

#include <cstdint>
#include <vector>

namespace korvane {

// The Note On velocities a pass with a peak marked (MidiEngine::m_noteOnMarks: one entry per
// level, 1 for a Note On velocity of a mapped channel), drawn with the peak's gain.
struct PlottedPeak {
    int peak = 0;
    unsigned loudestNoteOn = 0; // as read
    const std::vector<uint8_t>* noteOnMarks = nullptr;
};

// The level curve: every recorded level, mapped through the two settings, against event order,
// with a dashed red line at level 64 drawn over it. With unmappedMarked, the levels of channels
// left unmapped (kUnmappedLevel set) are drawn as they are.

// Paints the whole width x height plot into the section selected into dc.
void PaintLevelPlot(MemoryDC& dc, int width, int height, const std::vector<uint8_t>& levels,
                    int dynamicRange, int volume, bool unmappedMarked = false,
                    const PlottedPeak& peak = {});

// One whole drawing: a fresh 24-bit surface of width x height, the plot painted into it, and one
// 1:1 copy onto the target at (0, 0). Nothing survives the call.
void DrawLevelPlot(PictureTarget& target, int width, int height, const std::vector<uint8_t>& levels,
                   int dynamicRange, int volume, bool unmappedMarked = false,
                   const PlottedPeak& peak = {});

} // namespace korvane
