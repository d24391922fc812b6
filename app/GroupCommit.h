#pragma once

#include "platform/TempOutput.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace korvane {

// Makes finished outputs durable together and gives them their names: their file systems are
// synced once (not once per file), then each output is linked and renamed over its name, then
// each of their folders is synced once. Every name holds its earlier file or the complete new
// one, whenever the machine stops. An output alone is synced by itself.
class GroupCommit {
  public:
    // Opens the outputs' folders and syncs their file systems.
    explicit GroupCommit(const std::vector<TempOutput*>& outputs);
    ~GroupCommit();
    GroupCommit(const GroupCommit&) = delete;
    GroupCommit& operator=(const GroupCommit&) = delete;

    // Gives output i its name; false when it has none.
    bool Name(size_t i);
    // Makes the new names durable; returns, for each output in order, whether its folder was
    // synced (true for an output that was not named).
    std::vector<bool> SyncFolders();

  private:
    // A descriptor of the output's folder; -1 when it could not be opened.
    int FolderOf(const TempOutput& output) const;

    std::vector<TempOutput*> m_outputs;
    std::map<std::string, int> m_folders;
    std::set<int> m_unsynced; // folders whose file system could not be synced
};

} // namespace korvane
