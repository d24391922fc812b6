#include "job/OutputCollisions.h"

#include "platform/FileIdentity.h"

#include <map>

namespace korvane {

std::vector<size_t> FindCollidingInputs(const std::vector<InputOutput>& pairs) {
    std::map<FileIdentity, std::vector<size_t>> byOutput;
    std::map<FileIdentity, std::vector<size_t>> byInput;
    for (size_t i = 0; i < pairs.size(); ++i) {
        byOutput[IdentifyPath(pairs[i].output)].push_back(i);
        byInput[IdentifyPath(pairs[i].input)].push_back(i);
    }
    std::vector<bool> colliding(pairs.size(), false);
    for (const auto& [identity, writers] : byOutput) {
        if (writers.size() > 1) {
            for (const size_t i : writers) {
                colliding[i] = true;
            }
        }
        const auto named = byInput.find(identity);
        if (named == byInput.end()) {
            continue;
        }
        for (const size_t writer : writers) {
            for (const size_t input : named->second) {
                if (input != writer) {
                    colliding[writer] = true;
                    colliding[input] = true;
                }
            }
        }
    }
    std::vector<size_t> indices;
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (colliding[i]) {
            indices.push_back(i);
        }
    }
    return indices;
}

} // namespace korvane
