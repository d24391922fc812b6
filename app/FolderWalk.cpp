#include "app/FolderWalk.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace korvane {

namespace {
constexpr const char* kMidiSuffixes[] = {".mid", ".midi", ".kar", ".smf", ".rmi"};
constexpr const char kEarlierOutputSuffix[] = "krv.mid";

bool EndsWithIgnoringCase(const std::string& name, const std::string& lowerSuffix) {
    if (name.size() < lowerSuffix.size()) {
        return false;
    }
    const size_t start = name.size() - lowerSuffix.size();
    for (size_t i = 0; i < lowerSuffix.size(); ++i) {
        const char c = name[start + i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != lowerSuffix[i]) {
            return false;
        }
    }
    return true;
}

bool IsWantedFileName(const std::string& name) {
    if (EndsWithIgnoringCase(name, kEarlierOutputSuffix)) {
        return false;
    }
    return std::any_of(std::begin(kMidiSuffixes), std::end(kMidiSuffixes),
                       [&name](const char* suffix) { return EndsWithIgnoringCase(name, suffix); });
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

class Walker {
  public:
    Walker(const FolderIdentity* skip, uint32_t relativeStart, std::vector<PlannedInput>& entries)
        : m_skip(skip), m_relativeStart(relativeStart), m_entries(entries) {}

    void Walk(const std::string& folder) {
        const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
        if (!dir) {
            Fail(folder, errno);
            return;
        }
        std::vector<std::string> subFolders;
        errno = 0;
        while (const dirent* entry = ::readdir(dir.get())) {
            Take(::dirfd(dir.get()), folder, *entry, subFolders);
            errno = 0;
        }
        if (errno != 0) {
            Fail(folder, errno);
        }
        for (const std::string& sub : subFolders) {
            Walk(sub);
        }
    }

  private:
    void Take(int folderFd, const std::string& folder, const dirent& entry,
              std::vector<std::string>& subFolders) {
        const std::string name = entry.d_name;
        if (name.empty() || name.front() == '.') {
            return;
        }
        unsigned char type = entry.d_type;
        struct stat st {};
        if (type == DT_UNKNOWN || type == DT_DIR) {
            if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                return; // gone since the folder was read
            }
            type = S_ISDIR(st.st_mode)   ? DT_DIR
                   : S_ISLNK(st.st_mode) ? DT_LNK
                   : S_ISREG(st.st_mode) ? DT_REG
                                         : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            if (!IsSkipped(st)) {
                subFolders.push_back(Join(folder, name));
            }
        } else if (IsWantedFileName(name) && (type == DT_REG || IsLinkToFile(folderFd, name))) {
            m_entries.push_back({Join(folder, name), m_relativeStart, 0});
        }
    }

    void Fail(const std::string& folder, int error) {
        const auto start = static_cast<uint32_t>(std::min<size_t>(m_relativeStart, folder.size()));
        m_entries.push_back({folder, start, error});
    }

    bool IsSkipped(const struct stat& st) const {
        return m_skip != nullptr && st.st_dev == m_skip->device && st.st_ino == m_skip->inode;
    }

    static bool IsLinkToFile(int folderFd, const std::string& name) {
        struct stat st {};
        return ::fstatat(folderFd, name.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode);
    }

    const FolderIdentity* m_skip;
    const uint32_t m_relativeStart;
    std::vector<PlannedInput>& m_entries;
};

// "a/" and "a//" walk as "a", so that the paths found read naturally; "/" stays.
std::string WithoutTrailingSlashes(std::string root) {
    while (root.size() > 1 && root.back() == '/') {
        root.pop_back();
    }
    return root;
}
} // namespace

std::vector<PlannedInput> WalkFolder(const std::string& root, const FolderIdentity* skip) {
    std::vector<PlannedInput> entries;
    const std::string start = WithoutTrailingSlashes(root);
    FolderIdentity identity;
    if (skip != nullptr && IdentifyFolder(start, identity) && identity.device == skip->device &&
        identity.inode == skip->inode) {
        return entries; // the output folder itself holds no inputs
    }
    const auto relativeStart = static_cast<uint32_t>(start == "/" ? 1 : start.size() + 1);
    Walker(skip, relativeStart, entries).Walk(start);
    std::sort(entries.begin(), entries.end(),
              [](const PlannedInput& a, const PlannedInput& b) { return a.path < b.path; });
    return entries;
}

bool IdentifyFolder(const std::string& path, FolderIdentity& identity) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    identity = {st.st_dev, st.st_ino};
    return true;
}

} // namespace korvane
