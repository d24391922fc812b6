#include "app/InputPlan.h"

#include "app/FolderWalk.h"
#include "job/OutputCollisions.h"
#include "job/OutputPath.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

namespace korvane {

namespace {
PlannedInput FileArgument(const std::string& path) {
    const auto slash = path.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    return {path, static_cast<uint32_t>(start), 0};
}

// A path given twice, or inside a folder given too (lib lib/sub, DIR DIR/a.mid), is converted
// once, where it was first reached: a second time would collide with its own output. Hard
// links are names of their own and keep their outputs.
void DropFilesReachedAgain(std::vector<PlannedInput>& plan) {
    std::set<std::string> seen;
    std::erase_if(plan, [&seen](const PlannedInput& input) {
        char real[PATH_MAX];
        return input.folderError == 0 && input.path != "-" &&
               ::realpath(input.path.c_str(), real) != nullptr && !seen.insert(real).second;
    });
}

std::string OutputPathFor(const PlannedInput& input, const std::optional<std::string>& outputPath,
                          const CollectionOptions& collection) {
    if (outputPath) {
        return *outputPath;
    }
    if (collection.outputDir.empty()) {
        return DeriveOutputPath(input.path);
    }
    return OutputUnderFolder(collection.outputDir, std::string(input.Relative()),
                             collection.keepNames);
}
} // namespace

std::vector<PlannedInput> PlanInputs(const std::vector<std::string>& arguments,
                                     const CollectionOptions& collection,
                                     const FolderTest& isFolder) {
    FolderIdentity outputFolder;
    const bool skipOutputFolder =
        !collection.outputDir.empty() && IdentifyFolder(collection.outputDir, outputFolder);
    std::vector<PlannedInput> plan;
    for (const std::string& argument : arguments) {
        if (isFolder(argument)) {
            std::vector<PlannedInput> found =
                WalkFolder(argument, skipOutputFolder ? &outputFolder : nullptr);
            std::move(found.begin(), found.end(), std::back_inserter(plan));
        } else {
            plan.push_back(FileArgument(argument));
        }
    }
    if (arguments.size() > 1) {
        DropFilesReachedAgain(plan);
    }
    if (collection.shard.count > 1) {
        std::erase_if(plan, [&collection](const PlannedInput& input) {
            return !InShard(input.Relative(), collection.shard);
        });
    }
    return plan;
}

void AssignOutputs(std::vector<PlannedInput>& plan, const std::optional<std::string>& outputPath,
                   const CollectionOptions& collection) {
    for (PlannedInput& input : plan) {
        if (input.folderError == 0) {
            input.output = OutputPathFor(input, outputPath, collection);
        }
    }
}

void MarkCollisions(std::vector<PlannedInput>& plan) {
    std::vector<InputOutput> pairs;
    std::vector<size_t> files;
    for (size_t i = 0; i < plan.size(); ++i) {
        if (plan[i].folderError == 0) {
            pairs.push_back({plan[i].path, plan[i].output});
            files.push_back(i);
        }
    }
    for (const size_t colliding : FindCollidingInputs(pairs)) {
        plan[files[colliding]].collides = true;
    }
}

} // namespace korvane
