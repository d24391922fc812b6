#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace korvane {

struct InputOutput {
    std::string input;
    std::string output;
};

// The indices, ascending, of the inputs of one run that must not be converted: those whose
// output another input shares, those whose output names another input of the run (wherever
// it stands on the line), and the inputs so named. Paths are compared by what they name, so
// links and other spellings of one file collide too. An output naming its own input is left
// to the save, which refuses it with a message of its own.
std::vector<size_t> FindCollidingInputs(const std::vector<InputOutput>& pairs);

} // namespace korvane
