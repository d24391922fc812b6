#pragma once

#include "platform/BackgroundWriter.h"
#include "platform/BufferedFileException.h"
#include "platform/ByteSink.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace korvane {

// A buffered file with the subset of operations Korvane uses. Writes collect in a buffer that
// is flushed before any seek, so the file ends up holding exactly the bytes an unbuffered file
// would hold. A full buffer is written on a background thread while the next one fills; every
// other operation waits for it first. Every failure after Open raises BufferedFileException, a
// failed background write at the next call.
class BufferedFile : public ByteSink {
  public:
    enum OpenFlags : unsigned { modeRead = 0x0, modeWrite = 0x1, modeCreate = 0x1000 };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    BufferedFile() = default;
    ~BufferedFile() override;
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    // Returns false when the file cannot be opened; modeRead refuses anything but a regular file.
    bool Open(const std::string& path, unsigned flags);
    // Takes over an already open descriptor (a temporary file made for an atomic save).
    void Attach(int fd, const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }

    size_t Read(void* buffer, size_t count);
    // Reads at offset without moving the position, so another thread may read the same file
    // meanwhile; fewer bytes than asked for only at the end of the file.
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) const;
    void Write(const void* data, size_t count) {
        // Most writes are small (chunk frames, the writer's blocks) and fit: one copy, no call.
        if (count < kBufferSize - m_used && m_buffer.size() == kBufferSize) {
            std::memcpy(m_buffer.data() + m_used, data, count);
            m_used += count;
            return;
        }
        WriteAcross(data, count);
    }
    void Write(const uint8_t* data, size_t count) override {
        Write(static_cast<const void*>(data), count);
    }
    // The rest of the buffer, after handing it to the background writer when less than count
    // bytes are left in it.
    std::span<uint8_t> Room(size_t count) override;
    void Commit(size_t count) override {
        m_used += count;
        if (m_used == kBufferSize) {
            SubmitBuffer();
        }
    }
    uint64_t Seek(int64_t offset, SeekPosition from);
    // Overwrites bytes already written (a length field) and keeps the position. Bytes still in
    // the buffer are replaced there, so a patch costs no system call and no early write.
    void Patch(uint64_t position, const void* data, size_t count);
    uint64_t GetPosition() const;
    uint64_t GetLength() const;
    void Close();
    // Closes without flushing or raising: used when a pass is abandoned.
    void Abort();

    // The output buffer; the background writer holds a second one while it writes the first.
    static constexpr size_t kBufferSize = 1 << 20;

  private:
    bool OpenForReading(const std::string& path);
    // Writes through the buffer, handing each one that fills to the background writer.
    void WriteAcross(const void* data, size_t count);
    // False when no thread can be started for the background writer.
    bool StartBackground();
    // Hands the buffer, full or not, to the background writer and takes an empty one; writes
    // it here when there is no background writer.
    void SubmitBuffer();
    // Waits for the background writer; raises its failure.
    void Drain();
    void Flush();
    [[noreturn]] void Fail(const char* operation) const;
    template <typename ReadSome> size_t ReadFully(size_t count, ReadSome readSome) const;
    // A failed write: what is buffered is dropped, the failure raised with its cause.
    [[noreturn]] void FailWrite(int error);

    int m_fd = -1;
    std::string m_path;
    uint64_t m_position = 0; // position of the first buffered byte
    AlignedBytes m_buffer;   // full size once written to; m_used bytes hold data
    size_t m_used = 0;
    std::unique_ptr<BackgroundWriter> m_background; // started by the first full buffer
};

} // namespace korvane
