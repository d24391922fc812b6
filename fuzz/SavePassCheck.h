#pragma once

#include <cstddef>
#include <cstdint>

namespace korvane {

// Runs the real save pass (the conversion job, from a file to a file) over one input and checks
// what it wrote: the pass completes, the output's chunks follow the input's (those in a RIFF
// file's data chunk; a RIFF file without one must be refused), every chunk's length matches its
// data, every track parses to exactly one End of Track at its very end, a load pass records
// the same levels, and a pass that keeps no levels, through the default window, writes the same
// file. The adjustments and the window are derived from the input, so every input always runs
// with the same ones. Aborts with a message on the first violation.
void CheckSavePass(const uint8_t* data, size_t size);

} // namespace korvane
