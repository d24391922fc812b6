#include "platform/StaleTemporaries.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {
constexpr char kPrefix[] = ".korvane-";
constexpr size_t kPrefixSize = sizeof kPrefix - 1;
constexpr size_t kKeySize = 8;
constexpr size_t kRandomSize = 8;
// Older than any save takes: a temporary of another machine is left alone until then.
constexpr time_t kForeignAge = 24 * 60 * 60;

// The whole of a small system file; empty where it cannot be read. Plain reads keep the stream
// library out of the programs that link this, the web page's engine among them.
std::string ReadAll(const char* path) {
    std::string text;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return text;
    }
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    return text;
}

// Identifies this boot and process namespace: a process id means the same process only where
// both are the same.
const std::string& OwnKey() {
    static const std::string key = [] {
        char ns[64] = {};
        const ssize_t n = ::readlink("/proc/self/ns/pid", ns, sizeof ns - 1);
        const std::string owner = ReadAll("/proc/sys/kernel/random/boot_id") +
                                  std::string(ns, n > 0 ? static_cast<size_t>(n) : 0);
        uint32_t hash = 2166136261u; // FNV-1a
        for (const char c : owner) {
            hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
        }
        char text[kKeySize + 1];
        std::snprintf(text, sizeof text, "%08x", hash);
        return std::string(text);
    }();
    return key;
}

bool IsAlnum(const std::string& text) {
    for (const char c : text) {
        if (!(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z')) {
            return false;
        }
    }
    return !text.empty();
}

struct TemporaryName {
    std::string key; // empty for the older names without an owner
    pid_t pid = 0;
};

// What a hidden temporary's name says of its writer; nothing for any other name.
bool ParseName(const std::string& name, TemporaryName& parsed) {
    if (name.compare(0, kPrefixSize, kPrefix) != 0) {
        return false;
    }
    const std::string rest = name.substr(kPrefixSize);
    if (rest.size() == 12 && IsAlnum(rest)) {
        return true; // made before the names said their writer
    }
    const size_t dash1 = rest.find('-');
    const size_t dash2 = rest.find('-', dash1 + 1);
    if (dash1 != kKeySize || dash2 == std::string::npos || rest.size() - dash2 - 1 != kRandomSize ||
        !IsAlnum(rest.substr(0, kKeySize)) || !IsAlnum(rest.substr(dash2 + 1))) {
        return false;
    }
    const std::string pid = rest.substr(dash1 + 1, dash2 - dash1 - 1);
    if (pid.empty() || pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    parsed.key = rest.substr(0, kKeySize);
    parsed.pid = static_cast<pid_t>(std::stol(pid));
    return true;
}

bool IsStale(const TemporaryName& name, const struct stat& st) {
    if (name.key == OwnKey()) {
        return ::kill(name.pid, 0) != 0 && errno == ESRCH;
    }
    return std::time(nullptr) - st.st_mtime > kForeignAge;
}

bool FirstLook(const std::string& folder) {
    static std::mutex mutex;
    static std::set<std::string> seen;
    const std::lock_guard lock(mutex);
    return seen.insert(folder).second;
}
} // namespace

std::string HiddenTemporaryName(const std::string& folder) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string name = folder + "/" + kPrefix + OwnKey() + "-" + std::to_string(::getpid()) + "-";
    for (size_t i = 0; i < kRandomSize; ++i) {
        name += kLetters[pick(random)];
    }
    return name;
}

void RemoveStaleTemporaries(const std::string& folder) {
    if (!FirstLook(folder)) {
        return;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return; // the save itself reports a folder it cannot use
    }
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        TemporaryName name;
        struct stat st {};
        if (ParseName(entry->d_name, name) &&
            ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            IsStale(name, st)) {
            ::unlinkat(fd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

} // namespace korvane
