#include "job/OutputPath.h"

#include <strings.h>

namespace korvane {
namespace {
constexpr size_t kDotWindowCharacters = 50;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Cuts name at its first "." among its first 50 UTF-8 characters.
std::string CutAtFirstDot(const std::string& name) {
    size_t characters = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsContinuationByte(name[i])) {
            continue;
        }
        if (characters++ == kDotWindowCharacters) {
            break;
        }
        if (name[i] == '.') {
            return name.substr(0, i);
        }
    }
    return name;
}
} // namespace

std::string DeriveOutputPath(const std::string& inputPath) {
    const auto slash = inputPath.rfind('/');
    if (slash == std::string::npos) {
        return CutAtFirstDot(inputPath) + "KRV.mid";
    }
    return inputPath.substr(0, slash) + "/" + CutAtFirstDot(inputPath.substr(slash + 1)) +
           "KRV.mid";
}

namespace {
// The input's own name, but a RIFF file's (.rmi) output is a plain MIDI file and named so.
std::string KeptName(std::string relative) {
    const size_t dot = relative.size() >= 4 ? relative.size() - 4 : std::string::npos;
    if (dot != std::string::npos && strcasecmp(relative.c_str() + dot, ".rmi") == 0) {
        relative.replace(dot, 4, ".mid");
    }
    return relative;
}
} // namespace

std::string OutputUnderFolder(const std::string& folder, const std::string& relativePath,
                              bool keepNames) {
    const std::string name = keepNames ? KeptName(relativePath) : DeriveOutputPath(relativePath);
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string FolderOfPath(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace korvane
