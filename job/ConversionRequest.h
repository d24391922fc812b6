#pragma once

#include "midi/Adjustments.h"

#include <atomic>
#include <cstddef>
#include <string>

namespace korvane {

class PassOutput;

// Where a pass's output goes.
enum class OutputTo {
    Nothing, // a load pass: every track is walked, nothing is written
    File,    // a save pass into outputPath, replacing it only once the pass has completed
    Memory,  // a save pass into memory, for the preview
    Given,   // a save pass into the caller's own output
};

// Everything one conversion is asked with: the caller has its values before it asks.
struct ConversionRequest {
    std::string inputPath{};
    std::string outputPath{}; // OutputTo::File
    Adjustments adjustments{};
    OutputTo output = OutputTo::Nothing;
    // The levels for the plot, one byte each; a caller that draws none saves their memory.
    bool keepLevels = false;
    // OutputTo::File: leave the finished output unsynced and unnamed, for a run that makes many
    // outputs durable together.
    bool deferCommit = false;
    // OutputTo::File: an output that is a symbolic link is refused instead of saved through. A
    // name Korvane derived itself may be a link planted beside the inputs, leading anywhere.
    bool refuseOutputLink = false;
    // OutputTo::Memory: the bytes the output may take.
    size_t memoryLimit = 0;
    // OutputTo::Given: where the pass writes.
    PassOutput* given = nullptr;
    // A save pass stops soon after this is set, leaving no file behind.
    const std::atomic<bool>* cancel = nullptr;
};

} // namespace korvane
