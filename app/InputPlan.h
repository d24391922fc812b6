#pragma once

#include "app/CommandLine.h"
#include "app/PlannedInput.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Every input of the command line in order: files as given, folders walked (without the
// output folder), then only this machine's shard.
std::vector<PlannedInput> PlanInputs(const std::vector<std::string>& arguments,
                                     const CollectionOptions& collection,
                                     const FolderTest& isFolder = IsFolderPath);

// Gives each input its output: the one output given, else under the output folder mirroring the
// input's place below its folder argument, else beside the input.
void AssignOutputs(std::vector<PlannedInput>& plan, const std::optional<std::string>& outputPath,
                   const CollectionOptions& collection);

// Marks the inputs that must not be converted because their outputs collide: an output
// shared with another input, or naming another input of the run.
void MarkCollisions(std::vector<PlannedInput>& plan);

} // namespace korvane
