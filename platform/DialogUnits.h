#pragma once

#include <QRect>

// Dialog units to pixels with the fixed base units 6 x 13 of the 8-point font the windows were
// laid out in, so that every control keeps its designed pixel size whatever the desktop font.
// Edges are converted (as the classic MapDialogRect does), rounding to the nearest pixel.
int DialogUnitsToPixelsX(int x, qreal devicePixelRatio);
int DialogUnitsToPixelsY(int y, qreal devicePixelRatio);
QRect DialogUnitsToPixels(const QRect& units, qreal devicePixelRatio);
