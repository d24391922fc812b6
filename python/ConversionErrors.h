#pragma once

#include "job/JobMessage.h"

#include <pybind11/pybind11.h>

#include <string>

namespace korvane {

// Adds korvane.ConversionError and its subclass korvane.NotMidiError to the module.
void DefineConversionErrors(pybind11::module_& module);

// Raises NotMidiError for an input that is no MIDI file and ConversionError for every other
// failure, carrying the report's code, the system's reason (None where it gave none) and the
// message in the language of the profile. shownPath names the input; empty for bytes.
[[noreturn]] void RaiseConversionError(JobMessage message, const std::string& reason,
                                       const std::string& shownPath);

} // namespace korvane
