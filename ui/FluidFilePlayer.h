#pragma once

#include "ui/FluidSession.h"

#include <string>

namespace korvane {

// FluidSynth's MIDI file player for one file, driving a session's synth. Positions are MIDI
// ticks of the file. The file is read when playback first reaches it, so the total is 0 until
// then, and a file that cannot be read simply ends playback.
class FluidFilePlayer {
  public:
    FluidFilePlayer(FluidSession& session, const std::string& path);
    // Silences the notes it started and detaches from the synth.
    ~FluidFilePlayer();
    FluidFilePlayer(const FluidFilePlayer&) = delete;
    FluidFilePlayer& operator=(const FluidFilePlayer&) = delete;

    void Play();
    // Stops where it is; Play continues from there.
    void Pause();
    // Stops and goes back to the start.
    void Stop();
    // Moves to tick; false when FluidSynth refuses (beyond the end, or a seek still pending).
    bool Seek(int tick);
    // When on, playback starts over at the end of the file instead of ending.
    void SetLoop(bool loop);

    bool IsPlaying() const;
    int CurrentTick() const;
    int TotalTicks() const;

  private:
    FluidSession& m_session;
    fluid_player_t* m_player = nullptr;
};

} // namespace korvane
