#pragma once

#include <cstdint>

namespace korvane {

// What a pass repaired in one file, counted per event or chunk as the repairs happen. Each
// count's report name, role and wording are declared once, in kRepairKinds below.
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

    // Whether anything was mended: a count of a kind whose role is Repair.
    bool Any() const;
};

// Repair: mends the file. Kept: vendor chunks copied whole, no repair; the report gives them
// apart (chunks_kept). Adjustment: an adjustment's limit (a clamped tempo), reported beside
// the repairs but no repair.
enum class RepairRole { Repair, Kept, Adjustment };

// One kind of count: the report's name (job/RepairFields.h), its role, and for the kinds the
// page names on their own, the page's key and wording ("%1" is the count) in German, English,
// Spanish and French; the page sums the other repairs into one line. The window names no kind.
struct RepairKind {
    uint64_t RepairCounts::*count;
    const char* reportKey;
    RepairRole role;
    const char* pageKey; // nullptr: one of the page's "other repairs"
    const char* pageWording[4];
};

// Every count once, in the report's and the page's order.
inline constexpr RepairKind kRepairKinds[] = {
    {&RepairCounts::tracksClosed,
     "tracks_closed",
     RepairRole::Repair,
     "tracksClosed",
     {"%1 Spuren mit End of Track abgeschlossen", "%1 tracks closed with End of Track",
      "%1 pistas cerradas con End of Track", "%1 pistes fermées par End of Track"}},
    {&RepairCounts::eventsDropped,
     "events_dropped",
     RepairRole::Repair,
     "eventsDropped",
     {"%1 abgeschnittene Ereignisse entfernt", "%1 events cut short dropped",
      "%1 eventos cortados eliminados", "%1 événements tronqués supprimés"}},
    {&RepairCounts::chunksCutShort,
     "chunks_cut_short",
     RepairRole::Repair,
     "chunksCutShort",
     {"%1 abgeschnittene Blöcke gekürzt", "%1 chunks cut short", "%1 bloques cortados",
      "%1 blocs tronqués"}},
    {&RepairCounts::chunksCopied,
     "chunks_kept",
     RepairRole::Kept,
     "chunksCopied",
     {"%1 weitere Blöcke unverändert übernommen", "%1 other chunks kept unchanged",
      "%1 bloques más conservados sin cambios", "%1 autres blocs conservés tels quels"}},
    {&RepairCounts::noteOffsInserted,
     "note_offs_inserted",
     RepairRole::Repair,
     "noteOffsInserted",
     {"%1 Note-Off eingefügt", "%1 Note Offs inserted", "%1 Note Off insertados",
      "%1 Note Off insérés"}},
    {&RepairCounts::headersCut, "headers_cut", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::trackLengthsRepaired,
     "track_lengths_repaired",
     RepairRole::Repair,
     nullptr,
     {}},
    {&RepairCounts::junkBytesDropped, "junk_bytes_dropped", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::trackCountsPatched, "track_counts_patched", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::leadingBytesDropped, "leading_bytes_dropped", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::strayBytesDropped, "stray_bytes_dropped", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::eventsBrokenOff, "events_broken_off", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::systemEventsDropped, "system_events_dropped", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::metaEventsDropped, "meta_events_dropped", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::trackIdsRepaired, "track_ids_repaired", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::deltasTooLong, "deltas_too_long", RepairRole::Repair, nullptr, {}},
    {&RepairCounts::temposClamped, "tempos_clamped", RepairRole::Adjustment, nullptr, {}},
};

// Every count has its row.
static_assert(sizeof(kRepairKinds) / sizeof(kRepairKinds[0]) ==
              sizeof(RepairCounts) / sizeof(uint64_t));

inline bool RepairCounts::Any() const {
    for (const RepairKind& kind : kRepairKinds) {
        if (kind.role == RepairRole::Repair && this->*kind.count != 0) {
            return true;
        }
    }
    return false;
}

} // namespace korvane
