#pragma once

#include "platform/TempOutput.h"

#include <vector>

namespace korvane {

// Makes finished outputs durable together and gives them their names: their file systems are
// synced once (not once per file), then each output is linked and renamed over its name, then
// each of their folders is synced once. Every name holds its earlier file or the complete new
// one, whenever the machine stops. Returns, for each output in order, whether it has its name.
std::vector<bool> CommitTogether(const std::vector<TempOutput*>& outputs);

} // namespace korvane
