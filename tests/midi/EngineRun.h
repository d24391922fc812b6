#pragma once

#include "MemorySink.h"
#include "MidiEngine.h"

#include <algorithm>
#include <memory>

struct Settings {
    int dynamicRange = 500;
    int volume = 500;
    int speedPercent = 100;
    bool repair = false;
};

struct WalkResult {
    Bytes written;
    Bytes levels;
    int64_t trackBytes;
};

// One track walked by a fresh engine with the given settings.
inline WalkResult Walk(const Settings& settings, const Bytes& input, bool save = true) {
    MidiEngine engine;
    engine.m_dynamicRange = settings.dynamicRange;
    engine.m_volume = settings.volume;
    engine.m_speedPercent = settings.speedPercent;
    engine.m_eliminateStuckNotes = settings.repair;
    MemorySink sink;
    engine.BeginPass(save, &sink);
    // A copy on the heap of exactly the input's size lets ASan catch any read past the end.
    const std::unique_ptr<uint8_t[]> data(new uint8_t[input.size()]);
    std::copy(input.begin(), input.end(), data.get());
    engine.WalkTrack(data.get(), static_cast<uint32_t>(input.size()));
    engine.EndPass();
    return {sink.bytes, engine.m_levels, engine.TrackBytes()};
}
