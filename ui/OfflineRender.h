#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// Sound of a MIDI file rendered into memory, stereo, at sampleRate frames per second.
struct RenderedAudio {
    std::vector<float> left;
    std::vector<float> right;
    double sampleRate = 0;
    // Frames rendered until the player's position reached the file's last tick: the playing
    // time of the music.
    size_t musicFrames = 0;
    // False when the limit was reached before the player had finished, including the time it
    // lets the last notes die away after the last tick.
    bool finished = false;
    bool soundFontLoaded = false;

    double Seconds() const { return sampleRate > 0 ? musicFrames / sampleRate : 0; }
};

// Plays a MIDI file the way the preview strip does, through FluidSynth's file player on a synth
// with the first SoundFont of soundFonts that loads, but clocked by the samples rendered into
// memory instead of by an audio device. Stops at the end of the file or after maxSeconds.
RenderedAudio RenderOffline(const std::string& midiPath, const std::vector<std::string>& soundFonts,
                            double maxSeconds);
// The same for a file given in memory, as the preview plays it.
RenderedAudio RenderOffline(const std::vector<uint8_t>& midiBytes,
                            const std::vector<std::string>& soundFonts, double maxSeconds);

} // namespace korvane
