#include "app/GroupCommit.h"

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {
// The folders of a group, each opened once; closed at the end.
class GroupFolders {
  public:
    explicit GroupFolders(const std::vector<TempOutput*>& outputs) {
        for (const TempOutput* output : outputs) {
            const std::string folder = FolderPart(output->FinalPath());
            if (m_folders.count(folder) == 0) {
                m_folders[folder] = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            }
        }
    }
    ~GroupFolders() {
        for (const auto& [folder, fd] : m_folders) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    GroupFolders(const GroupFolders&) = delete;
    GroupFolders& operator=(const GroupFolders&) = delete;

    // A descriptor of the output's folder; -1 when it could not be opened.
    int FolderOf(const TempOutput& output) const {
        return m_folders.at(FolderPart(output.FinalPath()));
    }

    // Writes back everything written to the file systems the folders are on, each once.
    // Returns the folders whose file system could not be synced.
    std::set<int> SyncFileSystems() const {
        std::map<dev_t, std::vector<int>> byDevice;
        for (const auto& [folder, fd] : m_folders) {
            struct stat st {};
            if (fd >= 0 && ::fstat(fd, &st) == 0) {
                byDevice[st.st_dev].push_back(fd);
            }
        }
        std::set<int> failed;
        for (const auto& [device, fds] : byDevice) {
            if (::syncfs(fds.front()) != 0) {
                failed.insert(fds.begin(), fds.end());
            }
        }
        return failed;
    }

    // Makes the new names durable; returns the folders that could not be synced.
    std::set<int> SyncFolders() const {
        std::set<int> failed;
        for (const auto& [folder, fd] : m_folders) {
            if (fd >= 0 && ::fsync(fd) != 0 && errno != EINVAL) {
                failed.insert(fd);
            }
        }
        return failed;
    }

  private:
    std::map<std::string, int> m_folders;
};
} // namespace

std::vector<bool> CommitTogether(const std::vector<TempOutput*>& outputs) {
    if (outputs.size() == 1) {
        return {outputs.front()->Commit()}; // a file of its own is synced by itself
    }
    const GroupFolders folders(outputs);
    const std::set<int> unsynced = folders.SyncFileSystems();
    std::vector<bool> named(outputs.size(), false);
    for (size_t i = 0; i < outputs.size(); ++i) {
        TempOutput& output = *outputs[i];
        const int folder = folders.FolderOf(output);
        if (folder < 0 || unsynced.count(folder) > 0) {
            named[i] = output.Commit(); // synced on its own, or failing with its own cause
        } else {
            named[i] = output.LinkIntoName() && output.RenameOverOutput();
        }
    }
    const std::set<int> unsaved = folders.SyncFolders();
    for (size_t i = 0; i < outputs.size(); ++i) {
        named[i] = named[i] && unsaved.count(folders.FolderOf(*outputs[i])) == 0;
    }
    return named;
}

} // namespace korvane
