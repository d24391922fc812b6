#pragma once

#include "platform/gui/DialogUnits.h"
#include "ui/MainDialogTemplate.h"

#include <QRect>

namespace korvane {

// The window changes height only through its plot: the plot and the volume slider beside it
// stretch, the controls below them move, nothing else changes. So the window fits a short screen
// and can be made taller, and no text is ever cut.

// How many dialog units of its height the plot may give up.
inline constexpr int kPlotGivesUpUnits = 42;

// The control's rectangle in pixels, with the plot extra pixels taller (shorter when negative).
QRect StretchedRect(const ControlTemplate& control, const DialogBaseUnits& units, int extra);

// The height the window opens at: its natural height, or less, down to its minimum, so that the
// window and its title bar fit the screen's available height.
int OpeningHeight(int natural, int minimum, int available, int titleBar);

} // namespace korvane
