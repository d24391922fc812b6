#pragma once

#include <string>

namespace korvane {

// The hidden names of a save's temporaries, ".korvane-KKKKKKKK-PID-RRRRRRRR": K names this
// machine's boot and process namespace, PID the process writing it. A run killed between
// naming and renaming (SIGKILL, a power cut) leaves such a file, which later runs skip like
// every hidden name; the name lets a later run tell it from one a live run is writing.

// A fresh hidden name beside the outputs of folder, for this process.
std::string HiddenTemporaryName(const std::string& folder);

// Removes the temporaries that ended runs left in folder: of this boot and namespace when their
// process is gone, of another machine or boot when a day old. Only regular files with such a
// name are touched; each folder is looked at once per process.
void RemoveStaleTemporaries(const std::string& folder);

} // namespace korvane
