#include "app/WindowCollection.h"

#include "app/CollectionRun.h"
#include "app/InputPlan.h"

namespace korvane {

std::vector<std::string> WindowCollection::Gather(const std::vector<std::string>& paths) const {
    std::vector<std::string> files;
    for (PlannedInput& input : PlanInputs(paths, CollectionOptions{})) {
        if (input.folderError == 0) {
            files.push_back(std::move(input.path));
        }
    }
    return files;
}

FileCollection::Result WindowCollection::Save(const std::vector<std::string>& paths,
                                              const Adjustments& adjustments,
                                              const LanguageTexts& texts, const Progress& progress,
                                              const Stop& stop) const {
    // The command line a folder run of these paths would have, with the window's adjustments.
    CommandLine commandLine;
    commandLine.action = CommandLine::Action::Convert;
    commandLine.headless = true;
    commandLine.inputs = paths;
    commandLine.options.adjustments = adjustments;

    Result result;
    const auto reportedFile = [&](const PlannedInput& input, const FileOutcome& outcome,
                                  size_t /*total*/) {
        const bool saved = outcome.status == FileStatus::Converted;
        if (saved) {
            ++result.saved;
            result.repaired += outcome.repairs.Any();
        } else {
            result.failed.push_back({input.path, outcome.message.value_or(""), outcome.reason});
        }
        if (result.firstInput.empty() && saved) {
            result.firstInput = input.path;
            result.firstOutput = outcome.output;
            result.firstTickSpeed = outcome.tickSpeed;
        }
    };
    RunCollection(commandLine, texts, RunObserver{reportedFile, progress, stop});
    return result;
}

} // namespace korvane
