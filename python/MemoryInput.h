#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvane {

// Bytes handed over in memory, as an unnamed file in memory (memfd) that the job opens by a
// path like any input: it reads them through its window as it reads a file on disk.
class MemoryInput {
  public:
    MemoryInput() = default;
    MemoryInput(const MemoryInput&) = delete;
    MemoryInput& operator=(const MemoryInput&) = delete;
    ~MemoryInput();

    // Copies count bytes; false with errno set when the file cannot be made or written.
    bool Take(const uint8_t* data, size_t count);
    // The path that opens the copy; empty until Take succeeded.
    std::string Path() const;

  private:
    int m_fd = -1;
};

} // namespace korvane
