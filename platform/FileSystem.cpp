#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace korvane {

TempFile::TempFile(TempFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)),
      m_committed(std::exchange(other.m_committed, true)) {}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
    std::swap(m_fd, other.m_fd);
    std::swap(m_path, other.m_path);
    std::swap(m_committed, other.m_committed);
    return *this;
}

TempFile::~TempFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (!m_committed && !m_path.empty()) {
        ::unlink(m_path.c_str());
    }
}

int TempFile::Release() {
    return std::exchange(m_fd, -1);
}

std::string FolderPart(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

TempFile CreateTempBeside(const std::string& finalPath) {
    if (finalPath.empty() || finalPath.back() == '/') {
        return {};
    }
    std::string pattern = FolderPart(finalPath) + "/.korvane-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    return TempFile(fd, std::string(name.data()));
}

namespace {
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
} // namespace

bool CommitTemp(const std::string& tempPath, const std::string& finalPath) {
    struct stat st {};
    const mode_t mode = ::stat(finalPath.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
    if (::chmod(tempPath.c_str(), mode) != 0) {
        return false;
    }
    return ::rename(tempPath.c_str(), finalPath.c_str()) == 0;
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

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) {
        return false;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace korvane
