#pragma once

#include <cstdint>

namespace korvane {

// What a pass repaired in one file, counted per event or chunk as the repairs happen.
struct RepairCounts {
    uint64_t tracksClosed = 0;     // tracks that ended without End of Track and got one
    uint64_t eventsDropped = 0;    // events cut short by the end of their track
    uint64_t chunksCutShort = 0;   // chunks (or a last chunk header) cut short by the file's end
    uint64_t chunksCopied = 0;     // chunks other than the header and tracks, copied unchanged
    uint64_t noteOffsInserted = 0; // Note Offs that released a key still sounding
    uint64_t headersCut = 0;       // headers whose length reached past a track, cut to 6 bytes
    uint64_t trackLengthsRepaired = 0; // tracks read to their real end past a wrong length
    uint64_t junkBytesDropped = 0;     // bytes that were no chunk or no event, dropped
    uint64_t trackCountsPatched = 0;   // headers whose track count was not the tracks written
    uint64_t leadingBytesDropped = 0;  // bytes before the header (a MacBinary header), dropped
    uint64_t strayBytesDropped = 0;    // data bytes where an event had no status to run on
    uint64_t eventsBrokenOff = 0;      // events whose data held a status byte
    uint64_t systemEventsDropped = 0;  // system messages that have no place in a file
    uint64_t metaEventsDropped = 0;    // meta events too short for what their kind holds
    uint64_t trackIdsRepaired = 0;     // tracks whose ID was "MTrk" in another letter case
    uint64_t deltasTooLong = 0;        // delta times read above the largest a file holds
    uint64_t temposClamped = 0;        // scaled tempos held to 1..0xFFFFFF (keeping the bars)

    bool operator==(const RepairCounts&) const = default;

    // Whether anything was mended: vendor chunks copied whole are no repair, and a clamped
    // tempo is an adjustment's limit.
    bool Any() const {
        return (tracksClosed | eventsDropped | chunksCutShort | noteOffsInserted | headersCut |
                trackLengthsRepaired | junkBytesDropped | trackCountsPatched | leadingBytesDropped |
                strayBytesDropped | eventsBrokenOff | systemEventsDropped | metaEventsDropped |
                trackIdsRepaired | deltasTooLong) != 0;
    }
};

} // namespace korvane
