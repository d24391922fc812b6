#pragma once

#include "platform/ByteSink.h"

#include <span>
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

// Offers room in its own bytes, as the file output does, room of exactly the size asked for.
struct RoomSink : MemorySink {
    void Write(const uint8_t* data, size_t count) override {
        bytes.resize(committed);
        MemorySink::Write(data, count);
        committed = bytes.size();
    }
    std::span<uint8_t> Room(size_t count) override {
        bytes.resize(committed + count);
        return {bytes.data() + committed, count};
    }
    void Commit(size_t count) override {
        committed += count;
        bytes.resize(committed);
    }
    size_t committed = 0;
};

} // namespace korvane
