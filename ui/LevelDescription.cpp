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

QString DescribeLevels(const std::vector<uint8_t>& levels, int dynamicRange, int volume,
                       const ControlTexts& texts, int language) {
    if (levels.empty()) {
        return QString::fromUtf8(texts.levelPlotEmpty);
    }
    const LevelTable table = BuildLevelTable(dynamicRange, volume);
    // Levels that map to 0 are not plotted, so they are not counted as the lowest.
    uint8_t lowest = 0xFF;
    uint8_t highest = 0;
    for (uint8_t level : levels) {
        if (table[level] != 0) {
            lowest = std::min(lowest, table[level]);
            highest = std::max(highest, table[level]);
        }
    }
    lowest = std::min(lowest, highest);
    const QLocale locale = LocaleOf(language);
    return QString::fromUtf8(texts.levelPlotDescription)
        .arg(locale.toString(static_cast<qulonglong>(levels.size())))
        .arg(lowest)
        .arg(highest);
}

} // namespace korvane
