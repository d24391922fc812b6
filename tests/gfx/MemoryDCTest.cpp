#include "gfx/MemoryDC.h"
#include "gfx/CDib.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace korvane {
namespace {

// A white 24-bit surface of the given size with a DC drawing into it.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF background = RGB(255, 255, 255))
        : m_surface(width, height, 24) {
        m_surface.CreateSection(&m_dc);
        m_surface.SelectInto(&m_dc);
        m_dc.FillRect(RECT{0, 0, width, height}, SolidBrush{background});
    }
    MemoryDC& Dc() { return m_dc; }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int y = 0; y < m_surface.Height(); ++y) {
            std::string row;
            for (int x = 0; x < m_surface.Width(); ++x) {
                switch (m_dc.GetPixel(x, y)) {
                case RGB(255, 255, 255):
                    row += '.';
                    break;
                case RGB(0, 0, 0):
                    row += '#';
                    break;
                case RGB(200, 0, 0):
                    row += 'r';
                    break;
                default:
                    row += '?';
                }
            }
            rows.push_back(row);
        }
        return rows;
    }

  private:
    CDib m_surface;
    MemoryDC m_dc;
};

struct LineCase {
    const char* name;
    int x0, y0, x1, y1;
    std::vector<std::string> expected;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << "(" << c.x0 << "," << c.y0 << ")-(" << c.x1 << "," << c.y1 << ")";
}

class LineTo : public testing::TestWithParam<LineCase> {};

