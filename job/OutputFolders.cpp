#include "job/OutputFolders.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace korvane {

namespace {
constexpr char kLeadsOut[] = "a link leads out of the output folder";

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

std::optional<std::string> RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    return std::string(resolved);
}
} // namespace

std::optional<std::string> OutputFolders::Prepare(const std::string& output) {
    const std::string folder = FolderPart(output);
    if (folder != m_lastMade) {
        if (!MakeFolder(folder)) {
            return std::strerror(errno);
        }
        if (!Inside(folder)) {
            return kLeadsOut;
        }
        m_lastMade = folder;
    }
    struct stat st {};
    // A link in place of the output: the save would write where it leads.
    if (::lstat(output.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
        !Inside(FolderPart(ResolveSymlinks(output)))) {
        return kLeadsOut;
    }
    return std::nullopt;
}

bool OutputFolders::Inside(const std::string& path) {
    if (!m_realRoot) {
        m_realRoot = RealPath(m_root);
    }
    const std::optional<std::string> real = RealPath(path);
    if (!m_realRoot || !real) {
        return false;
    }
    const std::string& root = *m_realRoot;
    return real->compare(0, root.size(), root) == 0 &&
           (real->size() == root.size() || root == "/" || (*real)[root.size()] == '/');
}

} // namespace korvane
