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

LevelSummary SummarizeLevels(const std::vector<uint8_t>& levels) {
    LevelSummary summary;
    summary.count = levels.size();
    for (uint8_t level : levels) {
        summary.present.set(level);
    }
    return summary;
}

QString DescribeLevels(const LevelSummary& levels, int dynamicRange, int volume,
                       const ControlTexts& texts, int language, bool unmappedMarked) {
    if (levels.count == 0) {
        return QString::fromUtf8(texts.levelPlotEmpty);
    }
    const LevelTable table = BuildShownLevelTable(dynamicRange, volume, unmappedMarked);
    // Levels that map to 0 are not plotted, so they are not counted as the lowest.
    uint8_t lowest = 0xFF;
    uint8_t highest = 0;
    for (size_t level = 0; level < levels.present.size(); ++level) {
        if (levels.present[level] && table[level] != 0) {
            lowest = std::min(lowest, table[level]);
            highest = std::max(highest, table[level]);
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
