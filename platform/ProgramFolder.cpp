#include "platform/ProgramFolder.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvane {
namespace {
std::string ExecutablePath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(n));
        }
        buffer.resize(buffer.size() * 2); // the path may have been cut short
    }
}

// The folder part of a path, "/" for the root and "." when there is no folder part.
std::string Parent(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string LastName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}
} // namespace

std::string ProgramFolder() {
    const std::string exe = ExecutablePath();
    return exe.empty() ? std::string() : ProgramFolderOf(exe);
}

std::string ProgramFolderOf(const std::string& exePath) {
    const std::string folder = Parent(exePath);
    const std::string last = LastName(folder);
    if (last == "Release" || last == "Debug") {
        return Parent(folder);
    }
    return folder;
}

std::string ExamplesFolder(const std::string& programFolder) {
    if (programFolder.empty()) {
        return {};
    }
    const std::string beside = Join(programFolder, "Examples");
    return IsFolder(beside) ? beside : InstalledExamplesFolder(programFolder);
}

std::string InstalledExamplesFolder(const std::string& programFolder) {
    // Relative to the program, so that an installed tree works wherever it is unpacked.
    std::string folder = programFolder;
    std::string relative = KORVANE_EXAMPLES_FROM_PROGRAM;
    while (relative.starts_with("../")) {
        folder = Parent(folder);
        relative.erase(0, 3);
    }
    return Join(folder, relative);
}

std::string SetupFolder() {
    const std::string cache = AbsoluteVariable("XDG_CACHE_HOME");
    if (!cache.empty()) {
        return Join(cache, "KorvaneSetup");
    }
    const std::string home = AbsoluteVariable("HOME");
    return home.empty() ? std::string() : Join(home, ".cache/KorvaneSetup");
}

} // namespace korvane
