#pragma once

#include "platform/ByteSink.h"

#include <vector>

namespace korvane {

using Bytes = std::vector<uint8_t>;

// Collects what the engine writes.
struct MemorySink : ByteSink {
    void Write(const uint8_t* data, size_t count) override {
        bytes.insert(bytes.end(), data, data + count);
    }
    Bytes bytes;
};

} // namespace korvane
