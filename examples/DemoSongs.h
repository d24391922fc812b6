#pragma once

#include "testing/MidiFileBuilder.h"

#include <string>
#include <vector>

namespace korvane {

// The demo files shipped in the Examples folder, each made to show one of Korvane's adjustments.
struct DemoSong {
    std::string fileName;
    MidiFileBuilder (*make)();
};

// A piano piece that swells from pianissimo to fortissimo and fades again.
MidiFileBuilder PianoDynamics();
// Organ chords whose common tones, and a bass that repeats its root, are struck again without
// ever being released.
MidiFileBuilder StuckNotes();
// Strings swelling with controller 7, harp arpeggios; every track uses running status.
MidiFileBuilder RunningStatusVolume();
// A format-0 waltz that opens with a General MIDI reset and slows down through tempo changes.
MidiFileBuilder Format0SysExTempo();

const std::vector<DemoSong>& DemoSongs();

} // namespace korvane
