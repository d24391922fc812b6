#include "gfx/LevelPlot.h"

#include "gfx/CDib.h"
#include "midi/LevelMap.h"
#include "midi/NoteGain.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace korvane {
namespace {

constexpr int kTopNone = 999;
constexpr int kBottomNone = -999;

// The row of every byte value, MapLevel evaluated once per byte. A byte that maps to 0 is not
// plotted: its row for the bottom test is below every extent and for the top test above it,
// so it never widens a column and never touches the column state.
struct RowTables {
    std::array<int, 256> forBottom;
    std::array<int, 256> forTop;
};

RowTables BuildRowTables(double sy, const LevelTable& levels) {
    RowTables rows{};
    for (std::size_t b = 0; b < levels.size(); ++b) {
        const int m = levels[b];
        const int y = static_cast<int>((127 - m) * sy) + 1;
        rows.forBottom[b] = m == 0 ? std::numeric_limits<int>::min() : y;
        rows.forTop[b] = m == 0 ? std::numeric_limits<int>::max() : y;
    }
    return rows;
}

int ColumnOf(std::size_t i, double sx) {
    return static_cast<int>(static_cast<double>(i) * sx);
}

// The first entry after `begin` that lies in a later column than `begin`. Columns never
// decrease with i, so the estimate is corrected by stepping until ColumnOf itself agrees.
std::size_t ColumnEnd(std::size_t begin, std::size_t n, double sx) {
    const int x = ColumnOf(begin, sx);
    const double estimate = std::ceil((x + 1.0) / sx);
    std::size_t end = estimate >= static_cast<double>(n)
                          ? n
                          : std::max(begin + 1, static_cast<std::size_t>(estimate));
    while (end > begin + 1 && ColumnOf(end - 1, sx) > x) {
        --end;
    }
    while (end < n && ColumnOf(end, sx) == x) {
        ++end;
    }
    return end;
}

// Within a column only a point beyond the column's extent so far draws; the first point of a
// column draws twice (the second line has no length and paints nothing). The column state is
// reset where a new column begins; for a column holding only unplotted entries that reset is
// never observed, as the next plotted entry starts a new column anyway.
// With marks, a level marked 1 takes the second of the tables.
template <bool Marked>
void PaintCurve(MemoryDC& dc, int width, const std::vector<uint8_t>& levels,
                const RowTables* tables, const uint8_t* marks) {
    const std::size_t n = levels.size();
    const double sx = static_cast<double>(width) / static_cast<double>(n);
    for (std::size_t begin = 0; begin < n;) {
        const std::size_t end = ColumnEnd(begin, n, sx);
        const int x = ColumnOf(begin, sx);
        int columnTop = kTopNone;
        int columnBottom = kBottomNone;
        for (std::size_t i = begin; i < end; ++i) {
            const uint8_t level = levels[i];
            const RowTables& rows = tables[Marked ? marks[i] & 1 : 0];
            if (rows.forBottom[level] > columnBottom) {
                columnBottom = rows.forBottom[level];
                dc.LineTo(x, columnBottom);
            }
            if (rows.forTop[level] < columnTop) {
                columnTop = rows.forTop[level];
                dc.LineTo(x, columnTop);
            }
        }
        begin = end;
    }
}

} // namespace

void PaintLevelPlot(MemoryDC& dc, int width, int height, const std::vector<uint8_t>& levels,
                    int dynamicRange, int volume, bool unmappedMarked, const PlottedPeak& peak) {
    dc.FillRect(RECT{0, 0, width, height}, SolidBrush{RGB(255, 255, 255)});
    const double sy = height * 0.0078125;
    const int y0 = 1 + static_cast<int>(63 * sy);
    dc.MoveTo(0, y0);
    dc.SelectObject(Pen{PS_SOLID, RGB(0, 0, 0)});
    // A negative width has no columns to place entries in.
    if (!levels.empty() && width >= 0) {
        const LevelTable shown = BuildShownLevelTable(dynamicRange, volume, unmappedMarked);
        const bool marked =
            peak.noteOnMarks != nullptr && peak.noteOnMarks->size() == levels.size();
        if (marked) {
            const NoteGain gain =
                NoteGain::For(peak.peak, peak.loudestNoteOn, dynamicRange, volume);
            const RowTables tables[] = {BuildRowTables(sy, shown),
                                        BuildRowTables(sy, BuildNoteOnTable(shown, gain))};
            PaintCurve<true>(dc, width, levels, tables, peak.noteOnMarks->data());
        } else {
            const RowTables tables[] = {BuildRowTables(sy, shown)};
            PaintCurve<false>(dc, width, levels, tables, nullptr);
        }
    }
    dc.SelectObject(Pen{PS_DASH, RGB(200, 0, 0)});
    dc.MoveTo(0, y0);
    dc.LineTo(width, y0);
}

void DrawLevelPlot(PictureTarget& target, int width, int height, const std::vector<uint8_t>& levels,
                   int dynamicRange, int volume, bool unmappedMarked, const PlottedPeak& peak) {
    CDib surface(width, height, 24);
    MemoryDC dc; // declared after the surface, so it lets go of the section first
    surface.CreateSection(&dc);
    surface.SelectInto(&dc);
    PaintLevelPlot(dc, width, height, levels, dynamicRange, volume, unmappedMarked, peak);
    surface.Draw(target, 0, 0);
}

} // namespace korvane
