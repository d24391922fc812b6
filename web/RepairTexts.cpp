#include "web/RepairTexts.h"

#include "job/RepairFields.h"

#include <array>
#include <cstring>

namespace korvane {
namespace {
struct Named {
    const char* key; // the report's key; "chunks_kept" for vendor chunks copied whole
    // Columns: German, English, Spanish, French; one, then several.
    std::array<std::array<const char*, 2>, 4> texts;
};

constexpr Named kNames[] = {
    {"tracks_closed",
     {{{"%1 Spur mit End of Track abgeschlossen", "%1 Spuren mit End of Track abgeschlossen"},
       {"%1 track closed with End of Track", "%1 tracks closed with End of Track"},
       {"%1 pista cerrada con End of Track", "%1 pistas cerradas con End of Track"},
       {"%1 piste fermée par End of Track", "%1 pistes fermées par End of Track"}}}},
    {"events_dropped",
     {{{"%1 abgeschnittenes Ereignis entfernt", "%1 abgeschnittene Ereignisse entfernt"},
       {"%1 event cut short dropped", "%1 events cut short dropped"},
       {"%1 evento cortado eliminado", "%1 eventos cortados eliminados"},
       {"%1 événement tronqué supprimé", "%1 événements tronqués supprimés"}}}},
    {"chunks_cut_short",
     {{{"%1 abgeschnittener Block gekürzt", "%1 abgeschnittene Blöcke gekürzt"},
       {"%1 chunk cut short", "%1 chunks cut short"},
       {"%1 bloque cortado", "%1 bloques cortados"},
       {"%1 bloc tronqué", "%1 blocs tronqués"}}}},
    {"note_offs_inserted",
     {{{"%1 Note bei End of Track beendet", "%1 Noten bei End of Track beendet"},
       {"%1 note released at End of Track", "%1 notes released at End of Track"},
       {"%1 nota liberada en End of Track", "%1 notas liberadas en End of Track"},
       {"%1 note relâchée à End of Track", "%1 notes relâchées à End of Track"}}}},
    {"headers_cut",
     {{{"%1 Kopf auf 6 Bytes gekürzt", "%1 Köpfe auf 6 Bytes gekürzt"},
       {"%1 header cut to 6 bytes", "%1 headers cut to 6 bytes"},
       {"%1 cabecera recortada a 6 bytes", "%1 cabeceras recortadas a 6 bytes"},
       {"%1 en-tête réduit à 6 octets", "%1 en-têtes réduits à 6 octets"}}}},
    {"track_lengths_repaired",
     {{{"%1 Spur bis zu ihrem wirklichen Ende gelesen",
        "%1 Spuren bis zu ihrem wirklichen Ende gelesen"},
       {"%1 track read to its real end", "%1 tracks read to their real end"},
       {"%1 pista leída hasta su fin real", "%1 pistas leídas hasta su fin real"},
       {"%1 piste lue jusqu'à sa vraie fin", "%1 pistes lues jusqu'à leur vraie fin"}}}},
    {"junk_bytes_dropped",
     {{{"%1 unlesbares Byte entfernt", "%1 unlesbare Bytes entfernt"},
       {"%1 unreadable byte dropped", "%1 unreadable bytes dropped"},
       {"%1 byte ilegible eliminado", "%1 bytes ilegibles eliminados"},
       {"%1 octet illisible supprimé", "%1 octets illisibles supprimés"}}}},
    {"track_counts_patched",
     {{{"%1 Spuranzahl im Kopf berichtigt", "%1 Spuranzahlen im Kopf berichtigt"},
       {"%1 track count set in the header", "%1 track counts set in the header"},
       {"%1 número de pistas corregido en la cabecera",
        "%1 números de pistas corregidos en la cabecera"},
       {"%1 nombre de pistes corrigé dans l'en-tête",
        "%1 nombres de pistes corrigés dans l'en-tête"}}}},
    {"leading_bytes_dropped",
     {{{"%1 Byte vor dem Kopf entfernt", "%1 Bytes vor dem Kopf entfernt"},
       {"%1 byte before the header dropped", "%1 bytes before the header dropped"},
       {"%1 byte anterior a la cabecera eliminado", "%1 bytes anteriores a la cabecera eliminados"},
       {"%1 octet avant l'en-tête supprimé", "%1 octets avant l'en-tête supprimés"}}}},
    {"stray_bytes_dropped",
     {{{"%1 verirrtes Datenbyte entfernt", "%1 verirrte Datenbytes entfernt"},
       {"%1 stray data byte dropped", "%1 stray data bytes dropped"},
       {"%1 byte de datos suelto eliminado", "%1 bytes de datos sueltos eliminados"},
       {"%1 octet de données isolé supprimé", "%1 octets de données isolés supprimés"}}}},
    {"events_broken_off",
     {{{"%1 Ereignis abgebrochen", "%1 Ereignisse abgebrochen"},
       {"%1 event broken off", "%1 events broken off"},
       {"%1 evento interrumpido", "%1 eventos interrumpidos"},
       {"%1 événement interrompu", "%1 événements interrompus"}}}},
    {"system_events_dropped",
     {{{"%1 Systemnachricht entfernt", "%1 Systemnachrichten entfernt"},
       {"%1 system message dropped", "%1 system messages dropped"},
       {"%1 mensaje de sistema eliminado", "%1 mensajes de sistema eliminados"},
       {"%1 message système supprimé", "%1 messages système supprimés"}}}},
    {"meta_events_dropped",
     {{{"%1 zu kurzes Meta-Ereignis entfernt", "%1 zu kurze Meta-Ereignisse entfernt"},
       {"%1 meta event too short dropped", "%1 meta events too short dropped"},
       {"%1 evento meta demasiado corto eliminado", "%1 eventos meta demasiado cortos eliminados"},
       {"%1 méta-événement trop court supprimé", "%1 méta-événements trop courts supprimés"}}}},
    {"track_ids_repaired",
     {{{"%1 Spurkennung als MTrk geschrieben", "%1 Spurkennungen als MTrk geschrieben"},
       {"%1 track ID spelled MTrk", "%1 track IDs spelled MTrk"},
       {"%1 identificador de pista escrito MTrk", "%1 identificadores de pista escritos MTrk"},
       {"%1 identifiant de piste écrit MTrk", "%1 identifiants de piste écrits MTrk"}}}},
    {"deltas_too_long",
     {{{"%1 zu lange Deltazeit repariert", "%1 zu lange Deltazeiten repariert"},
       {"%1 delta time too long repaired", "%1 delta times too long repaired"},
       {"%1 tiempo delta demasiado largo reparado", "%1 tiempos delta demasiado largos reparados"},
       {"%1 temps delta trop long réparé", "%1 temps delta trop longs réparés"}}}},
    {"tempos_clamped",
     {{{"%1 Tempo im gültigen Bereich gehalten", "%1 Tempi im gültigen Bereich gehalten"},
       {"%1 tempo held in range", "%1 tempos held in range"},
       {"%1 tempo mantenido en el rango", "%1 tempos mantenidos en el rango"},
       {"%1 tempo maintenu dans la plage", "%1 tempos maintenus dans la plage"}}}},
    {"chunks_kept",
     {{{"%1 weiterer Block unverändert übernommen", "%1 weitere Blöcke unverändert übernommen"},
       {"%1 other chunk kept unchanged", "%1 other chunks kept unchanged"},
       {"%1 bloque más conservado sin cambios", "%1 bloques más conservados sin cambios"},
       {"%1 autre bloc conservé tel quel", "%1 autres blocs conservés tels quels"}}}},
};

const Named* NamedKind(const char* key) {
    for (const Named& named : kNames) {
        if (std::strcmp(named.key, key) == 0) {
            return &named;
        }
    }
    return nullptr;
}

std::string WithCount(const char* text, uint64_t count) {
    std::string out = text;
    out.replace(out.find("%1"), 2, std::to_string(count));
    return out;
}

void Add(std::vector<std::string>& out, int language, const char* key, uint64_t count) {
    const Named* named = NamedKind(key);
    if (count > 0 && named != nullptr) {
        out.push_back(WithCount(named->texts[language][count == 1 ? 0 : 1], count));
    }
}
} // namespace

std::vector<std::string> RepairTexts(int language, const RepairCounts& repairs) {
    std::vector<std::string> out;
    if (static_cast<unsigned>(language) >= 4) {
        return out;
    }
    for (const RepairField& field : kRepairFields) {
        Add(out, language, field.key, repairs.*field.count);
    }
    Add(out, language, "chunks_kept", repairs.chunksCopied);
    return out;
}

} // namespace korvane
