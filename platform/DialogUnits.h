#pragma once

#include <QRect>

// Dialog units to pixels with the fixed base units 6 x 13 of the 8-point font the windows were
// laid out in, so that every control keeps its designed pixel size whatever the desktop font.
// Edges are converted (as the classic MapDialogRect does), rounding to the nearest pixel.
// The result is in Qt's device-independent pixels: Qt itself multiplies by the screen's device
// pixel ratio, so multiplying here as well would scale a high-density screen twice.
int DialogUnitsToPixelsX(int x);
int DialogUnitsToPixelsY(int y);
QRect DialogUnitsToPixels(const QRect& units);
