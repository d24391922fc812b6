#include "platform/FileIdentity.h"

#include "platform/FileSystem.h"

#include <sys/stat.h>

namespace korvane {

FileIdentity IdentifyPath(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        return {st.st_dev, st.st_ino, {}};
    }
    const std::string target = ResolveSymlinks(path);
    const auto slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (!name.empty() && ::stat(FolderPart(target).c_str(), &st) == 0) {
        return {st.st_dev, st.st_ino, name};
    }
    return {0, 0, target};
}

} // namespace korvane
