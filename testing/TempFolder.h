#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// A fresh folder under the system's temporary folder, removed with its contents at the end,
// also where a test left a sub-folder read-only.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::string ReadTextFile(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
// Names in a folder, "." and ".." left out, sorted.
std::vector<std::string> FolderEntries(const std::string& path);

} // namespace korvane
