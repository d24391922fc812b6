#pragma once

#include "job/ConversionOutcome.h"
#include "ui/FluidSession.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// A format-0 file written by hand: 120 bpm, 96 ticks per quarter note, eight quarter notes and
// End of Track at tick 768, so it lasts 4 s at 100 %.
std::vector<uint8_t> ExampleMidiBytes();
constexpr double kExampleSeconds = 4.0;
constexpr int kExampleTicks = 768;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

// Saves input to output at speedPercent through the real conversion job; the job's outcome.
ConversionOutcome SaveAtSpeed(const std::string& input, const std::string& output,
                              int speedPercent);

// The example's preview as the job converts it, at speedPercent and volume.
std::vector<uint8_t> ExamplePreview(const std::string& input, int speedPercent, int volume = 500);

// Renders session in blocks of FluidSynth's size until seconds of sound have passed.
void Advance(FluidSession& session, double seconds);

} // namespace korvane
