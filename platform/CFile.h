#pragma once

#include "platform/BackgroundWriter.h"
#include "platform/ByteSink.h"
#include "platform/CFileException.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korvane {

// A buffered file with the subset of operations Korvane uses. Writes collect in a buffer that
// is flushed before any seek, so the file ends up holding exactly the bytes an unbuffered file
// would hold. A full buffer is written on a background thread while the next one fills; every
// other operation waits for it first. Every failure after Open raises CFileException, a failed
// background write at the next call.
class CFile : public ByteSink {
  public:
    enum OpenFlags : unsigned { modeRead = 0x0, modeWrite = 0x1, modeCreate = 0x1000 };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Returns false when the file cannot be opened; modeRead refuses anything but a regular file.
    bool Open(const std::string& path, unsigned flags);
    // Takes over an already open descriptor (a temporary file made for an atomic save).
    void Attach(int fd, const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }

    size_t Read(void* buffer, size_t count);
    void Write(const void* data, size_t count);
    void Write(const uint8_t* data, size_t count) override {
        Write(static_cast<const void*>(data), count);
    }
    uint64_t Seek(int64_t offset, SeekPosition from);
    uint64_t GetPosition() const;
    uint64_t GetLength() const;
    // Makes the written bytes durable before an atomic rename.
    void Sync();
    void Close();
    // Closes without flushing or raising: used when a pass is abandoned.
    void Abort();

  private:
    bool OpenForReading(const std::string& path);
    // Hands the full buffer to the background writer and takes an empty one.
    void SubmitBuffer();
    // Waits for the background writer; raises its failure.
    void Drain();
    void Flush();
    [[noreturn]] void Fail(const char* operation) const;
    // A failed write: what is buffered is dropped, the failure raised with its cause.
    [[noreturn]] void FailWrite(int error);

    int m_fd = -1;
    std::string m_path;
    uint64_t m_position = 0; // position of the first buffered byte
    std::vector<uint8_t> m_buffer;
    std::unique_ptr<BackgroundWriter> m_background; // started by the first full buffer
};

} // namespace korvane
