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
        "%1 weitere Reparaturen",
    },
    {
        "English",
        "Language",
        "Choose MIDI files",
        "or drop them here (.mid .midi .kar .smf .rmi)",
        "Files",
        "Your files stay on this computer: nothing is uploaded.",
        "Nothing to repair",
        "%1 other repairs",
    },
    {
        "Español",
        "Idioma",
        "Elegir archivos MIDI",
        "o soltarlos aquí (.mid .midi .kar .smf .rmi)",
        "Archivos",
        "Sus archivos se quedan en este ordenador: no se sube nada.",
        "Nada que reparar",
        "%1 reparaciones más",
    },
    {
        "Français",
        "Langue",
        "Choisir des fichiers MIDI",
        "ou les déposer ici (.mid .midi .kar .smf .rmi)",
        "Fichiers",
        "Vos fichiers restent sur cet ordinateur : rien n'est envoyé.",
        "Rien à réparer",
        "%1 autres réparations",
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
