#pragma once

#include <optional>
#include <string>

namespace korvane {

// Makes the folders outputs go into below the output folder, with their parents, as a run
// needs them, and keeps every output inside that folder: a link found on the way (a folder
// or the output itself) may not lead out of it. Consecutive outputs mostly share a folder, so
// the last one made and checked is remembered.
class OutputFolders {
  public:
    explicit OutputFolders(std::string root) : m_root(std::move(root)) {}

    // Why the output may not be saved: its folder is not there and cannot be made, or the
    // output would land outside the output folder; nothing when it may.
    std::optional<std::string> Prepare(const std::string& output);

  private:
    // True when path (links followed) is the output folder or lies below it.
    bool Inside(const std::string& path);

    const std::string m_root;
    std::optional<std::string> m_realRoot;
    std::string m_lastMade;
};

} // namespace korvane
