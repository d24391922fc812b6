#pragma once

#include <cstddef>
#include <cstdint>

namespace korvane {

// Where the engine's output bytes go: a file in a save pass, memory in tests and benchmarks.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void Write(const uint8_t* data, size_t count) = 0;
};

} // namespace korvane
