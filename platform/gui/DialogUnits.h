#pragma once

#include <QRect>

namespace korvane {

// Dialog units to pixels with the fixed base units 6 x 13 of the 8-point font the windows were
// laid out in, so that every control keeps its laid-out pixel size whatever the desktop font.
// Each edge is converted on its own, rounding to the nearest pixel, so neighbours stay flush.
// The result is in Qt's device-independent pixels: Qt itself multiplies by the screen's device
// pixel ratio, so multiplying here as well would scale a high-density screen twice.
int DialogUnitsToPixelsX(int x);
int DialogUnitsToPixelsY(int y);
QRect DialogUnitsToPixels(const QRect& units);

} // namespace korvane
