#include "platform/FileIdentity.h"

#include "platform/FileSystem.h"

#include <sys/stat.h>

namespace korvane {

FileIdentity IdentifyPath(const std::string& path) {
    struct stat st {};
    // One look for the usual cases, a file or a free name; a link is followed.
    const bool looked = ::lstat(path.c_str(), &st) == 0;
    if (looked && !S_ISLNK(st.st_mode)) {
        return {st.st_dev, st.st_ino, {}};
    }
    if (looked && ::stat(path.c_str(), &st) == 0) {
        return {st.st_dev, st.st_ino, {}};
    }
    const std::string target = looked ? ResolveSymlinks(path) : path;
    const auto slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (!name.empty() && ::stat(FolderPart(target).c_str(), &st) == 0) {
        return {st.st_dev, st.st_ino, name};
    }
    return {0, 0, target};
}

} // namespace korvane
