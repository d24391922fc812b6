#include "job/LanguageTable.h"

#include "job/ErrorCode.h"

namespace korvane {
namespace {
// Columns: German, English, Spanish, French. Spaces and line breaks are part of the texts.
constexpr LanguageTexts kTables[4] = {
    {
        // Captions of 1000, 1008, 1026, 1027, 1006, 1002, 1023, 1022, 1019, 1020, 1015.
        {"Speicherort", "Speicherort", "Midi File laden", "Speicherort", "Laden", "Speichern",
         "Lautstärke", "Dynamikwerte:", "Festgefahrene Noten beseitigen",
         "Geschwindigkeit anpassen:", "Zurücksetzten"},
        "\n\n      Willkommen zum Korvane  \n\n      Laden Sie bitte einen MIDI File",
        "\n      Eine MIDI Akte wird jetzt geladen.\n\n      Stellen Sie Ihre Justagen ein und \n  "
        "    drücken Sie dann \"außer\" Taste. \n",
        "\n\n  Eine neue MIDI Akte ist gespeichert worden.\n\n  Betätigen Sie die Spieltaste, um "
        "sie zu hören.",
        "Die Ausgang MIDI Akte kann nicht hergestellt werden.",
        "Die Eingang MIDI Akte kann nicht geöffnet werden.",
        "Laden Sie bitte eine MIDI Akte",
        "Die Ausgabedatei darf nicht die Eingabedatei sein.",
        "Die Ausgang MIDI Akte kann nicht geschrieben werden.",
        "Zwei Eingabedateien dieses Laufs würden in dieselbe Ausgabedatei geschrieben.",
        "Bitte geben Sie eine ganze Zahl zwischen 0 und 100000 ein.",
        "Kein SoundFont gefunden",
        "Kein Audiogerät",
        "Vorschau",
        "Zu groß für eine Vorschau",
        "Original anhören",
        "Dieser Ordner kann nicht gelesen werden.",
        "Takte behalten (Tempo ändern)",
        "Schlagzeug unverändert lassen",
        "Lauteste Note auf volle Stärke",
        "Die Eingabedatei ist keine MIDI-Datei.",
        "In der Eingabedatei ist keine Spur erhalten.",
    },
    {
        // Captions of 1000, 1008, 1026, 1027, 1006, 1002, 1023, 1022, 1019, 1020, 1015.
        {"Browse", "Browse", "Load From MIDI File", "Save To File", "Load", "Save", "Volume",
         "Dynamic Range:", "Eliminate Stuck Notes", "Adjust Speed:", "Reset"},
        "\n\n      Welcome Korvane user!\n\n      Please load a MIDI file.",
        "\n      A MIDI file is now loaded.\n\n      Make your adjustments and then\n      push "
        "the \"Save\" button\n",
        "\n\n      A new MIDI file has been saved.\n\n      Push the play button to hear it.",
        "The output MIDI file can not be created.",
        "The input MIDI file can not be opened.",
        "Please load a MIDI file",
        "The output file must not be the input file.",
        "The output MIDI file can not be written.",
        "Two inputs of this run would be written to the same output file.",
        "Please enter an integer between 0 and 100000.",
        "No SoundFont found",
        "No audio device",
        "Preview",
        "Too large to preview",
        "Hear the original",
        "This folder can not be read.",
        "Keep the bars (change the tempo)",
        "Leave drums as they are",
        "Loudest note to full level",
        "The input file is not a MIDI file.",
        "No track is left in the input file.",
    },
    {
        // Captions of 1000, 1008, 1026, 1027, 1006, 1002, 1023, 1022, 1019, 1020, 1015.
        {"Hojee", "Hojee", "Carga Del Archivo de MIDI", "Excepto A Archivo", "Carga", "Excepto",
         "Volumen", "Gama Dinámica:", "Elimine Las Notas Pegadas",
         "Ajuste La Velocidad:", "Reajuste"},
        "\n\n      ¡Usuario agradable de Korvane!\n\n      Cargue por favor un archivo de MIDI.",
        "\n      Un archivo de MIDI ahora se carga.\n\n      Haga sus ajustes y después \n      "
        "empuje \"EXCEPTO\" el botón.",
        "\n\n      Se ha ahorrado un archivo nuevo de MIDI.\n\n      Empuje el botón del juego "
        "para oírlo.",
        "El archivo de MIDI de la salida no puede ser creado.",
        "El archivo de MIDI de la entrada no puede ser abierto.",
        "Cargue por favor un archivo de MIDI.",
        "El archivo de salida no puede ser el archivo de entrada.",
        "El archivo de MIDI de la salida no puede ser escrito.",
        "Dos archivos de entrada de esta ejecución se escribirían en el mismo archivo de salida.",
        "Introduzca un número entero entre 0 y 100000.",
        "No se encontró ningún SoundFont",
        "Ningún dispositivo de audio",
        "Vista previa",
        "Demasiado grande para la vista previa",
        "Escuchar el original",
        "Esta carpeta no puede ser leída.",
        "Mantener los compases (cambiar el tempo)",
        "Dejar la batería como está",
        "Nota más fuerte a nivel máximo",
        "El archivo de entrada no es un archivo MIDI.",
        "No queda ninguna pista en el archivo de entrada.",
    },
    {
        // Captions of 1000, 1008, 1026, 1027, 1006, 1002, 1023, 1022, 1019, 1020, 1015.
        {"Recherche", "Recherche", "Charge À partir De Dossier du MIDI", "Économiser Au Dossier",
         "Charge", "Économiser ", "Volume", "Gamme Dynamique:", "Éliminez Les Notes Coincées",
         "Ajustez La Vitesse:", "Remise"},
        "\n\n      Utilisateur bienvenu de Korvane!\n\n      Veuillez charger un dossier du MIDI.",
        "\n      Un dossier du MIDI est maintenant chargé.\n\n      Faites vos ajustements et puis "
        "\n      poussez \"Économiser\" le bouton.\n",
        "\n\n      Un nouveau dossier du MIDI a été sauvé.\n\n      Poussez le bouton de jeu pour "
        "l'entendre.",
        "Le dossier du MIDI de rendement ne peut pas être créé.",
        "Le dossier du MIDI d'entrée ne peut pas être ouvert.",
        "Veuillez charger un dossier du MIDI",
        "Le fichier de sortie ne peut pas être le fichier d'entrée.",
        "Le dossier du MIDI de rendement ne peut pas être écrit.",
        "Deux fichiers d'entrée de cette exécution seraient écrits dans le même fichier de sortie.",
        "Veuillez entrer un nombre entier entre 0 et 100000.",
        "Aucun SoundFont trouvé",
        "Aucun périphérique audio",
        "Aperçu",
        "Trop volumineux pour l'aperçu",
        "Écouter l'original",
        "Ce dossier ne peut pas être lu.",
        "Garder les mesures (changer le tempo)",
        "Laisser la batterie telle quelle",
        "Note la plus forte au niveau maximal",
        "Le fichier d'entrée n'est pas un fichier MIDI.",
        "Il ne reste aucune piste dans le fichier d'entrée.",
    },
};

// Columns: German, English, Spanish, French.
constexpr ControlTexts kControlTables[4] = {
    {
        "Eingabe-MIDI-Datei",
        "Ausgabe-MIDI-Datei",
        "Die MIDI-Datei wählen, die geladen wird",
        "Wählen, wohin die neue MIDI-Datei gespeichert wird",
        "Über Korvane und Sprache",
        "Dynamikbereich",
        "Links rückt die Anschlagstärken der Noten zusammen, rechts spreizt sie",
        "Lautstärke",
        "Nach oben werden die Noten lauter, nach unten leiser",
        "Geschwindigkeit",
        "Von 0 bis 400 Prozent; 100 behält die Geschwindigkeit bei",
        "Geschwindigkeit in Prozent",
        "Alle Einstellungen zurücksetzen",
        "Notenpegel",
        "Pegel von %1 Ereignissen, von %2 bis %3",
        "Keine MIDI-Datei geladen",
        "Wiedergabe",
        "Pause",
        "Stopp",
        "Wiedergabeposition",
        "Mi&nimieren",
        "&Schließen",
        "MIDI-Dateien",
        "Alle Dateien",
        "Eingabedatei suchen",
        "Ausgabedatei suchen",
        "Player",
    },
    {
        "Input MIDI file",
        "Output MIDI file",
        "Choose the MIDI file to load",
        "Choose where to save the new MIDI file",
        "About Korvane and language",
        "Dynamic range",
        "Left draws the note velocities together, right spreads them apart",
        "Volume",
        "Up makes the notes louder, down softer",
        "Speed",
        "From 0 to 400 percent; 100 keeps the speed",
        "Speed in percent",
        "Restore all adjustments",
        "Note levels",
        "Levels of %1 events, from %2 to %3",
        "No MIDI file loaded",
        "Play",
        "Pause",
        "Stop",
        "Playback position",
        "Mi&nimize",
        "&Close",
        "MIDI files",
        "All files",
        "Browse for the input file",
        "Browse for the output file",
        "Player",
    },
    {
        "Archivo MIDI de entrada",
        "Archivo MIDI de salida",
        "Elegir el archivo MIDI que se carga",
        "Elegir dónde se guarda el nuevo archivo MIDI",
        "Acerca de Korvane e idioma",
        "Rango dinámico",
        "A la izquierda acerca las intensidades de las notas, a la derecha las separa",
        "Volumen",
        "Hacia arriba las notas suenan más fuerte, hacia abajo más suave",
        "Velocidad",
        "De 0 a 400 por ciento; 100 mantiene la velocidad",
        "Velocidad en por ciento",
        "Restablecer todos los ajustes",
        "Niveles de las notas",
        "Niveles de %1 eventos, de %2 a %3",
        "Ningún archivo MIDI cargado",
        "Reproducir",
        "Pausa",
        "Detener",
        "Posición de reproducción",
        "Mi&nimizar",
        "&Cerrar",
        "Archivos MIDI",
        "Todos los archivos",
        "Buscar el archivo de entrada",
        "Buscar el archivo de salida",
        "Reproductor",
    },
    {
        "Fichier MIDI d'entrée",
        "Fichier MIDI de sortie",
        "Choisir le fichier MIDI à charger",
        "Choisir où enregistrer le nouveau fichier MIDI",
        "À propos de Korvane et langue",
        "Plage dynamique",
        "À gauche rapproche les vélocités des notes, à droite les écarte",
        "Volume",
        "Vers le haut les notes sont plus fortes, vers le bas plus douces",
        "Vitesse",
        "De 0 à 400 pour cent ; 100 garde la vitesse",
        "Vitesse en pour cent",
        "Rétablir tous les réglages",
        "Niveaux des notes",
        "Niveaux de %1 événements, de %2 à %3",
        "Aucun fichier MIDI chargé",
        "Lecture",
        "Pause",
        "Arrêt",
        "Position de lecture",
        "Réd&uire",
        "&Fermer",
        "Fichiers MIDI",
        "Tous les fichiers",
        "Parcourir pour le fichier d'entrée",
        "Parcourir pour le fichier de sortie",
        "Lecteur",
    },
};
} // namespace

const LanguageTexts* LanguageTextsFor(int language) {
    if (static_cast<unsigned>(language) >= 4) {
        return nullptr;
    }
    return &kTables[language];
}

const ControlTexts* ControlTextsFor(int language) {
    if (static_cast<unsigned>(language) >= 4) {
        return nullptr;
    }
    return &kControlTables[language];
}

const char* MessageText(const LanguageTexts& texts, JobMessage message) {
    const char* LanguageTexts::*field = MessageField(message);
    return field == nullptr ? "" : texts.*field;
}

namespace {
// Columns: German, English, Spanish, French.
constexpr CollectionTexts kCollectionTables[4] = {
    {"%1 MIDI-Dateien sind geladen. Kurve und Player zeigen die erste; Speichern wandelt alle um.",
     "%1 MIDI-Dateien sind geladen. Kurve und Player zeigen %2; Speichern wandelt alle um.",
     "Datei %1 von %2 wird gespeichert …",
     "Das Speichern wurde abgebrochen. ",
     {"%1 Datei gespeichert", "%1 Dateien gespeichert"},
     {", davon %1 repariert", ", davon %1 repariert"},
     {"; %1 konnte nicht umgewandelt werden", "; %1 konnten nicht umgewandelt werden"},
     {"; %1 blieb unverarbeitet", "; %1 blieben unverarbeitet"},
     ".",
     "Abbrechen",
     "Der Ordner enthält keine MIDI-Dateien.",
     false},
    {"%1 MIDI files are loaded. The plot and the player show the first; Save converts them all.",
     "%1 MIDI files are loaded. The plot and the player show %2; Save converts them all.",
     "Saving file %1 of %2…",
     "Saving was stopped. ",
     {"%1 file saved", "%1 files saved"},
     {", %1 of them repaired", ", %1 of them repaired"},
     {"; %1 could not be converted", "; %1 could not be converted"},
     {"; %1 was left unconverted", "; %1 were left unconverted"},
     ".",
     "Cancel",
     "The folder holds no MIDI files.",
     false},
    {"%1 archivos MIDI están cargados. El gráfico y el reproductor muestran el primero; al "
     "guardar se convierten todos.",
     "%1 archivos MIDI están cargados. El gráfico y el reproductor muestran %2; al guardar se "
     "convierten todos.",
     "Guardando el archivo %1 de %2…",
     "Se detuvo el guardado. ",
     {"%1 archivo guardado", "%1 archivos guardados"},
     {", %1 de ellos reparado", ", %1 de ellos reparados"},
     {"; %1 no se pudo convertir", "; %1 no se pudieron convertir"},
     {"; %1 quedó sin convertir", "; %1 quedaron sin convertir"},
     ".",
     "Cancelar",
     "La carpeta no contiene archivos MIDI.",
     false},
    {"%1 fichiers MIDI sont chargés. Le graphique et le lecteur montrent le premier ; "
     "l'enregistrement les convertit tous.",
     "%1 fichiers MIDI sont chargés. Le graphique et le lecteur montrent %2 ; l'enregistrement "
     "les convertit tous.",
     "Enregistrement du fichier %1 sur %2…",
     "L'enregistrement a été arrêté. ",
     {"%1 fichier enregistré", "%1 fichiers enregistrés"},
     {", dont %1 réparé", ", dont %1 réparés"},
     {" ; %1 n'a pas pu être converti", " ; %1 n'ont pas pu être convertis"},
     {" ; %1 est resté non converti", " ; %1 sont restés non convertis"},
     ".",
     "Annuler",
     "Le dossier ne contient aucun fichier MIDI.",
     true},
};
} // namespace

const CollectionTexts* CollectionTextsFor(int language) {
    return static_cast<unsigned>(language) < 4 ? &kCollectionTables[language] : nullptr;
}

namespace {
// Columns: German, English, Spanish, French.
constexpr AboutTexts kAboutTables[4] = {
    {"Über Korvane",
     "Ü&ber Korvane...",
     "Korvane auf einen Blick",
     {"Hilfe und Einstellungen", "MIDI-Eingabedatei", "MIDI-Ausgabedatei", "Lautstärke ändern",
      "Festgefahrene Noten beseitigen", "Dynamik ändern", "MIDI-Datei anhören", "Tempo ändern",
      "Alle Änderungen zurücksetzen"},
     "Korvane repariert festgefahrene Noten und passt Dynamikumfang, Lautstärke und "
     "Geschwindigkeit von Standard-MIDI-Dateien an.\n\nWählen Sie die Sprache des Hauptfensters "
     "in der Liste oben.",
     "Sprache",
     "MIDI-Dateien repariert und angepasst"},
    {"About Korvane",
     "&About Korvane...",
     "Korvane at a glance",
     {"Help and settings", "Input MIDI file", "Output MIDI file", "Modify volume",
      "Eliminate stuck notes", "Modify dynamic range", "Listen to MIDI file", "Change speed",
      "Reset all changes"},
     "Korvane repairs stuck notes and adjusts the dynamic range, volume and speed of Standard "
     "MIDI Files.\n\nChoose the language of the main window in the list above.",
     "Language",
     "MIDI files repaired and adjusted"},
    {"Acerca de Korvane",
     "&Acerca de Korvane...",
     "Korvane de un vistazo",
     {"Ayuda y ajustes", "Archivo MIDI de entrada", "Archivo MIDI de salida", "Cambiar el volumen",
      "Eliminar notas atascadas", "Cambiar el rango dinámico", "Escuchar el archivo MIDI",
      "Cambiar la velocidad", "Deshacer todos los cambios"},
     "Korvane repara las notas atascadas y ajusta el rango dinámico, el volumen y la velocidad "
     "de los archivos MIDI estándar.\n\nElija el idioma de la ventana principal en la lista de "
     "arriba.",
     "Idioma",
     "Archivos MIDI reparados y ajustados"},
    {"À propos de Korvane",
     "À &propos de Korvane...",
     "Korvane en un coup d'œil",
     {"Aide et réglages", "Fichier MIDI d'entrée", "Fichier MIDI de sortie", "Modifier le volume",
      "Éliminer les notes bloquées", "Modifier la plage dynamique", "Écouter le fichier MIDI",
      "Changer la vitesse", "Annuler toutes les modifications"},
     "Korvane répare les notes bloquées et ajuste la plage dynamique, le volume et la vitesse "
     "des fichiers MIDI standard.\n\nChoisissez la langue de la fenêtre principale dans la "
     "liste ci-dessus.",
     "Langue",
     "Fichiers MIDI réparés et ajustés"},
};
} // namespace

const AboutTexts* AboutTextsFor(int language) {
    return static_cast<unsigned>(language) < 4 ? &kAboutTables[language] : nullptr;
}

} // namespace korvane
