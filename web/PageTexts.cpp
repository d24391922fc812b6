#include "web/PageTexts.h"

namespace korvane {
namespace {
// Columns: German, English, Spanish, French.
constexpr PageTexts kPageTables[4] = {
    {
        "Deutsch",
        "Sprache",
        "MIDI-Dateien wählen",
        "oder hierher ziehen (.mid .midi .kar .smf .rmi)",
        "Dateien",
        "Ihre Dateien bleiben auf diesem Computer: nichts wird hochgeladen.",
        "Nichts zu reparieren",
        "Lese %1 von %2 Dateien (%3 von %4 MB)",
        "Konvertiere %1 von %2 Dateien (%3 von %4 MB)",
        "Abbrechen",
        "Abgebrochen.",
        "zu groß für diese Seite, die Dateien bis %1 MB konvertiert; die Kommandozeile konvertiert "
        "sie.",
        "Die Instrumente werden geladen …",
    },
    {
        "English",
        "Language",
        "Choose MIDI files",
        "or drop them here (.mid .midi .kar .smf .rmi)",
        "Files",
        "Your files stay on this computer: nothing is uploaded.",
        "Nothing to repair",
        "Reading %1 of %2 files (%3 of %4 MB)",
        "Converting %1 of %2 files (%3 of %4 MB)",
        "Cancel",
        "Cancelled.",
        "too large for this page, which converts files up to %1 MB; the command line converts it.",
        "Loading the instruments…",
    },
    {
        "Español",
        "Idioma",
        "Elegir archivos MIDI",
        "o soltarlos aquí (.mid .midi .kar .smf .rmi)",
        "Archivos",
        "Sus archivos se quedan en este ordenador: no se sube nada.",
        "Nada que reparar",
        "Leyendo %1 de %2 archivos (%3 de %4 MB)",
        "Convirtiendo %1 de %2 archivos (%3 de %4 MB)",
        "Cancelar",
        "Cancelado.",
        "demasiado grande para esta página, que convierte archivos de hasta %1 MB; la línea de "
        "comandos lo convierte.",
        "Cargando los instrumentos…",
    },
    {
        "Français",
        "Langue",
        "Choisir des fichiers MIDI",
        "ou les déposer ici (.mid .midi .kar .smf .rmi)",
        "Fichiers",
        "Vos fichiers restent sur cet ordinateur : rien n'est envoyé.",
        "Rien à réparer",
        "Lecture de %1 sur %2 fichiers (%3 sur %4 Mo)",
        "Conversion de %1 sur %2 fichiers (%3 sur %4 Mo)",
        "Annuler",
        "Annulé.",
        "trop grand pour cette page, qui convertit des fichiers jusqu'à %1 Mo ; la ligne de "
        "commande le convertit.",
        "Chargement des instruments…",
    },
};
} // namespace

const PageTexts* PageTextsFor(int language) {
    if (static_cast<unsigned>(language) >= 4) {
        return nullptr;
    }
    return &kPageTables[language];
}

} // namespace korvane
