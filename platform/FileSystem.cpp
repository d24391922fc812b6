#include "platform/FileSystem.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

namespace korvane {

std::string FolderPart(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string ResolveSymlinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::vector<char> target(4096);
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size() - 1);
        if (n < 0) {
            return current;
        }
        std::string next(target.data(), static_cast<size_t>(n));
        current = next.front() == '/' ? next : FolderPart(current) + "/" + next;
    }
    return current;
}

namespace {
// target, when a new file may be made in its folder.
std::optional<std::string> InWritableFolder(std::string target) {
    if (::access(FolderPart(target).c_str(), W_OK | X_OK) != 0) {
        return std::nullopt;
    }
    return target;
}

// False, with errno set, for a path that cannot name a file: empty, or ending in a slash.
bool NamesAFile(const std::string& path) {
    if (path.empty() || path.back() == '/') {
        errno = path.empty() ? ENOENT : EISDIR;
        return false;
    }
    return true;
}
} // namespace

std::optional<std::string> OutputTarget(const std::string& path) {
    if (!NamesAFile(path)) {
        return std::nullopt;
    }
    // Another run may create the output between two looks: it is then looked at again, as the
    // existing file it has become.
    for (int look = 0; look < 3; ++look) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            // Renaming over anything but a regular file would replace a device, FIFO or socket.
            if (!S_ISREG(st.st_mode) || ::access(path.c_str(), W_OK) != 0) {
                return std::nullopt;
            }
            return InWritableFolder(ResolveSymlinks(path));
        }
        // Otherwise only a name that does not exist yet (or a link to one) may be created; a
        // loop or an overlong chain gives ELOOP here.
        if (errno != ENOENT) {
            return std::nullopt;
        }
        const std::string target = ResolveSymlinks(path);
        struct stat link {};
        if (::lstat(target.c_str(), &link) != 0) {
            return InWritableFolder(target);
        }
    }
    errno = EEXIST;
    return std::nullopt;
}

std::optional<std::string> FreeOutputTarget(const std::string& path) {
    return NamesAFile(path) ? InWritableFolder(path) : std::nullopt;
}

bool OnFuseMount(int fd) {
    constexpr long kFuseMagic = 0x65735546; // FUSE_SUPER_MAGIC, for fuse and fuseblk alike
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && fs.f_type == kFuseMagic;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) {
        return false;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace korvane
