#include "gfx/LevelPlot.h"
#include "gfx/CDib.h"
#include "gfx/MemoryDC.h"
#include "tests/gfx/CapturedPicture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace korvane {
namespace {

using Rows = std::vector<std::string>;

CapturedPicture Plot(int width, int height, const std::vector<uint8_t>& levels,
                     int dynamicRange = 500, int volume = 500) {
    CapturedPicture picture;
    DrawLevelPlot(picture, width, height, levels, dynamicRange, volume);
    EXPECT_EQ(picture.m_calls, 1);
    EXPECT_EQ(picture.m_x, 0);
    EXPECT_EQ(picture.m_y, 0);
    EXPECT_EQ(picture.m_width, width);
    EXPECT_EQ(picture.m_height, height);
    return picture;
}

// A white picture with the reference line (18 red, 6 white, ...) across row y0.
Rows Blank(int width, int height, int y0) {
    Rows rows(height, std::string(width, '.'));
    for (int x = 0; x < width; ++x) {
        rows[y0][x] = x % 24 < 18 ? 'r' : '.';
    }
    return rows;
}

void Paint(Rows& rows, int x, int fromY, int toY) {
    for (int y = fromY; y <= toY; ++y) {
        rows[y][x] = '#';
    }
}

// The expected curve as the polyline through the given points, drawn by the DC whose raster
// rules the MemoryDC tests pin down, with the reference line over it.
Rows Polyline(int width, int height, int y0, const std::vector<std::pair<int, int>>& points) {
    CDib surface(width, height, 24);
    MemoryDC dc;
    surface.CreateSection(&dc);
    surface.SelectInto(&dc);
    dc.FillRect(RECT{0, 0, width, height}, SolidBrush{RGB(255, 255, 255)});
    dc.MoveTo(0, y0);
    for (const auto& [x, y] : points) {
        dc.LineTo(x, y);
    }
    dc.SelectObject(Pen{PS_DASH, RGB(200, 0, 0)});
    dc.MoveTo(0, y0);
    dc.LineTo(width, y0);
    CapturedPicture picture;
    surface.Draw(picture, 0, 0);
    return picture.Rows();
}

TEST(LevelPlot, EmptyPlotIsWhiteWithTheDashedLine) {
    EXPECT_EQ(Plot(30, 128, {}).Rows(), Blank(30, 128, 64));
    // H = 140: y0 = 1 + trunc(63 * 1.09375) = 69.
    EXPECT_EQ(Plot(30, 140, {}).Rows(), Blank(30, 140, 69));
    EXPECT_EQ(Plot(30, 140, {}, 0, 1000).Rows(), Blank(30, 140, 69));
}

TEST(LevelPlot, Height128PutsLevelsOnRows128MinusLevel) {
    // Columns 0..3 hold levels 127 (y 1), 64 (y 64), 1 (y 127), 1 (y 127).
    Rows expected = Blank(4, 128, 64);
    Paint(expected, 0, 1, 63);   // up from (0, 64) to (0, 1), then on towards (1, 64)
    Paint(expected, 1, 33, 63);  // the steep line's second half
    Paint(expected, 1, 65, 95);  // down from (1, 64) towards (2, 127)
    Paint(expected, 2, 96, 127); // (2, 127) painted by the last line, whose end (3, 127) is not
    EXPECT_EQ(Plot(4, 128, {127, 64, 1, 1}).Rows(), expected);
}

TEST(LevelPlot, ColumnsSharedByFourEntriesDrawOnlyWhatWidensThem) {
    // W = 100, N = 400: entries 4c..4c+3 share column c. Even columns hold levels
    // 100, 109, 105, 101 (rows 28, 19, 23, 27): 28 and 19 draw, the others lie inside.
    // Odd columns hold 20, 30, 11, 25 (rows 108, 98, 117, 103): 25 lies inside.
    std::vector<uint8_t> levels;
    std::vector<std::pair<int, int>> points;
    for (int c = 0; c < 100; ++c) {
        if (c % 2 == 0) {
            levels.insert(levels.end(), {100, 109, 105, 101});
            points.insert(points.end(), {{c, 28}, {c, 19}});
        } else {
            levels.insert(levels.end(), {20, 30, 11, 25});
            points.insert(points.end(), {{c, 108}, {c, 98}, {c, 117}});
        }
    }
    const Rows expected = Polyline(100, 128, 64, points);
    EXPECT_EQ(Plot(100, 128, levels).Rows(), expected);
    // The line from (0, 19) to (1, 108) leaves column 0 at row 63; had 101 drawn, it would
    // start at row 27 and reach row 67.
    EXPECT_EQ(expected[63].substr(0, 2), "#.");
    EXPECT_EQ(expected[65].substr(0, 2), ".#");
    EXPECT_EQ(expected[67].substr(0, 2), ".#");
}

TEST(LevelPlot, ColumnIsTheTruncatedProductEvenWhereItRoundsDown) {
    // 161 * (2.0 / 322) is just below 1, so entry 161 still belongs to column 0.
    std::vector<uint8_t> levels(322, 0);
    levels[160] = 127;
    levels[161] = 1;
    levels[321] = 127;
    EXPECT_EQ(Plot(2, 128, levels).Rows(), Polyline(2, 128, 64, {{0, 1}, {0, 127}, {1, 1}}));
    // 483 * (4.0 / 644) is 3 exactly: entry 483 opens column 3.
    levels.assign(644, 0);
    levels[482] = 127;
    levels[483] = 1;
    levels[643] = 127;
    EXPECT_EQ(Plot(4, 128, levels).Rows(), Polyline(4, 128, 64, {{2, 1}, {3, 127}, {3, 1}}));
}

TEST(LevelPlot, ZeroEntriesAreNotPlottedAndStartNoColumn) {
    // W = 2, N = 8: column 0 holds 100, 110, 0, 105; column 1 four times 21 (row 107).
    // The 0 neither draws nor resets column 0, so 105 (row 23) stays inside its extent.
    const Rows expected = Polyline(2, 128, 64, {{0, 28}, {0, 18}, {1, 107}});
    EXPECT_EQ(Plot(2, 128, {100, 110, 0, 105, 21, 21, 21, 21}).Rows(), expected);
    // A column of zeros draws nothing: the polyline joins its neighbours across it.
    const Rows joined = Polyline(3, 128, 64, {{0, 28}, {2, 107}});
    EXPECT_EQ(Plot(3, 128, {100, 0, 21}).Rows(), joined);
    // Only zeros: as if there were no levels.
    EXPECT_EQ(Plot(30, 128, std::vector<uint8_t>(90, 0)).Rows(), Blank(30, 128, 64));
}

TEST(LevelPlot, NoDynamicRangePutsEveryPointUnderTheDashes) {
    std::vector<uint8_t> levels;
    for (int i = 0; i < 256; ++i) {
        levels.push_back(static_cast<uint8_t>(i));
    }
    EXPECT_EQ(Plot(30, 128, levels, 0, 500).Rows(), Blank(30, 128, 64));
}

TEST(LevelPlot, VolumeExtremesPinTheCurveToTopAndBottom) {
    const std::vector<uint8_t> levels{10, 200, 64, 1};
    Rows silent = Blank(4, 128, 64);
    Paint(silent, 0, 1, 63);
    silent[1] = "###."; // the last point, (3, 1), is the unpainted end
    EXPECT_EQ(Plot(4, 128, levels, 500, 0).Rows(), silent);

    Rows loud = Blank(4, 128, 64);
    Paint(loud, 0, 65, 127);
    loud[127] = "###.";
    EXPECT_EQ(Plot(4, 128, levels, 500, 1000).Rows(), loud);
}

TEST(LevelPlot, NeutralSettingsPlotTheRecordedValues) {
    // W = N = 3, H = 200 (sy = 1.5625, y0 = 99): 104 at row 36, 64 at 99, 126 at 2.
    const Rows expected = Polyline(3, 200, 99, {{0, 36}, {1, 99}, {2, 2}});
    EXPECT_EQ(Plot(3, 200, {104, 64, 126}).Rows(), expected);
    EXPECT_EQ(expected[36].substr(0, 2), "#.");
    EXPECT_EQ(expected[3][2], '#');
    EXPECT_EQ(expected[2][2], '.'); // the curve's last end point
}

TEST(LevelPlot, SurfaceWithoutSectionDrawsNothing) {
    const std::vector<uint8_t> levels{1, 2, 3, 127};
    for (const auto& [width, height] : {std::pair{0, 140}, {520, 0}, {0, 0}, {-4, -4}}) {
        CapturedPicture picture;
        DrawLevelPlot(picture, width, height, levels, 500, 500);
        DrawLevelPlot(picture, width, height, {}, 500, 500);
        EXPECT_EQ(picture.m_calls, 0) << width << "x" << height;
    }
}

TEST(LevelPlot, TinySurfacesClipTheCurve) {
    EXPECT_EQ(Plot(1, 1, {1, 127, 64}).Rows(), Rows{"."});
    // H = 2: y0 = 1, so the reference line is the bottom row.
    EXPECT_EQ(Plot(3, 2, {127, 1, 64}).Rows(), (Rows{"...", "rrr"}));
}

TEST(LevelPlot, PaintsIntoTheSelectedSection) {
    CDib surface(30, 128, 24);
    MemoryDC dc;
    surface.CreateSection(&dc);
    surface.SelectInto(&dc);
    PaintLevelPlot(dc, 30, 128, {}, 500, 500);
    CapturedPicture picture;
    surface.Draw(picture, 0, 0);
    EXPECT_EQ(picture.Rows(), Blank(30, 128, 64));
}

// Levels of channels left unmapped are drawn as read whatever the settings; the others mapped.
TEST(LevelPlot, UnmappedLevelsDrawnUnchanged) {
    const std::vector<uint8_t> marked{0x80 | 100, 0x80 | 20, 0x80 | 127, 90};
    const std::vector<uint8_t> asRead{100, 20, 127, 1}; // 90 at volume 1000 maps to 1
    CapturedPicture limited;
    DrawLevelPlot(limited, 40, 128, marked, 1000, 1000, true);
    EXPECT_EQ(limited.m_pixels, Plot(40, 128, asRead).m_pixels);
    // Unmarked, the same bytes are mapped levels like any other.
    CapturedPicture all;
    DrawLevelPlot(all, 40, 128, marked, 1000, 1000, false);
    EXPECT_NE(all.m_pixels, limited.m_pixels);
}

// With a peak, the marked Note On velocities are drawn with its gain, the others mapped, the
// unmapped as read: here volume 750 halves 74 to 37, and the gain 127 / 37 takes 37 to 127 and
// 20 (40 halved) to 69 (68.6).
TEST(LevelPlot, MarkedNoteOnsDrawnWithTheGain) {
    const std::vector<uint8_t> levels{74, 40, 40, 0x80 | 90};
    const std::vector<uint8_t> marks{1, 1, 0, 0};
    CapturedPicture peak;
    DrawLevelPlot(peak, 40, 128, levels, 500, 750, true, {127, 74, &marks});
    EXPECT_EQ(peak.m_pixels, Plot(40, 128, {127, 69, 20, 90}).m_pixels);
    // Without a peak the marks change nothing.
    CapturedPicture none;
    DrawLevelPlot(none, 40, 128, levels, 500, 750, true, {0, 74, &marks});
    EXPECT_EQ(none.m_pixels, Plot(40, 128, {37, 20, 20, 90}).m_pixels);
}

} // namespace
} // namespace korvane
