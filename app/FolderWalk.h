#pragma once

#include "app/PlannedInput.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace korvane {

// A folder to leave out of the walk, known by its device and inode.
struct FolderIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

// Walks root and its sub-folders for files whose names end in .mid, .midi, .kar, .smf or .rmi
// (any case). Names beginning with "." and earlier outputs (names ending in KRV.mid, any case)
// are left out; links to folders are not followed, links to files are taken; the folder
// `skip`, when given, is not entered. A folder that cannot be read is an entry of its own.
// Entries come sorted by path, byte by byte; paths are the folder given, "/", then the path
// below it.
std::vector<PlannedInput> WalkFolder(const std::string& root, const FolderIdentity* skip);

// The identity of a folder; false when path is not an existing folder.
bool IdentifyFolder(const std::string& path, FolderIdentity& identity);

} // namespace korvane
