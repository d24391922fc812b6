#pragma once

#include <cstdint>

namespace korvane {

// What a pass repaired in one file, counted per event or chunk as the repairs happen.
struct RepairCounts {
    uint64_t tracksClosed = 0;     // tracks that ended without End of Track and got one
    uint64_t eventsDropped = 0;    // events cut short by the end of their track
    uint64_t chunksCutShort = 0;   // chunks (or a last chunk header) cut short by the file's end
    uint64_t chunksCopied = 0;     // chunks other than the header and tracks, copied unchanged
    uint64_t noteOffsInserted = 0; // Note Offs the stuck-note repair inserted
    uint64_t temposClamped = 0;    // scaled tempos held to 1..0xFFFFFF (keeping the bars)

    // Whether anything was repaired: a clamped tempo is an adjustment's limit, not a repair.
    bool Any() const {
        return (tracksClosed | eventsDropped | chunksCutShort | chunksCopied | noteOffsInserted) !=
               0;
    }
};

} // namespace korvane
