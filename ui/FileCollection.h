#pragma once

#include "job/LanguageTable.h"
#include "midi/Adjustments.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What the window asks of the program when it is given several files or folders: the runs over
// collections live above the window, so the program hands it this when it opens it.
class FileCollection {
  public:
    struct Failure {
        std::string path;
        std::string message; // in the language the run was given
        std::string reason;  // the system's reason, where there is one
    };
    struct Result {
        size_t saved = 0;
        size_t repaired = 0; // saved files with at least one repair
        std::vector<Failure> failed;
        // The first file saved and its output: the window previews it when it is the file
        // loaded.
        std::string firstInput;
        std::optional<std::string> firstOutput;
        // The speed its ticks were scaled by, which positions in it carry over with.
        int firstTickSpeed = Adjustments::kSpeedNeutral;
    };
    // Called on the run's thread with how many files in a row from the first have been converted
    // (saved or failed; their outputs written before they are named) and the run's number of
    // files.
    using Progress = std::function<void(size_t converted, size_t total)>;
    // Called on the run's thread several times a second: true stops the run.
    using Stop = std::function<bool()>;

    virtual ~FileCollection() = default;

    // The files the paths hold, in the order a run converts them: files as given, folders
    // walked; folders that cannot be read are left for the run to report.
    virtual std::vector<std::string> Gather(const std::vector<std::string>& paths) const = 0;

    // Converts every file the paths hold, each output beside its input, on the calling thread.
    // A stop abandons the files begun; every file reported is complete.
    virtual Result Save(const std::vector<std::string>& paths, const Adjustments& adjustments,
                        const LanguageTexts& texts, const Progress& progress,
                        const Stop& stop) const = 0;
};

} // namespace korvane
