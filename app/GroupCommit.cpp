#include "app/GroupCommit.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace korvane {
namespace {
// Syncs at once: enough for the file system to gather them into a few commits.
constexpr size_t kSyncThreads = 16;
} // namespace

GroupCommit::GroupCommit(const std::vector<TempOutput*>& outputs)
    : m_outputs(outputs), m_synced(outputs.size(), 0) {
    if (outputs.size() == 1) {
        return; // a file of its own is synced by itself
    }
    for (const TempOutput* output : outputs) {
        const std::string folder = FolderPart(output->FinalPath());
        if (m_folders.count(folder) == 0) {
            const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            m_folders[folder] = fd;
            if (fd >= 0 && OnFuseMount(fd)) {
                m_folderSyncOnly.insert(fd);
            }
        }
    }
    SyncTogether();
}

void GroupCommit::SyncTogether() {
    // Only the group's own files are synced, never the whole file system with whatever else is
    // being written there. Every file's write-back is started first; then syncs run on several
    // threads at once, which the file system serves with shared journal commits and disk
    // flushes, instead of one each.
    // On a FUSE mount each sync waits alone in the daemon's queue and flushes the whole device
    // there (7 ms a file on an exFAT stick): its files are made durable by the one sync of their
    // folder after the renames instead, which reaches as far as that daemon lets anything reach.
    for (size_t i = 0; i < m_outputs.size(); ++i) {
        m_synced[i] = m_folderSyncOnly.count(FolderOf(*m_outputs[i])) == 1 ? 1 : 0;
        if (!m_synced[i]) {
            m_outputs[i]->StartWriteBack();
        }
    }
    std::atomic<size_t> next{0};
    const auto syncSome = [this, &next] {
        for (size_t i = next++; i < m_outputs.size(); i = next++) {
            if (!m_synced[i]) {
                m_synced[i] = m_outputs[i]->SyncData() ? 1 : 0;
            }
        }
    };
    std::vector<std::thread> threads;
    for (size_t i = 1; i < std::min(kSyncThreads, m_outputs.size()); ++i) {
        try {
            threads.emplace_back(syncSome);
        } catch (const std::system_error&) {
            break; // at a process limit: fewer syncs at once
        }
    }
    syncSome();
    for (std::thread& thread : threads) {
        thread.join();
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
    if (FolderOf(output) < 0 || !m_synced[i]) {
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
