#include "platform/gui/DialogUnits.h"

#include <QFont>
#include <QFontMetricsF>
#include <QtMath>

namespace korvane {
namespace {
// The letters whose average width is a font's horizontal base unit.
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetLength = sizeof(kAlphabet) - 1;
} // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetricsF metrics(font);
    return {metrics.horizontalAdvance(QLatin1String(kAlphabet)) / kAlphabetLength,
            static_cast<qreal>(qCeil(metrics.height()))};
}

int DialogUnitsToPixelsX(int x, const DialogBaseUnits& base) {
    return qRound(x * base.x / 4);
}

int DialogUnitsToPixelsY(int y, const DialogBaseUnits& base) {
    return qRound(y * base.y / 8);
}

QRect DialogUnitsToPixels(const QRect& units, const DialogBaseUnits& base) {
    const int left = DialogUnitsToPixelsX(units.x(), base);
    const int top = DialogUnitsToPixelsY(units.y(), base);
    const int right = DialogUnitsToPixelsX(units.x() + units.width(), base);
    const int bottom = DialogUnitsToPixelsY(units.y() + units.height(), base);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace korvane
