#pragma once

#include <fluidsynth.h>

#include <mutex>
#include <string>
#include <vector>

namespace korvane {

// FluidSynth's synthesizer with a General MIDI SoundFont and, for live playback, the audio driver
// that plays it. Every rendering (the driver's thread, or an offline caller) goes through Render
// under Lock(), the lock that also guards every change to the MIDI file players driving the
// synth, so that a player can be dropped while the audio thread runs.
class FluidSession {
  public:
    FluidSession();
    // Stops the audio thread first, then frees the synth.
    ~FluidSession();
    FluidSession(const FluidSession&) = delete;
    FluidSession& operator=(const FluidSession&) = delete;

    // Where the General MIDI SoundFonts are looked for, in order of preference.
    static std::vector<std::string> DefaultSoundFonts();
    // The audio drivers tried, in order; names this FluidSynth build lacks are skipped.
    static std::vector<std::string> DefaultDrivers();

    // Loads the first SoundFont of paths that exists and loads; false when none does.
    bool LoadSoundFont(const std::vector<std::string>& paths);
    bool HasSoundFont() const { return m_soundFontId >= 0; }
    // Starts the first of drivers that this build has and that opens a device; true at once when
    // audio already runs.
    bool StartAudio(const std::vector<std::string>& drivers);
    bool HasAudio() const { return m_driver != nullptr; }

    // Renders frames of stereo sound, mixed into left and right (zeroed by the caller), and
    // advances every MIDI file player by the same number of samples.
    void Render(int frames, float* left, float* right);
    double SampleRate() const;

    fluid_synth_t* Synth() const { return m_synth; }
    std::mutex& Lock() const { return m_lock; }

  private:
    static int AudioCallback(void* data, int frames, int nfx, float* fx[], int nout, float* out[]);
    int RenderLocked(int frames, int nfx, float* fx[], int nout, float* out[]);
    bool DriverBuiltIn(const std::string& name) const;

    mutable std::mutex m_lock;
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    fluid_audio_driver_t* m_driver = nullptr;
    int m_soundFontId = -1;
};

} // namespace korvane
