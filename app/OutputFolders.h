#pragma once

#include <string>

namespace korvane {

// Makes the folders outputs go into, with their parents, as a run needs them. Consecutive
// outputs mostly share a folder, so the last one made is remembered.
class OutputFolders {
  public:
    // False when folder is not there and cannot be made.
    bool Ensure(const std::string& folder);

  private:
    std::string m_lastMade;
};

} // namespace korvane
