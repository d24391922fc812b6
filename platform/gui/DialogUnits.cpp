#include "platform/gui/DialogUnits.h"

#include <QtMath>

namespace korvane {
namespace {
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

int Scale(int value, int baseUnit, int divisor) {
    return qRound(static_cast<qreal>(value) * baseUnit / divisor);
}
} // namespace

int DialogUnitsToPixelsX(int x) {
    return Scale(x, kBaseUnitX, 4);
}

int DialogUnitsToPixelsY(int y) {
    return Scale(y, kBaseUnitY, 8);
}

QRect DialogUnitsToPixels(const QRect& units) {
    const int left = DialogUnitsToPixelsX(units.x());
    const int top = DialogUnitsToPixelsY(units.y());
    const int right = DialogUnitsToPixelsX(units.x() + units.width());
    const int bottom = DialogUnitsToPixelsY(units.y() + units.height());
    return QRect(left, top, right - left, bottom - top);
}

} // namespace korvane
