#include "platform/RemoveFolderTree.h"

#include "platform/BufferedFileException.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {
struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Opens a folder relative to an open parent without following a link at its last component,
// so the walk can never be led out of the tree, not even by an entry swapped for a link.
DirHandle OpenFolder(int parentFd, const char* name) {
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
    }
    return DirHandle(dir);
}

bool IsRealFolder(int folderFd, const char* name) {
    struct stat st {};
    return ::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

void RemoveFile(int folderFd, const std::string& path, const char* name) {
    if (::unlinkat(folderFd, name, 0) != 0 && errno != ENOENT) {
        throw BufferedFileException("cannot remove " + path + ": " + std::strerror(errno), errno);
    }
}

// Empties the open folder; a sub-folder is emptied and then removed itself.
void RemoveEntries(DIR* dir, const std::string& path) {
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const std::string entryPath = path + "/" + name;
        if (!IsRealFolder(fd, name.c_str())) {
            RemoveFile(fd, entryPath, name.c_str());
        } else if (name[0] != '.') { // passes over "." and ".." as well as hidden folders
            if (DirHandle sub = OpenFolder(fd, name.c_str())) {
                RemoveEntries(sub.get(), entryPath);
            }
            ::unlinkat(fd, name.c_str(), AT_REMOVEDIR); // a folder still holding entries stays
        }
    }
}
} // namespace

void RemoveFolderTree(const std::string& folder) {
    try {
        if (DirHandle dir = OpenFolder(AT_FDCWD, folder.c_str())) {
            RemoveEntries(dir.get(), folder);
        }
        ::rmdir(folder.c_str()); // never removes a link or a folder that still holds entries
    } catch (const BufferedFileException&) {
        // A file in use or protected ends the removal; the rest waits for the next start.
    }
}

} // namespace korvane
