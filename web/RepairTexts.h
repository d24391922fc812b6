#pragma once

#include "midi/RepairCounts.h"

#include <string>
#include <vector>

namespace korvane {

// What the page's file list says a pass repaired: each kind of count in kRepairKinds' wording of
// the language with its count, singular for one, in the report's order. Kinds counted 0 are left
// out. Empty for a language outside 0 to 3.
std::vector<std::string> RepairTexts(int language, const RepairCounts& repairs);

} // namespace korvane
