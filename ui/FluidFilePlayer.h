#pragma once

#include "ui/FluidSession.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// FluidSynth's MIDI file player for one file, from disk or from memory, driving a session's
// synth. Positions are MIDI ticks of the file. The file is read when playback first reaches it,
// so the total is 0 until then, and a file that cannot be read simply ends playback.
class FluidFilePlayer {
  public:
    FluidFilePlayer(FluidSession& session, const std::string& path);
    // Copies bytes: the caller may let them go at once.
    FluidFilePlayer(FluidSession& session, const std::vector<uint8_t>& bytes);
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
    // Before the first Play any tick is taken; playback then starts there.
    bool Seek(int tick);
    // When on, playback starts over at the end of the file instead of ending.
    void SetLoop(bool loop);

    bool IsPlaying() const;
    // The tick a Seek asked for until the file has been read.
    int CurrentTick() const;
    int TotalTicks() const;

    struct Progress {
        bool playing;
        int tick;
        int totalTicks;
    };
    // The same three values at once, or nothing while the synth is busy (FluidSynth reads a file
    // inside a rendering, which can take a while for a large one), so a caller never waits.
    std::optional<Progress> TryProgress() const;

  private:
    explicit FluidFilePlayer(FluidSession& session);
    // Takes the result of adding the file to the player; throws when it failed.
    void Added(int status);
    int CurrentTickLocked() const;
    int TotalTicksLocked() const;

    FluidSession& m_session;
    fluid_player_t* m_player = nullptr;
    int m_pendingTick = 0;
    mutable int m_totalTicks = 0; // 0 until FluidSynth has read the file
};

} // namespace korvane
