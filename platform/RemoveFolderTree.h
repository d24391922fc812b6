#pragma once

#include <string>

namespace korvane {

// Removes a folder with everything in it, as the start-up does with the leftover set-up folder.
// Symbolic links are removed as links and never followed, so nothing outside the folder is
// touched; a sub-folder whose name begins with "." is left in place (and with it its parent).
// The first file that cannot be deleted ends the removal where it stands; nothing is reported.
// A folder that does not exist, or a path that is itself a link, is left alone.
void RemoveFolderTree(const std::string& folder);

} // namespace korvane
