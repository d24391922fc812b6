#pragma once

#include "midi/MidiEngine.h"
#include "tests/midi/MemorySink.h"

#include <algorithm>
#include <memory>

namespace korvane {

struct WalkResult {
    Bytes written;
    Bytes levels;
    int64_t trackBytes;
};

// One track walked by a fresh engine with the given adjustments.
inline WalkResult Walk(const Adjustments& adjustments, const Bytes& input, bool save = true) {
    MidiEngine engine;
    MemorySink sink;
    engine.BeginPass(adjustments, save ? &sink : nullptr);
    // A copy on the heap of exactly the input's size lets ASan catch any read past the end.
    const std::unique_ptr<uint8_t[]> data(new uint8_t[input.size()]);
    std::copy(input.begin(), input.end(), data.get());
    engine.WalkTrack(data.get(), static_cast<uint32_t>(input.size()));
    engine.EndPass();
    return {sink.bytes, engine.m_levels, engine.TrackBytes()};
}

} // namespace korvane