TEST_P(LineTo, PaintsStartAndNotEnd) {
    const LineCase& c = GetParam();
    Canvas canvas(6, 5);
    canvas.Dc().MoveTo(c.x0, c.y0);
    canvas.Dc().LineTo(c.x1, c.y1);
    EXPECT_EQ(canvas.Rows(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineTo,
    testing::Values(
        LineCase{"Right", 1, 1, 5, 1, {"......", ".####.", "......", "......", "......"}},
        LineCase{"Left", 5, 1, 1, 1, {"......", "..####", "......", "......", "......"}},
        LineCase{"Down", 2, 0, 2, 4, {"..#...", "..#...", "..#...", "..#...", "......"}},
        LineCase{"Up", 2, 4, 2, 0, {"......", "..#...", "..#...", "..#...", "..#..."}},
        LineCase{"DiagonalDown", 0, 0, 4, 4, {"#.....", ".#....", "..#...", "...#..", "......"}},
        LineCase{"DiagonalUp", 4, 4, 0, 0, {"......", ".#....", "..#...", "...#..", "....#."}},
        LineCase{"DiagonalUpRight", 1, 4, 5, 0, {"......", "....#.", "...#..", "..#...", ".#...."}},
        LineCase{"Shallow", 0, 0, 6, 2, {"##....", "..###.", ".....#", "......", "......"}},
        LineCase{"Steep", 0, 0, 2, 6, {"#.....", "#.....", ".#....", ".#....", ".#...."}},
        // The one tie: halfway at x = 2, the row of the start point is kept.
        LineCase{"Tie", 0, 0, 4, 1, {"###...", "...#..", "......", "......", "......"}},
        LineCase{"ZeroLength", 3, 2, 3, 2, {"......", "......", "......", "......", "......"}},
        LineCase{"PartlyOutside", -2, 2, 3, 2, {"......", "......", "###...", "......", "......"}},
        LineCase{"OutsideOnly", -5, -1, 9, -1, {"......", "......", "......", "......", "......"}}),
    [](const testing::TestParamInfo<LineCase>& param) { return param.param.name; });

TEST(MemoryDC, PolylineJointsArePaintedByTheNextSegment) {
    Canvas canvas(6, 5);
    canvas.Dc().MoveTo(0, 0);
    canvas.Dc().LineTo(3, 0);
    canvas.Dc().LineTo(3, 3);
    canvas.Dc().LineTo(0, 3);
    EXPECT_EQ(canvas.Rows(),
              (std::vector<std::string>{"####..", "...#..", "...#..", ".###..", "......"}));
}

// Dashes of 18 pixels, gaps of 6 painted white over whatever lay beneath.
std::string DashRow(int length, int start = 0) {
    std::string row;
    for (int i = start; i < start + length; ++i) {
        row += i % 24 < 18 ? 'r' : '.';
    }
    return row;
}

TEST(MemoryDC, DashedPenPaintsItsGapsWhite) {
    Canvas canvas(60, 2, RGB(0, 0, 0));
    canvas.Dc().SelectObject(Pen{PS_DASH, RGB(200, 0, 0)});
    canvas.Dc().MoveTo(0, 1);
    canvas.Dc().LineTo(60, 1);
    const std::string expected = "rrrrrrrrrrrrrrrrrr......rrrrrrrrrrrrrrrrrr......rrrrrrrrrrrr";
    EXPECT_EQ(canvas.Rows(), (std::vector<std::string>{std::string(60, '#'), expected}));
    EXPECT_EQ(expected, DashRow(60));
}

TEST(MemoryDC, DashPatternRunsOnAcrossJointsAndRestartsAtMoveTo) {
    Canvas canvas(40, 3);
    canvas.Dc().SelectObject(Pen{PS_DASH, RGB(200, 0, 0)});
    canvas.Dc().MoveTo(0, 0);
    canvas.Dc().LineTo(10, 0);
    canvas.Dc().LineTo(40, 0);
    canvas.Dc().MoveTo(-20, 2); // 20 clipped pixels still advance the pattern
    canvas.Dc().LineTo(40, 2);
    const std::vector<std::string> rows = canvas.Rows();
    EXPECT_EQ(rows[0], DashRow(40));
    EXPECT_EQ(rows[1], std::string(40, '.'));
    EXPECT_EQ(rows[2], DashRow(40, 20));
}

TEST(MemoryDC, SolidPenAfterDashedPenIsSolid) {
    Canvas canvas(30, 1);
    canvas.Dc().SelectObject(Pen{PS_DASH, RGB(200, 0, 0)});
    const Pen dashed = canvas.Dc().SelectObject(Pen{PS_SOLID, RGB(0, 0, 0)});
    EXPECT_EQ(dashed.style, PS_DASH);
    canvas.Dc().MoveTo(0, 0);
    canvas.Dc().LineTo(30, 0);
    EXPECT_EQ(canvas.Rows()[0], std::string(30, '#'));
}

TEST(MemoryDC, FillRectIsClippedAndExcludesRightAndBottom) {
    Canvas canvas(5, 4);
    canvas.Dc().FillRect(RECT{-3, 1, 3, 3}, SolidBrush{RGB(0, 0, 0)});
    canvas.Dc().FillRect(RECT{4, 3, 99, 99}, SolidBrush{RGB(200, 0, 0)});
    EXPECT_EQ(canvas.Rows(), (std::vector<std::string>{".....", "###..", "###..", "....r"}));
}

TEST(MemoryDC, WithoutSurfaceDrawsNothingAndKeepsPosition) {
    MemoryDC dc;
    dc.FillRect(RECT{0, 0, 10, 10}, SolidBrush{RGB(0, 0, 0)});
    dc.MoveTo(0, 0);
    dc.LineTo(5, 5);
    EXPECT_EQ(dc.GetPixel(0, 0), MemoryDC::CLR_INVALID);

    CDib surface(6, 1, 24);
    surface.CreateSection(&dc);
    EXPECT_EQ(surface.SelectInto(&dc), nullptr);
    dc.FillRect(RECT{0, 0, 6, 1}, SolidBrush{RGB(255, 255, 255)});
    dc.LineTo(5, 0); // from (5, 5): clipped, and its end (5, 0) stays unpainted
    dc.MoveTo(0, 0);
    dc.LineTo(2, 0);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(2, 0), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(5, 0), RGB(255, 255, 255));
    EXPECT_EQ(dc.SelectObject(HBITMAP{nullptr}), surface.Section());
}

TEST(MemoryDC, WritesBottomUpBlueGreenRedRows) {
    CDib surface(2, 2, 24);
    MemoryDC dc;
    surface.CreateSection(&dc);
    surface.SelectInto(&dc);
    dc.FillRect(RECT{0, 0, 2, 2}, SolidBrush{RGB(1, 2, 3)});
    dc.FillRect(RECT{1, 0, 2, 1}, SolidBrush{RGB(10, 20, 30)});    // top right
    const std::vector<uint8_t> expected{3, 2, 1, 3,  2,  1,  0, 0, // bottom row, padded
                                        3, 2, 1, 30, 20, 10, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(surface.Pixels(), surface.Pixels() + surface.ImageSize()),
              expected);
}

} // namespace
} // namespace korvane
