#pragma once

#include "platform/ByteSink.h"

#include <cstdint>

namespace korvane {

// Where a save pass writes: the engine streams each track into it, and the job writes the
// track's length back into the chunk's frame once the track is complete.
class PassOutput : public ByteSink {
  public:
    // Raised by an output whose pass was cancelled, at the next block the engine hands over.
    struct Cancelled {};

    // The pass expects to write about this many bytes; an output in memory makes room for them.
    virtual void Expect(uint64_t bytes) { static_cast<void>(bytes); }
    virtual uint64_t Position() = 0;
    // Replaces count bytes written earlier at position; later writes go on at the end.
    virtual void Overwrite(uint64_t position, const uint8_t* data, size_t count) = 0;
};

} // namespace korvane
