#include "platform/TempOutput.h"

#include "platform/FileSystem.h"
#include "platform/SignalCleanup.h"
#include "platform/StaleTemporaries.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace korvane {
namespace {
std::atomic<bool> g_forceNamed{false};

constexpr int kNameAttempts = 100;
// Readable by nobody else while it is written: an existing output may be private.
constexpr mode_t kPrivateMode = 0600;

int LinkByDescriptor(int fd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return 0;
    }
    const int error = errno;
    if (error != ENOENT || ::access("/proc/self/fd", F_OK) == 0) {
        return error;
    }
    // Without /proc; this way needs the privilege to open files by handle.
    return ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}
} // namespace

void TempOutput::ForceNamed(bool named) {
    g_forceNamed.store(named);
}

TempOutput::TempOutput(int fd, std::string finalPath, mode_t newFileMode)
    : m_fd(fd), m_finalPath(std::move(finalPath)), m_newFileMode(newFileMode) {}

TempOutput::TempOutput(TempOutput&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_finalPath(std::move(other.m_finalPath)),
      m_namePath(std::exchange(other.m_namePath, {})), m_newFileMode(other.m_newFileMode),
      m_mode(other.m_mode), m_signalSlot(std::exchange(other.m_signalSlot, -1)) {}

TempOutput& TempOutput::operator=(TempOutput&& other) noexcept {
    if (this != &other) {
        Discard();
        m_fd = std::exchange(other.m_fd, -1);
        m_finalPath = std::move(other.m_finalPath);
        m_namePath = std::exchange(other.m_namePath, {});
        m_newFileMode = other.m_newFileMode;
        m_mode = other.m_mode;
        m_signalSlot = std::exchange(other.m_signalSlot, -1);
    }
    return *this;
}

TempOutput::~TempOutput() {
    Discard();
}

void TempOutput::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_namePath.empty()) {
        ::unlink(m_namePath.c_str());
    }
    ForgetName();
}

TempOutput TempOutput::Create(const std::string& finalPath, OutputThere there) {
    if (finalPath.empty() || finalPath.back() == '/') {
        return {};
    }
    TempOutput temp(-1, finalPath, 0);
    RemoveStaleTemporaries(FolderPart(finalPath));
    if (!g_forceNamed.load()) {
        temp.m_fd = ::open(FolderPart(finalPath).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    }
    // Where the file system refuses unnamed files, the named one stands in.
    if (temp.m_fd < 0 && !temp.CreateNamed()) {
        return {};
    }
    return temp.TakeMode(there == OutputThere::Maybe) ? std::move(temp) : TempOutput();
}

bool TempOutput::TakeMode(bool makePrivate) {
    // Taken from the file just made (umask and default ACLs applied) instead of changing the
    // process's umask under other threads.
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        return false;
    }
    m_newFileMode = st.st_mode & 07777;
    m_mode = m_newFileMode;
    if (!makePrivate || m_mode == kPrivateMode) {
        return true;
    }
    m_mode = kPrivateMode;
    return ::fchmod(m_fd, kPrivateMode) == 0;
}

template <typename MakeName> bool TempOutput::TakeHiddenName(MakeName makeName) {
    const std::string folder = FolderPart(m_finalPath);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        // Armed before the name exists, so that no signal can leave it behind.
        if (!ArmName(HiddenTemporaryName(folder))) {
            return false;
        }
        const int error = makeName();
        if (error == 0) {
            return true;
        }
        ForgetName();
        if (error != EEXIST) {
            return false;
        }
    }
    return false;
}

bool TempOutput::CreateNamed() {
    return TakeHiddenName([this] {
        m_fd =
            ::open(m_namePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        return m_fd >= 0 ? 0 : errno;
    });
}

bool TempOutput::ArmName(std::string namePath) {
    m_signalSlot = ArmRemovalOnSignal(namePath);
    if (m_signalSlot < 0) {
        return false;
    }
    m_namePath = std::move(namePath);
    return true;
}

void TempOutput::ForgetName() {
    m_namePath.clear();
    DisarmRemovalOnSignal(std::exchange(m_signalSlot, -1));
}

int TempOutput::OpenWriter() const {
    return ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
}

int TempOutput::OpenReader() const {
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    return m_fd < 0 ? -1 : ::open(self.c_str(), O_RDONLY | O_CLOEXEC);
}

void TempOutput::StartWriteBack() const {
    // Only a hint: the sync that follows reports any real failure.
    ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool TempOutput::SyncData() {
    return ::fsync(m_fd) == 0 || errno == EINVAL;
}

bool TempOutput::LinkIntoName() {
    struct stat st {};
    const mode_t mode =
        ::stat(m_finalPath.c_str(), &st) == 0 ? (st.st_mode & 07777) : m_newFileMode;
    // Unchanged modes cost no call: each is a round trip on a network share or FUSE mount.
    if (mode != m_mode && ::fchmod(m_fd, mode) != 0) {
        return false;
    }
    m_mode = mode;
    if (!m_namePath.empty()) {
        return true; // the named temporary has its name already
    }
    return TakeHiddenName([this] { return LinkByDescriptor(m_fd, m_namePath); });
}

bool TempOutput::RenameOverOutput() {
    if (m_namePath.empty() || ::rename(m_namePath.c_str(), m_finalPath.c_str()) != 0) {
        return false;
    }
    ForgetName();
    return true;
}

bool TempOutput::SyncFolder() {
    const int folder = ::open(FolderPart(m_finalPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return false;
    }
    const bool synced = ::fsync(folder) == 0 || errno == EINVAL;
    ::close(folder);
    return synced;
}

bool TempOutput::Commit() {
    return SyncData() && LinkIntoName() && RenameOverOutput() && SyncFolder();
}

} // namespace korvane
