#pragma once

#include "job/JobMessage.h"
#include "midi/RepairCounts.h"
#include "platform/TempOutput.h"

#include <cstdint>
#include <optional>
#include <string>

namespace korvane {

// Checked: read as a conversion would read it, nothing written (--check).
enum class FileStatus { Converted, Failed, Skipped, Checked };

// What became of one input of a run, as it is printed and reported.
struct FileOutcome {
    FileStatus status = FileStatus::Failed;
    std::string output;                  // empty for a folder that could not be read
    std::optional<std::string> message;  // in the profile's language
    std::string reason;                  // the system's reason, where there is one
    JobMessage error = JobMessage::None; // reported as its stable code (ErrorCode)
    std::optional<uint64_t> bytesIn;
    std::optional<uint64_t> bytesOut;
    RepairCounts repairs;
    std::optional<double> gain; // the gain --peak put on the velocities, to four decimals
    int tickSpeed = 100; // the speed the ticks were scaled by; 100 where the tempo was instead
    // A converted file's output, complete but not yet durable and named: a run commits the
    // outputs of many files together before it reports them.
    TempOutput pending;
    // A stop cancelled the conversion half-way: the run neither commits nor reports it.
    bool abandoned = false;
};

} // namespace korvane
