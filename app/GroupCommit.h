#pragma once

#include "platform/TempOutput.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace korvane {

// Makes finished outputs durable together and gives them their names: every output's data is
// sent to the disk at once and then synced, then each output is linked and renamed over its
// name, then each of their folders is synced once. Every name holds its earlier file or the
// complete new one, whenever the machine stops. An output alone is synced by itself.
class GroupCommit {
  public:
    // Opens the outputs' folders and syncs the outputs.
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
    // Syncs every output's data; m_synced tells which succeeded.
    void SyncTogether();
    // A descriptor of the output's folder; -1 when it could not be opened.
    int FolderOf(const TempOutput& output) const;

    std::vector<TempOutput*> m_outputs;
    std::vector<char> m_synced; // the output's data is on disk (written from several threads)
    std::map<std::string, int> m_folders;
    std::set<int> m_folderSyncOnly; // folders on FUSE mounts: synced once, files not one by one
};

} // namespace korvane
