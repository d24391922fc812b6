#pragma once

#include <string>
#include <sys/types.h>

namespace korvane {

// The file a save writes before it takes the place of its output. Where the file system allows,
// it has no name until it is complete, so a save interrupted by any means leaves nothing behind;
// elsewhere it has a hidden name (platform/StaleTemporaries.h) that SIGINT, SIGTERM and SIGHUP
// remove, and that a later run removes when a killed run left it.
// Its steps, in order: write (through a descriptor from OpenWriter), SyncData, LinkIntoName,
// RenameOverOutput, SyncFolder. Destroyed before RenameOverOutput, it leaves no file.
class TempOutput {
  public:
    TempOutput() = default;
    TempOutput(TempOutput&& other) noexcept;
    TempOutput& operator=(TempOutput&& other) noexcept;
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;
    ~TempOutput();

    // Whether a file may hold the output's name already: one that may be private, so that the
    // temporary is kept private while it is written.
    enum class OutputThere { Maybe, No };

    // Makes the temporary in the folder of finalPath, which is where RenameOverOutput puts it;
    // IsValid is false when it cannot be made.
    static TempOutput Create(const std::string& finalPath, OutputThere there = OutputThere::Maybe);

    // Tests use this to try the named temporary on file systems that allow unnamed ones.
    static void ForceNamed(bool named);

    bool IsValid() const { return m_fd >= 0; }
    // The hidden name the file has now; empty while it has none.
    const std::string& NamePath() const { return m_namePath; }
    // The output it takes the place of, links followed.
    const std::string& FinalPath() const { return m_finalPath; }

    // A descriptor for writing, owned by the caller; -1 on failure.
    int OpenWriter() const;
    // A descriptor for reading what was written, owned by the caller; -1 on failure.
    int OpenReader() const;
    // Starts the disk writing the file without waiting, so that a group's syncs overlap.
    void StartWriteBack() const;
    bool SyncData();
    // Gives the file the final permissions and a hidden name beside the output.
    bool LinkIntoName();
    bool RenameOverOutput();
    // Makes the new name durable.
    bool SyncFolder();
    // The four steps after writing, in order; false at the first that fails.
    bool Commit();

  private:
    TempOutput(int fd, std::string finalPath, mode_t newFileMode);
    // Learns the mode a new file gets here; makes the file private when asked.
    bool TakeMode(bool makePrivate);
    // Makes the hidden named temporary where unnamed ones are refused.
    bool CreateNamed();
    // Tries hidden names beside the output until makeName (0 or an errno value) takes one that
    // is free; each is armed for removal on a signal before it exists.
    template <typename MakeName> bool TakeHiddenName(MakeName makeName);
    // Records the hidden name for removal on a signal.
    bool ArmName(std::string namePath);
    // The file no longer has the hidden name (renamed, removed or never made).
    void ForgetName();
    void Discard();

    int m_fd = -1;
    std::string m_finalPath;
    std::string m_namePath; // empty while the file has no name of its own
    mode_t m_newFileMode = 0;
    mode_t m_mode = 0; // the mode the file has now
    int m_signalSlot = -1;
};

} // namespace korvane
