#pragma once

#include "job/LanguageTable.h"
#include "platform/Profile.h"

namespace korvane {

// The texts of the language stored in the profile, for the hosts without a window. A stored
// language out of range leaves the window's texts empty; a blank message would say nothing,
// so English stands in.
const LanguageTexts* StoredLanguageTexts(const Profile& profile);

} // namespace korvane
