#pragma once

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
    virtual void Command2003() = 0;
    // Auto-start: when on, a file given by SetFileName starts playing at once.
    virtual void SetFlag1107(bool value) = 0;
    // Repeat: when on, playback starts over at the end of the file instead of stopping.
    virtual void SetFlag24(bool value) = 0;
};

// The player of a run without a window.
class NullPlayer : public PlayerControl {
  public:
    void SetFileName(const std::string&) override {}
    void Command2003() override {}
    void SetFlag1107(bool) override {}
    void SetFlag24(bool) override {}
};

} // namespace korvane
