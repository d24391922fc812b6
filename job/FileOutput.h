#pragma once

#include "job/PassOutput.h"
#include "platform/BufferedFile.h"

namespace korvane {

// A save pass's output in a file.
class FileOutput : public PassOutput {
  public:
    explicit FileOutput(BufferedFile& file) : m_file(file) {}

    void Write(const uint8_t* data, size_t count) override { m_file.Write(data, count); }
    std::span<uint8_t> Room(size_t count) override { return m_file.Room(count); }
    void Commit(size_t count) override { m_file.Commit(count); }
    uint64_t Position() override { return m_file.GetPosition(); }
    void Overwrite(uint64_t position, const uint8_t* data, size_t count) override {
        m_file.Patch(position, data, count);
    }

  private:
    BufferedFile& m_file;
};

} // namespace korvane
