#include "DialogUnits.h"

#include <QtMath>

namespace {
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

int Scale(int value, int baseUnit, int divisor, qreal devicePixelRatio) {
    return qRound(static_cast<qreal>(value) * baseUnit / divisor * devicePixelRatio);
}
} // namespace

int DialogUnitsToPixelsX(int x, qreal devicePixelRatio) {
    return Scale(x, kBaseUnitX, 4, devicePixelRatio);
}

int DialogUnitsToPixelsY(int y, qreal devicePixelRatio) {
    return Scale(y, kBaseUnitY, 8, devicePixelRatio);
}

QRect DialogUnitsToPixels(const QRect& units, qreal devicePixelRatio) {
    const int left = DialogUnitsToPixelsX(units.x(), devicePixelRatio);
    const int top = DialogUnitsToPixelsY(units.y(), devicePixelRatio);
    const int right = DialogUnitsToPixelsX(units.x() + units.width(), devicePixelRatio);
    const int bottom = DialogUnitsToPixelsY(units.y() + units.height(), devicePixelRatio);
    return QRect(left, top, right - left, bottom - top);
}
