#pragma once

#include "job/PassOutput.h"
#include "platform/BufferedFile.h"

#include <atomic>

namespace korvane {

// A save pass's output in a file.
class FileOutput : public PassOutput {
  public:
    explicit FileOutput(BufferedFile& file) : m_file(file) {}

    // The pass stops at the next block once cancel is set; nullptr: it is never cancelled.
    void CancelOn(const std::atomic<bool>* cancel) { m_cancel = cancel; }

    void Write(const uint8_t* data, size_t count) override {
        StopIfCancelled();
        m_file.Write(data, count);
    }
    std::span<uint8_t> Room(size_t count) override {
        StopIfCancelled();
        return m_file.Room(count);
    }
    void Commit(size_t count) override { m_file.Commit(count); }
    uint64_t Position() override { return m_file.GetPosition(); }
    void Overwrite(uint64_t position, const uint8_t* data, size_t count) override {
        m_file.Patch(position, data, count);
    }

  private:
    void StopIfCancelled() const {
        if (m_cancel != nullptr && m_cancel->load(std::memory_order_relaxed)) {
            throw Cancelled{};
        }
    }

    BufferedFile& m_file;
    const std::atomic<bool>* m_cancel = nullptr;
};

} // namespace korvane
