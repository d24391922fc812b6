#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace korvane {

// Where the engine's output bytes go: a file in a save pass, memory in tests and benchmarks.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void Write(const uint8_t* data, size_t count) = 0;
    // Room of count bytes or more in the sink's own buffer, for a writer to fill in place and
    // hand over with Commit, which saves the copy Write makes. Empty where the sink keeps no
    // buffer: the writer then collects the bytes itself and calls Write. Until the Commit,
    // nothing else is written to the sink.
    virtual std::span<uint8_t> Room(size_t count) {
        static_cast<void>(count);
        return {};
    }
    // The first count bytes of the room last given hold data.
    virtual void Commit(size_t count) { static_cast<void>(count); }
};

} // namespace korvane
