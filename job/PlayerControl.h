#pragma once

#include "job/MidiBytes.h"

#include <string>

namespace korvane {

// The preview player as the job drives it. The window supplies the real player; a headless
// run supplies one that does nothing.
class PlayerControl {
  public:
    virtual ~PlayerControl() = default;
    // Holds the named file, ready but not playing; the empty name releases the file held.
    virtual void SetFileName(const std::string& path) = 0;
    // Stops playback and rewinds to the start.
    virtual void StopAndRewind() = 0;
    // Auto-start: when on, a file given by SetFileName starts playing at once.
    virtual void SetAutoStart(bool value) = 0;
    // Repeat: when on, playback starts over at the end of the file instead of stopping.
    virtual void SetRepeat(bool value) = 0;

    // Holds a MIDI file given in memory instead of what it holds; nothing is read from or written
    // to disk. name is the file the bytes stand for, labelled as a preview when preview is set.
    // A file that was playing goes on playing, and one paused stays paused, at its position times
    // positionScale. Null bytes hold the name alone: a Play then asks for the bytes.
    virtual void HoldBytes(MidiBytes bytes, const std::string& name, bool preview,
                           double positionScale) = 0;
    // Holds nothing and says that the preview would take too much memory.
    virtual void ShowTooLarge() = 0;
    // False once a Play has found no SoundFont or no audio device, until a Play finds them.
    virtual bool CanPlay() const = 0;
};

// The player of a run without a window.
class NullPlayer : public PlayerControl {
  public:
    void SetFileName(const std::string&) override {}
    void StopAndRewind() override {}
    void SetAutoStart(bool) override {}
    void SetRepeat(bool) override {}
    void HoldBytes(MidiBytes, const std::string&, bool, double) override {}
    void ShowTooLarge() override {}
    bool CanPlay() const override { return false; }
};

} // namespace korvane
