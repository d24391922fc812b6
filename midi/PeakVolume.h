#pragma once

namespace korvane {

// The volume (0..1000) that brings the loudest level, after the dynamic range, as close to
// target (1..127) as the volume's steps allow without passing it. The level map falls as the
// volume rises, so the volumes that pass the target come first and one search finds the rest.
// Of several volumes that give the same level, the one nearest neutral; with no level
// (loudest 0), neutral.
int PeakVolume(unsigned loudest, int dynamicRange, int target);

} // namespace korvane
