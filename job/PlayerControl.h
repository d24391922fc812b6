#pragma once

#include "job/MidiBytes.h"

#include <string>

namespace korvane {

// The player as the preview drives it: the window's strip, or a test's.
class PlayerControl {
  public:
    virtual ~PlayerControl() = default;
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

} // namespace korvane
