#pragma once

#include <compare>
#include <string>
#include <sys/types.h>

namespace korvane {

// What a path names, so that two spellings of one file compare equal: the file's device and
// inode when it exists (links followed); else its folder's device and inode and its last name
// (links at the last component followed); else, with no folder to ask, the path itself.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    std::string name;
    auto operator<=>(const FileIdentity&) const = default;
};

FileIdentity IdentifyPath(const std::string& path);

} // namespace korvane
