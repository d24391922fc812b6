#include "gfx/CDib.h"
#include "gfx/LevelPlot.h"
#include "gfx/MemoryDC.h"
#include "midi/LevelMap.h"
#include "tests/gfx/CapturedPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <utility>
#include <vector>

namespace korvane {
namespace {

// What the rules say about one pixel column that holds plotted points.
struct Column {
    int top = 1 << 30;
    int bottom = -1;
    std::size_t topFirst = 0;    // index of the first entry reaching the top
    std::size_t bottomFirst = 0; // index of the first entry reaching the bottom
};

struct Case {
    int width;
    int height;
    int dynamicRange;
    int volume;
    std::vector<uint8_t> levels;
};

Case RandomCase(std::mt19937& random) {
    Case c;
    c.width = std::uniform_int_distribution<int>(1, 300)(random);
    c.height = std::uniform_int_distribution<int>(1, 200)(random);
    c.dynamicRange = std::uniform_int_distribution<int>(0, 1000)(random);
    c.volume = std::uniform_int_distribution<int>(0, 1000)(random);
    const int n = std::uniform_int_distribution<int>(1, 3000)(random);
    // Mostly ordinary levels, some zeros and some damaged bytes above 127.
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> level(1, 127);
    std::uniform_int_distribution<int> damaged(128, 255);
    for (int i = 0; i < n; ++i) {
        const int k = kind(random);
        c.levels.push_back(static_cast<uint8_t>(k == 0   ? 0
                                                : k == 1 ? damaged(random)
                                                         : level(random)));
    }
    return c;
}

// Where the rules put entry i of the plot: nothing for a level that maps to 0.
struct Scales {
    double sx;
    double sy;
    int y0;
};

Scales ScalesOf(const Case& c) {
    const double sy = c.height * 0.0078125;
    return {static_cast<double>(c.width) / static_cast<double>(c.levels.size()), sy,
            1 + static_cast<int>(63 * sy)};
}

std::optional<std::pair<int, int>> PointOf(const Case& c, const Scales& scales, std::size_t i) {
    const int m = MapLevel(c.levels[i], c.dynamicRange, c.volume);
    if (m == 0) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(static_cast<double>(i) * scales.sx),
                     static_cast<int>((127 - m) * scales.sy) + 1};
}

void CheckCase(const Case& c) {
    CapturedPicture picture;
    DrawLevelPlot(picture, c.width, c.height, c.levels, c.dynamicRange, c.volume);
    ASSERT_EQ(picture.m_calls, 1);
    const Scales scales = ScalesOf(c);
    const int y0 = scales.y0;

    std::map<int, Column> columns;
    for (std::size_t i = 0; i < c.levels.size(); ++i) {
        const auto point = PointOf(c, scales, i);
        if (!point) {
            continue;
        }
        const auto [x, y] = *point;
        Column& column = columns[x];
        if (y < column.top) {
            column.top = y;
            column.topFirst = i;
        }
        if (y > column.bottom) {
            column.bottom = y;
            column.bottomFirst = i;
        }
    }

    // The extremes of every column are painted, but for the curve's last end point and what
    // lies under the reference line or outside the surface.
    const auto covered = [&](int y) { return y == y0 || y >= c.height; };
    if (!columns.empty()) {
        const auto& [lastX, last] = *columns.rbegin();
        const int lastY = last.topFirst > last.bottomFirst ? last.top : last.bottom;
        for (const auto& [x, column] : columns) {
            for (const int y : {column.top, column.bottom}) {
                if (covered(y) || (x == lastX && y == lastY)) {
                    continue;
                }
                EXPECT_EQ(picture.Char(x, y), '#') << "extreme at " << x << "," << y;
            }
        }
    }

    // Every black pixel lies within the rows reached by its column and the connecting lines
    // to the nearest plotted columns on either side (from the start at y0 for the first).
    for (int x = 0; x < c.width; ++x) {
        int low = 1 << 30;
        int high = -1;
        const auto widen = [&](const Column& column) {
            low = std::min(low, column.top);
            high = std::max(high, column.bottom);
        };
        const auto firstAtOrAfter = columns.lower_bound(x);
        if (firstAtOrAfter == columns.begin()) {
            widen(Column{y0, y0}); // the curve starts at (0, y0)
        } else {
            widen(std::prev(firstAtOrAfter)->second);
        }
        if (const auto self = columns.find(x); self != columns.end()) {
            widen(self->second);
        }
        if (const auto next = columns.upper_bound(x); next != columns.end()) {
            widen(next->second);
        }
        for (int y = 0; y < c.height; ++y) {
            const char pixel = picture.Char(x, y);
            ASSERT_NE(pixel, '?') << x << "," << y;
            if (y == y0) {
                EXPECT_EQ(pixel, x % 24 < 18 ? 'r' : '.') << "reference line at " << x;
            } else if (pixel == '#') {
                EXPECT_TRUE(y >= low && y <= high) << "stray pixel at " << x << "," << y;
            }
        }
    }
}

// The drawing steps one entry at a time, as the rules state them, on a DC of its own.
std::vector<COLORREF> StepByStep(const Case& c) {
    CDib surface(c.width, c.height, 24);
    MemoryDC dc;
    surface.CreateSection(&dc);
    surface.SelectInto(&dc);
    dc.FillRect(RECT{0, 0, c.width, c.height}, SolidBrush{RGB(255, 255, 255)});
    const Scales scales = ScalesOf(c);
    const int y0 = scales.y0;
    dc.MoveTo(0, y0);
    int lastColumn = -999;
    int top = 999;
    int bottom = -999;
    for (std::size_t i = 0; i < c.levels.size(); ++i) {
        const auto point = PointOf(c, scales, i);
        if (!point) {
            continue;
        }
        const auto [x, y] = *point;
        if (x != lastColumn) {
            top = 999;
            bottom = -999;
            lastColumn = x;
        }
        if (y > bottom) {
            bottom = y;
            dc.LineTo(x, y);
        }
        if (y < top) {
            top = y;
            dc.LineTo(x, y);
        }
    }
    dc.SelectObject(Pen{PS_DASH, RGB(200, 0, 0)});
    dc.MoveTo(0, y0);
    dc.LineTo(c.width, y0);
    CapturedPicture picture;
    surface.Draw(picture, 0, 0);
    return picture.m_pixels;
}

TEST(LevelPlotProperty, MatchesTheStepByStepRules) {
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        Case c = RandomCase(random);
        if (round % 3 == 0) { // many entries per column
            c.width = std::uniform_int_distribution<int>(1, 40)(random);
        }
        CapturedPicture picture;
        DrawLevelPlot(picture, c.width, c.height, c.levels, c.dynamicRange, c.volume);
        ASSERT_EQ(picture.m_pixels, StepByStep(c))
            << "round " << round << ": W " << c.width << " H " << c.height << " N "
            << c.levels.size() << " D " << c.dynamicRange << " V " << c.volume;
    }
}

TEST(LevelPlotProperty, ExtremesArePaintedAndNothingStrays) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        const Case c = RandomCase(random);
        SCOPED_TRACE(testing::Message()
                     << "round " << round << ": W " << c.width << " H " << c.height << " N "
                     << c.levels.size() << " D " << c.dynamicRange << " V " << c.volume);
        CheckCase(c);
        if (HasFailure()) {
            break;
        }
    }
}

} // namespace
} // namespace korvane
