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

// One kind of count: the report's name (job/RepairFields.h), its role, and the page's wording of
// it ("%1" is the count) in German, English, Spanish and French, for one and for several. The
// window names no kind.
struct RepairKind {
    uint64_t RepairCounts::*count;
    const char* reportKey;
    RepairRole role;
    const char* pageWording[4][2];
};

// Every count once, in the report's and the page's order.
inline constexpr RepairKind kRepairKinds[] = {
    {&RepairCounts::tracksClosed,
     "tracks_closed",
     RepairRole::Repair,
     {{"%1 Spur mit End of Track abgeschlossen", "%1 Spuren mit End of Track abgeschlossen"},
      {"%1 track closed with End of Track", "%1 tracks closed with End of Track"},
      {"%1 pista cerrada con End of Track", "%1 pistas cerradas con End of Track"},
      {"%1 piste fermée par End of Track", "%1 pistes fermées par End of Track"}}},
    {&RepairCounts::eventsDropped,
     "events_dropped",
     RepairRole::Repair,
     {{"%1 abgeschnittenes Ereignis entfernt", "%1 abgeschnittene Ereignisse entfernt"},
      {"%1 event cut short dropped", "%1 events cut short dropped"},
      {"%1 evento cortado eliminado", "%1 eventos cortados eliminados"},
      {"%1 événement tronqué supprimé", "%1 événements tronqués supprimés"}}},
    {&RepairCounts::chunksCutShort,
     "chunks_cut_short",
     RepairRole::Repair,
     {{"%1 abgeschnittener Block gekürzt", "%1 abgeschnittene Blöcke gekürzt"},
      {"%1 chunk cut short", "%1 chunks cut short"},
      {"%1 bloque cortado", "%1 bloques cortados"},
      {"%1 bloc tronqué", "%1 blocs tronqués"}}},
    {&RepairCounts::chunksCopied,
     "chunks_kept",
     RepairRole::Kept,
     {{"%1 weiterer Block unverändert übernommen", "%1 weitere Blöcke unverändert übernommen"},
      {"%1 other chunk kept unchanged", "%1 other chunks kept unchanged"},
      {"%1 bloque más conservado sin cambios", "%1 bloques más conservados sin cambios"},
      {"%1 autre bloc conservé tel quel", "%1 autres blocs conservés tels quels"}}},
    {&RepairCounts::noteOffsInserted,
     "note_offs_inserted",
     RepairRole::Repair,
     {{"%1 Note bei End of Track beendet", "%1 Noten bei End of Track beendet"},
      {"%1 note released at End of Track", "%1 notes released at End of Track"},
      {"%1 nota liberada en End of Track", "%1 notas liberadas en End of Track"},
      {"%1 note relâchée à End of Track", "%1 notes relâchées à End of Track"}}},
    {&RepairCounts::headersCut,
     "headers_cut",
     RepairRole::Repair,
     {{"%1 Kopf auf 6 Bytes gekürzt", "%1 Köpfe auf 6 Bytes gekürzt"},
      {"%1 header cut to 6 bytes", "%1 headers cut to 6 bytes"},
      {"%1 cabecera recortada a 6 bytes", "%1 cabeceras recortadas a 6 bytes"},
      {"%1 en-tête réduit à 6 octets", "%1 en-têtes réduits à 6 octets"}}},
    {&RepairCounts::trackLengthsRepaired,
     "track_lengths_repaired",
     RepairRole::Repair,
     {{"%1 Spur bis zu ihrem wirklichen Ende gelesen",
       "%1 Spuren bis zu ihrem wirklichen Ende gelesen"},
      {"%1 track read to its real end", "%1 tracks read to their real end"},
      {"%1 pista leída hasta su fin real", "%1 pistas leídas hasta su fin real"},
      {"%1 piste lue jusqu'à sa vraie fin", "%1 pistes lues jusqu'à leur vraie fin"}}},
    {&RepairCounts::junkBytesDropped,
     "junk_bytes_dropped",
     RepairRole::Repair,
     {{"%1 unlesbares Byte entfernt", "%1 unlesbare Bytes entfernt"},
      {"%1 unreadable byte dropped", "%1 unreadable bytes dropped"},
      {"%1 byte ilegible eliminado", "%1 bytes ilegibles eliminados"},
      {"%1 octet illisible supprimé", "%1 octets illisibles supprimés"}}},
    {&RepairCounts::trackCountsPatched,
     "track_counts_patched",
     RepairRole::Repair,
     {{"%1 Spuranzahl im Kopf berichtigt", "%1 Spuranzahlen im Kopf berichtigt"},
      {"%1 track count set in the header", "%1 track counts set in the header"},
      {"%1 número de pistas corregido en la cabecera",
       "%1 números de pistas corregidos en la cabecera"},
      {"%1 nombre de pistes corrigé dans l'en-tête",
       "%1 nombres de pistes corrigés dans l'en-tête"}}},
    {&RepairCounts::leadingBytesDropped,
     "leading_bytes_dropped",
     RepairRole::Repair,
     {{"%1 Byte vor dem Kopf entfernt", "%1 Bytes vor dem Kopf entfernt"},
      {"%1 byte before the header dropped", "%1 bytes before the header dropped"},
      {"%1 byte anterior a la cabecera eliminado", "%1 bytes anteriores a la cabecera eliminados"},
      {"%1 octet avant l'en-tête supprimé", "%1 octets avant l'en-tête supprimés"}}},
    {&RepairCounts::strayBytesDropped,
     "stray_bytes_dropped",
     RepairRole::Repair,
     {{"%1 verirrtes Datenbyte entfernt", "%1 verirrte Datenbytes entfernt"},
      {"%1 stray data byte dropped", "%1 stray data bytes dropped"},
      {"%1 byte de datos suelto eliminado", "%1 bytes de datos sueltos eliminados"},
      {"%1 octet de données isolé supprimé", "%1 octets de données isolés supprimés"}}},
    {&RepairCounts::eventsBrokenOff,
     "events_broken_off",
     RepairRole::Repair,
     {{"%1 Ereignis abgebrochen", "%1 Ereignisse abgebrochen"},
      {"%1 event broken off", "%1 events broken off"},
      {"%1 evento interrumpido", "%1 eventos interrumpidos"},
      {"%1 événement interrompu", "%1 événements interrompus"}}},
    {&RepairCounts::systemEventsDropped,
     "system_events_dropped",
     RepairRole::Repair,
     {{"%1 Systemnachricht entfernt", "%1 Systemnachrichten entfernt"},
      {"%1 system message dropped", "%1 system messages dropped"},
      {"%1 mensaje de sistema eliminado", "%1 mensajes de sistema eliminados"},
      {"%1 message système supprimé", "%1 messages système supprimés"}}},
    {&RepairCounts::metaEventsDropped,
     "meta_events_dropped",
     RepairRole::Repair,
     {{"%1 zu kurzes Meta-Ereignis entfernt", "%1 zu kurze Meta-Ereignisse entfernt"},
      {"%1 meta event too short dropped", "%1 meta events too short dropped"},
      {"%1 evento meta demasiado corto eliminado", "%1 eventos meta demasiado cortos eliminados"},
      {"%1 méta-événement trop court supprimé", "%1 méta-événements trop courts supprimés"}}},
    {&RepairCounts::trackIdsRepaired,
     "track_ids_repaired",
     RepairRole::Repair,
     {{"%1 Spurkennung als MTrk geschrieben", "%1 Spurkennungen als MTrk geschrieben"},
      {"%1 track ID spelled MTrk", "%1 track IDs spelled MTrk"},
      {"%1 identificador de pista escrito MTrk", "%1 identificadores de pista escritos MTrk"},
      {"%1 identifiant de piste écrit MTrk", "%1 identifiants de piste écrits MTrk"}}},
    {&RepairCounts::deltasTooLong,
     "deltas_too_long",
     RepairRole::Repair,
     {{"%1 zu lange Deltazeit repariert", "%1 zu lange Deltazeiten repariert"},
      {"%1 delta time too long repaired", "%1 delta times too long repaired"},
      {"%1 tiempo delta demasiado largo reparado", "%1 tiempos delta demasiado largos reparados"},
      {"%1 temps delta trop long réparé", "%1 temps delta trop longs réparés"}}},
    {&RepairCounts::temposClamped,
     "tempos_clamped",
     RepairRole::Adjustment,
     {{"%1 Tempo im gültigen Bereich gehalten", "%1 Tempi im gültigen Bereich gehalten"},
      {"%1 tempo held in range", "%1 tempos held in range"},
      {"%1 tempo mantenido en el rango", "%1 tempos mantenidos en el rango"},
      {"%1 tempo maintenu dans la plage", "%1 tempos maintenus dans la plage"}}},
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
