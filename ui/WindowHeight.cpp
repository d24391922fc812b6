#include "ui/WindowHeight.h"

#include <algorithm>

namespace korvane {
namespace {
constexpr ControlTemplate kPlot = kMainDialogTemplate[6];
static_assert(kPlot.id == kLevelView);
constexpr int kBelowPlot = kPlot.y + kPlot.height;
} // namespace

QRect StretchedRect(const ControlTemplate& control, const DialogBaseUnits& units, int extra) {
    QRect rect =
        DialogUnitsToPixels(QRect(control.x, control.y, control.width, control.height), units);
    if (control.id == kLevelView || control.id == kVolumeSlider) {
        rect.setBottom(rect.bottom() + extra);
    } else if (control.y >= kBelowPlot) {
        rect.translate(0, extra);
    }
    return rect;
}

int OpeningHeight(int natural, int minimum, int available, int titleBar) {
    return std::clamp(available - titleBar, minimum, natural);
}

} // namespace korvane
