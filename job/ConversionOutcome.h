#pragma once

#include "job/JobMessage.h"
#include "midi/NoteGain.h"
#include "midi/RepairCounts.h"
#include "platform/TempOutput.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

enum class ConversionStatus {
    Completed,
    Failed,    // message says what failed, reason why where the system told
    TooLarge,  // OutputTo::Memory: the output would pass the memory limit
    Cancelled, // the cancel flag stopped a save pass
};

// What one conversion did.
struct ConversionOutcome {
    ConversionStatus status = ConversionStatus::Failed;
    JobMessage message = JobMessage::None;
    std::string reason; // the system's reason, where there is one
    RepairCounts repairs;
    uint64_t bytesIn = 0;  // the input file's length
    uint64_t bytesOut = 0; // the bytes written
    // With a peak: the loudest Note On of the mapped channels, as read, and the gain it set.
    unsigned loudestNoteOn = 0;
    NoteGain gain;
    int tickSpeed = 100; // the speed the ticks were scaled by; 100 where the tempo was instead
    std::vector<uint8_t> levels;      // ConversionRequest::keepLevels
    std::vector<uint8_t> noteOnMarks; // with a peak, beside the levels (MidiEngine::m_noteOnMarks)
    std::vector<uint8_t> bytes;       // OutputTo::Memory
    // OutputTo::File with deferCommit: the finished output, written but not yet durable or named.
    TempOutput pending;

    bool Completed() const { return status == ConversionStatus::Completed; }
};

} // namespace korvane
