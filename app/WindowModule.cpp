#include "app/WindowModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <iostream>
#include <limits.h>
#include <string>

namespace korvane {
namespace {
constexpr const char* kModuleName = "korvane-window.so";

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return {};
    }
    const std::string exe(path, static_cast<size_t>(length));
    return exe.substr(0, exe.rfind('/'));
}

// The module beside the executable (a build folder), else the installed one.
void* LoadModule(std::string& error) {
    const std::string folder = ExecutableFolder();
    for (const std::string& candidate :
         {folder + "/" + kModuleName, folder + "/" + KORVANE_WINDOW_MODULE_INSTALLED}) {
        if (::access(candidate.c_str(), F_OK) != 0) {
            continue;
        }
        if (void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            return module;
        }
        error = ::dlerror();
        return nullptr;
    }
    error = std::string(kModuleName) + " is neither beside the executable nor installed";
    return nullptr;
}
} // namespace

int RunWindowModule(int argc, char** argv) {
    std::string error;
    void* module = LoadModule(error);
    if (module == nullptr) {
        std::cerr << "korvane: the window cannot be loaded: " << error << "\n";
        return 2;
    }
    using Entry = int (*)(int, char**);
    const auto entry = reinterpret_cast<Entry>(::dlsym(module, "KorvaneRunWindow"));
    if (entry == nullptr) {
        std::cerr << "korvane: the window cannot be loaded: " << ::dlerror() << "\n";
        return 2;
    }
    return entry(argc, argv);
}

} // namespace korvane
