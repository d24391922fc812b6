#pragma once

#include <string>

namespace korvane {

// A temporary file made beside a final path; removed again unless it was committed.
class TempFile {
  public:
    TempFile() = default;
    TempFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&& other) noexcept;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    bool IsValid() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    // Hands the open descriptor to the caller, who then owns closing it; the file stays
    // scheduled for removal until Commit.
    int Release();
    void MarkCommitted() { m_committed = true; }

  private:
    int m_fd = -1;
    std::string m_path;
    bool m_committed = false;
};

// Creates a new private temporary file in the folder of finalPath; invalid on failure.
TempFile CreateTempBeside(const std::string& finalPath);

// Gives the temporary file the permissions a new (or the existing) final file would have and
// renames it over finalPath. Returns false on failure.
bool CommitTemp(const std::string& tempPath, const std::string& finalPath);

// Follows symbolic links at the last component so that saving through a link replaces the
// link's target and keeps the link. Returns path unchanged when it is not a link.
std::string ResolveSymlinks(const std::string& path);

// True when both paths name the same existing file (links followed).
bool SameFile(const std::string& a, const std::string& b);

// The folder part of a path ("." when it has none).
std::string FolderPart(const std::string& path);

} // namespace korvane
