#pragma once

#include "ui/FileCollection.h"

namespace korvane {

// The window's runs over several files: gathered by the rules of a folder run and converted by
// the same collection run as the command line's, each output beside its input.
class WindowCollection : public FileCollection {
  public:
    std::vector<std::string> Gather(const std::vector<std::string>& paths) const override;
    Result Save(const std::vector<std::string>& paths, const Adjustments& adjustments,
                const LanguageTexts& texts, const Progress& progress,
                const Stop& stop) const override;
};

} // namespace korvane
