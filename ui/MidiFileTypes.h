#pragma once

#include <QString>
#include <QStringList>

namespace korvane {

struct ControlTexts;

// The names a MIDI file goes by, the same the command line and the desktop entry take:
// .mid, .midi, .kar, .smf and RIFF-wrapped .rmi, in any case.
bool IsMidiFileName(const QString& path);

// The file dialogs' filters in the language of texts: MIDI files first, all files second.
QStringList MidiFileFilters(const ControlTexts& texts);

} // namespace korvane
