#include "job/BatchArguments.h"

namespace korvane {
namespace {
bool BeginsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}
} // namespace

BatchArguments ScanBatchArguments(const std::vector<std::string>& args) {
    BatchArguments result;
    const size_t count = args.size();
    for (size_t i = 1; i < count; ++i) {
        bool taken = false;
        // "-v" takes the next argument as its value, which may itself be "-f".
        if (BeginsWith(args[i], "-v") && i + 1 < count) {
            ++i;
            result.seen = true;
            taken = true;
        }
        if (BeginsWith(args[i], "-f") && i + 1 < count) {
            ++i;
            result.seen = true;
            result.inputGiven = true;
            result.inputPath = args[i];
            result.paths.push_back(args[i]);
            taken = true;
        }
        if (taken) {
            continue;
        }
        if (BeginsWith(args[i], "-v") || BeginsWith(args[i], "-f")) {
            continue; // an option given last, without a value
        }
        if (BeginsWith(args[i], "-")) {
            result.strayOptions.push_back(args[i]);
        } else {
            result.plainArguments.push_back(args[i]);
            result.paths.push_back(args[i]);
        }
    }
    return result;
}

} // namespace korvane
