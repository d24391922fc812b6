#pragma once

#include "midi/RepairCounts.h"

#include <string>
#include <vector>

namespace korvane {

// What the page's file list says a pass repaired: each kind the report counts, named in the
// language's words with its count, singular for one, in the report's order; vendor chunks copied
// whole come last. Kinds counted 0 are left out. Empty for a language outside 0 to 3.
std::vector<std::string> RepairTexts(int language, const RepairCounts& repairs);

} // namespace korvane
