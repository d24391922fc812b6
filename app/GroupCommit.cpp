#include "app/GroupCommit.h"

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

GroupCommit::GroupCommit(const std::vector<TempOutput*>& outputs) : m_outputs(outputs) {
    if (outputs.size() == 1) {
        return; // a file of its own is synced by itself
    }
    for (const TempOutput* output : outputs) {
        const std::string folder = FolderPart(output->FinalPath());
        if (m_folders.count(folder) == 0) {
            m_folders[folder] = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        }
    }
    // Everything written to the file systems the folders are on is written back, each once.
    std::map<dev_t, std::vector<int>> byDevice;
    for (const auto& [folder, fd] : m_folders) {
        struct stat st {};
        if (fd >= 0 && ::fstat(fd, &st) == 0) {
            byDevice[st.st_dev].push_back(fd);
        }
    }
    for (const auto& [device, fds] : byDevice) {
        if (::syncfs(fds.front()) != 0) {
            m_unsynced.insert(fds.begin(), fds.end());
        }
    }
}

GroupCommit::~GroupCommit() {
    for (const auto& [folder, fd] : m_folders) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

int GroupCommit::FolderOf(const TempOutput& output) const {
    const auto found = m_folders.find(FolderPart(output.FinalPath()));
    return found == m_folders.end() ? -1 : found->second;
}

bool GroupCommit::Name(size_t i) {
    TempOutput& output = *m_outputs[i];
    const int folder = FolderOf(output);
    if (folder < 0 || m_unsynced.count(folder) > 0) {
        return output.Commit(); // synced on its own, or failing with its own cause
    }
    return output.LinkIntoName() && output.RenameOverOutput();
}

std::vector<bool> GroupCommit::SyncFolders() {
    std::set<int> failed;
    for (const auto& [folder, fd] : m_folders) {
        if (fd >= 0 && ::fsync(fd) != 0 && errno != EINVAL) {
            failed.insert(fd);
        }
    }
    std::vector<bool> synced;
    for (const TempOutput* output : m_outputs) {
        synced.push_back(failed.count(FolderOf(*output)) == 0);
    }
    return synced;
}

} // namespace korvane
