#pragma once

#include <QRect>

class QFont;

namespace korvane {

// A font's dialog base units in Qt's device-independent pixels: the average width of its
// letters and the height of its lines. A dialog unit is a quarter of the first horizontally
// and an eighth of the second vertically, so a layout in dialog units grows with the font.
struct DialogBaseUnits {
    qreal x = 6;
    qreal y = 13;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);

// Dialog units to pixels. Each edge is converted on its own, rounding to the nearest pixel, so
// neighbours stay flush. Qt itself multiplies by the screen's device pixel ratio, so nothing
// here does.
int DialogUnitsToPixelsX(int x, const DialogBaseUnits& base);
int DialogUnitsToPixelsY(int y, const DialogBaseUnits& base);
QRect DialogUnitsToPixels(const QRect& units, const DialogBaseUnits& base);

} // namespace korvane
