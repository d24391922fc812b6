// Writes the demo files into a folder, or the large benchmark file to a path.
#include "examples/DemoSongs.h"
#include "testing/BenchmarkSong.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace korvane {
namespace {
int Usage() {
    std::fputs("usage: korvane_examples FOLDER\n"
               "       korvane_examples --benchmark FILE [MEGABYTES]\n",
               stderr);
    return 2;
}
} // namespace

int Main(int argc, char** argv) {
    try {
        if (argc >= 3 && std::string(argv[1]) == "--benchmark") {
            const long megabytes = argc >= 4 ? std::strtol(argv[3], nullptr, 10) : 32;
            if (megabytes <= 0 || argc > 4) {
                return Usage();
            }
            WriteBytes(argv[2], BenchmarkSong(static_cast<size_t>(megabytes) << 20));
            return 0;
        }
        if (argc != 2 || argv[1][0] == '-') {
            return Usage();
        }
        for (const DemoSong& song : DemoSongs()) {
            song.make().WriteFile(std::string(argv[1]) + "/" + song.fileName);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane_examples: %s\n", e.what());
        return 1;
    }
}
} // namespace korvane

int main(int argc, char** argv) {
    return korvane::Main(argc, argv);
}
