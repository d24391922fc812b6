#pragma once

#include "midi/Adjustments.h"

#include <pybind11/pybind11.h>

namespace korvane {

// A conversion's settings as a Python caller gives them (None where not given).
struct SettingsArgs {
    pybind11::object speed;
    pybind11::object dynamicRange;
    pybind11::object volume;
    bool fixStuckNotes = false;
    bool keepBars = false;
    pybind11::object channels;
    pybind11::object peak;
};

struct Settings {
    Adjustments adjustments; // the peak level among them
};

// The settings checked by the command line's rules; a refused value raises ValueError with the
// command line's words, a value of the wrong type TypeError.
Settings CheckSettings(const SettingsArgs& args);

} // namespace korvane
