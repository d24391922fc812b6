#include "app/OutputFolders.h"

#include <cerrno>
#include <sys/stat.h>

namespace korvane {

namespace {
// The folder that holds path; empty when path has no parent to make.
std::string ParentOf(const std::string& path) {
    const auto end = path.find_last_not_of('/');
    const auto slash = end == std::string::npos ? end : path.rfind('/', end);
    if (slash == std::string::npos || slash == 0) {
        return {};
    }
    return path.substr(0, slash);
}

bool MakeFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        struct stat st {};
        return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    const std::string parent = ParentOf(folder);
    if (errno != ENOENT || parent.empty()) {
        return false;
    }
    // The parent is missing: made first, then this folder again (another worker may make it
    // meanwhile).
    return MakeFolder(parent) && (::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST);
}
} // namespace

bool OutputFolders::Ensure(const std::string& folder) {
    if (folder.empty() || folder == m_lastMade) {
        return true;
    }
    if (!MakeFolder(folder)) {
        return false;
    }
    m_lastMade = folder;
    return true;
}

} // namespace korvane
