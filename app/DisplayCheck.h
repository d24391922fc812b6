#pragma once

namespace korvane {

// Whether the window can open: a display server is set and answers, or Qt is told to use a
// platform that needs none. A DISPLAY that does not answer would make Qt end the process.
bool DisplayReachable();

// Whether any display is named at all (DISPLAY or WAYLAND_DISPLAY).
bool DisplayNamed();

} // namespace korvane
