#include "LevelPlot.h"

#include "CDib.h"
#include "LevelMap.h"

#include <array>

namespace {

constexpr int kColumnNone = -999;
constexpr int kTopNone = 999;
constexpr int kBottomNone = -999;
constexpr int kSkip = -1; // a byte that maps to 0 is not plotted

// The row of every byte value: MapLevel once per byte, the row rule once per byte.
std::array<int, 256> BuildRowTable(double sy, int dynamicRange, int volume) {
    const LevelTable levels = BuildLevelTable(dynamicRange, volume);
    std::array<int, 256> rows{};
    for (std::size_t b = 0; b < rows.size(); ++b) {
        const int m = levels[b];
        rows[b] = m == 0 ? kSkip : static_cast<int>((127 - m) * sy) + 1;
    }
    return rows;
}

// Within a column only a point beyond the column's extent so far draws; the first point of a
// column draws twice (the second line has no length and paints nothing).
void PaintCurve(MemoryDC& dc, int width, double sy, const std::vector<uint8_t>& levels,
                int dynamicRange, int volume) {
    const std::array<int, 256> rows = BuildRowTable(sy, dynamicRange, volume);
    const double sx = static_cast<double>(width) / static_cast<double>(levels.size());
    int lastColumn = kColumnNone;
    int columnTop = kTopNone;
    int columnBottom = kBottomNone;
    const std::size_t n = levels.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int y = rows[levels[i]];
        if (y == kSkip) {
            continue;
        }
        const int x = static_cast<int>(static_cast<double>(i) * sx);
        if (x != lastColumn) {
            columnTop = kTopNone;
            columnBottom = kBottomNone;
            lastColumn = x;
        }
        if (y > columnBottom) {
            columnBottom = y;
            dc.LineTo(x, y);
        }
        if (y < columnTop) {
            columnTop = y;
            dc.LineTo(x, y);
        }
    }
}

} // namespace

void PaintLevelPlot(MemoryDC& dc, int width, int height, const std::vector<uint8_t>& levels,
                    int dynamicRange, int volume) {
    dc.FillRect(RECT{0, 0, width, height}, SolidBrush{RGB(255, 255, 255)});
    const double sy = height * 0.0078125;
    const int y0 = 1 + static_cast<int>(63 * sy);
    dc.MoveTo(0, y0);
    dc.SelectObject(Pen{PS_SOLID, RGB(0, 0, 0)});
    if (!levels.empty()) {
        PaintCurve(dc, width, sy, levels, dynamicRange, volume);
    }
    dc.SelectObject(Pen{PS_DASH, RGB(200, 0, 0)});
    dc.MoveTo(0, y0);
    dc.LineTo(width, y0);
}

void DrawLevelPlot(PictureTarget& target, int width, int height, const std::vector<uint8_t>& levels,
                   int dynamicRange, int volume) {
    CDib surface(width, height, 24);
    MemoryDC dc; // declared after the surface, so it lets go of the section first
    surface.CreateSection(&dc);
    surface.MakePalette();
    surface.SelectInto(&dc);
    PaintLevelPlot(dc, width, height, levels, dynamicRange, volume);
    surface.Draw(target, 0, 0);
}
