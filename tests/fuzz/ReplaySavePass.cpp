// Replays saved inputs through the save-pass check without libFuzzer. Each file runs in a child
// process, so one violation (which aborts) is reported by name and the others still run.
#include "fuzz/SavePassCheck.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace korvane {
namespace {
bool Replay(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                     std::istreambuf_iterator<char>()};
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        CheckSavePass(bytes.data(), bytes.size());
        std::_Exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}
} // namespace

int Main(int argc, char** argv) {
    size_t replayed = 0;
    size_t failed = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
            if (!entry.is_regular_file()) {
                continue;
            }
            ++replayed;
            if (!Replay(entry.path())) {
                ++failed;
                std::fprintf(stderr, "FAILED: %s\n", entry.path().c_str());
            }
        }
        if (error) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("%zu inputs replayed, %zu failed\n", replayed, failed);
    return replayed > 0 && failed == 0 ? 0 : 1;
}
} // namespace korvane

int main(int argc, char** argv) {
    return korvane::Main(argc, argv);
}
