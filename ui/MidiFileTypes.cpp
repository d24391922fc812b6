#include "ui/MidiFileTypes.h"

#include "job/LanguageTable.h"

namespace korvane {
namespace {
const char* const kSuffixes[] = {".mid", ".midi", ".kar", ".smf", ".rmi"};
} // namespace

bool IsMidiFileName(const QString& path) {
    for (const char* suffix : kSuffixes) {
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

QStringList MidiFileFilters(const ControlTexts& texts) {
    QStringList patterns;
    for (const char* suffix : kSuffixes) {
        patterns.append(QLatin1String("*") + QLatin1String(suffix));
    }
    return {QString::fromUtf8(texts.midiFiles) + " (" + patterns.join(' ') + ")",
            QString::fromUtf8(texts.allFiles) + " (*)"};
}

} // namespace korvane
