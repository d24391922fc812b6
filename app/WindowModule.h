#pragma once

// The window lives in a module of its own (korvane-window.so), loaded only when a window is
// wanted: a headless conversion then starts without loading Qt and the synthesizer.

// The module's entry point, looked up by this name.
extern "C" int KorvaneRunWindow(int argc, char** argv);

namespace korvane {

// Loads the module, beside the executable or where it is installed, and runs the window;
// returns the exit status, or 2 with a message on standard error when the module cannot load.
int RunWindowModule(int argc, char** argv);

} // namespace korvane
