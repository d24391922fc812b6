#include "ui/LevelDescription.h"

#include "job/LanguageTable.h"
#include "midi/LevelMap.h"

#include <QLocale>

#include <algorithm>
#include <array>

namespace korvane {
namespace {
QLocale LocaleOf(int language) {
    constexpr std::array<QLocale::Language, 4> kLanguages = {QLocale::German, QLocale::English,
                                                             QLocale::Spanish, QLocale::French};
    if (static_cast<unsigned>(language) >= kLanguages.size()) {
        return QLocale(QLocale::English);
    }
    return QLocale(kLanguages[static_cast<size_t>(language)]);
}
} // namespace

LevelSummary SummarizeLevels(const std::vector<uint8_t>& levels,
                             const std::vector<uint8_t>& noteOnMarks) {
    LevelSummary summary;
    summary.count = levels.size();
    const bool marked = noteOnMarks.size() == levels.size();
    for (size_t i = 0; i < levels.size(); ++i) {
        (marked && noteOnMarks[i] != 0 ? summary.noteOns : summary.present).set(levels[i]);
    }
    return summary;
}

QString DescribeLevels(const LevelSummary& levels, int dynamicRange, int volume,
                       const ControlTexts& texts, int language, bool unmappedMarked,
                       NoteGain gain) {
    if (levels.count == 0) {
        return QString::fromUtf8(texts.levelPlotEmpty);
    }
    const LevelTable table = BuildShownLevelTable(dynamicRange, volume, unmappedMarked);
    const LevelTable noteOnTable = BuildNoteOnTable(table, gain);
    // Levels that map to 0 are not plotted, so they are not counted as the lowest.
    uint8_t lowest = 0xFF;
    uint8_t highest = 0;
    for (size_t level = 0; level < levels.present.size(); ++level) {
        for (const uint8_t shown : {levels.present[level] ? table[level] : uint8_t{0},
                                    levels.noteOns[level] ? noteOnTable[level] : uint8_t{0}}) {
            if (shown != 0) {
                lowest = std::min(lowest, shown);
                highest = std::max(highest, shown);
            }
        }
    }
    lowest = std::min(lowest, highest);
    const QLocale locale = LocaleOf(language);
    return QString::fromUtf8(texts.levelPlotDescription)
        .arg(locale.toString(static_cast<qulonglong>(levels.count)))
        .arg(lowest)
        .arg(highest);
}

} // namespace korvane
