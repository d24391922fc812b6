#pragma once

#include "midi/Adjustments.h"
#include "platform/WholeNumber.h"

#include <optional>
#include <string>

namespace korvane {

// The options that set a conversion's adjustments ("speed",
// "dynamic-range", "volume", "fix-stuck-notes", "keep-bars", "channels", "peak"), as the
// command line takes them: every host checks its values here, so the ranges and the words a
// user reads about them have one home.

// "--NAME takes an integer from LOWEST to HIGHEST, not 'VALUE'".
std::string IntegerOptionError(const std::string& name, const std::string& value, int lowest,
                               int highest);

// Sets target from value when it is a whole number from lowest to highest; returns the usage
// error of option --name otherwise (target unchanged), else an empty text.
std::string SetIntegerOption(const std::string& name, const std::string& value, int lowest,
                             int highest, int& target);

bool IsAdjustmentOption(const std::string& name);

// Sets the option called name from value (ignored by the options without one); returns the
// usage error, or an empty text when the value was taken. A refused value changes nothing.
std::string ApplyAdjustmentOption(const std::string& name, const std::string& value,
                                  Adjustments& adjustments);

} // namespace korvane
