#pragma once

#include "midi/RepairCounts.h"

#include <cstdint>

namespace korvane {

// The report's name of each repair count, in the report's order. Vendor chunks copied whole
// are no repair: the report gives them apart, as chunks_kept.
struct RepairField {
    const char* key;
    uint64_t RepairCounts::*count;
};

inline constexpr RepairField kRepairFields[] = {
    {"tracks_closed", &RepairCounts::tracksClosed},
    {"events_dropped", &RepairCounts::eventsDropped},
    {"chunks_cut_short", &RepairCounts::chunksCutShort},
    {"note_offs_inserted", &RepairCounts::noteOffsInserted},
    {"headers_cut", &RepairCounts::headersCut},
    {"track_lengths_repaired", &RepairCounts::trackLengthsRepaired},
    {"junk_bytes_dropped", &RepairCounts::junkBytesDropped},
    {"track_counts_patched", &RepairCounts::trackCountsPatched},
    {"leading_bytes_dropped", &RepairCounts::leadingBytesDropped},
    {"stray_bytes_dropped", &RepairCounts::strayBytesDropped},
    {"events_broken_off", &RepairCounts::eventsBrokenOff},
    {"system_events_dropped", &RepairCounts::systemEventsDropped},
    {"meta_events_dropped", &RepairCounts::metaEventsDropped},
    {"track_ids_repaired", &RepairCounts::trackIdsRepaired},
    {"deltas_too_long", &RepairCounts::deltasTooLong},
    {"tempos_clamped", &RepairCounts::temposClamped},
};

} // namespace korvane
