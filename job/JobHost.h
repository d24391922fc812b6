#pragma once

#include "job/PlayerControl.h"
#include "platform/MessageIcon.h"

#include <string>

namespace korvane {

// What the conversion job needs from whoever runs it: the window, or the command line.
class JobHost {
  public:
    virtual ~JobHost() = default;
    // Copies the window's values into the job; false when an entry was refused (the host has
    // already said so).
    virtual bool TakeWindowValues() = 0;
    // Shows the job's values in the window.
    virtual void ShowValues() = 0;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // Enables the twelve adjustment controls in their fixed order.
    virtual void EnableAdjustmentControls() = 0;
    virtual PlayerControl& Player() = 0;
    // Redraws the level display.
    virtual void Redraw() = 0;
    // Whether the pass keeps the levels it reads: the level display needs them, a host that
    // shows none saves their memory.
    virtual bool WantsLevels() const { return true; }
};

} // namespace korvane
