#include "gfx/MemoryDC.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace korvane {
namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255); // opaque background mode, white
// PS_DASH: 18 pixels on, 6 pixels off, counted pixel by pixel along the lines drawn since the
// last MoveTo, so the pattern runs on across the joints of a polyline.
constexpr int kDashOn = 18;
constexpr int kDashPeriod = 24;

} // namespace

HBITMAP MemoryDC::SelectObject(HBITMAP bitmap) {
    const HBITMAP previous = m_bitmap;
    m_bitmap = bitmap;
    return previous;
}

Pen MemoryDC::SelectObject(const Pen& pen) {
    const Pen previous = m_pen;
    m_pen = pen;
    return previous;
}

void MemoryDC::FillRect(const RECT& rect, const SolidBrush& brush) {
    if (!CanDraw()) {
        return;
    }
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, m_bitmap->width);
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, m_bitmap->height);
    if (left >= right || top >= bottom) {
        return;
    }
    // Paint one row, then copy it to the others.
    for (int x = left; x < right; ++x) {
        SetPixel(x, top, brush.color);
    }
    const std::size_t bytes = static_cast<std::size_t>(right - left) * 3;
    const uint8_t* first = PixelAddress(left, top);
    for (int y = top + 1; y < bottom; ++y) {
        std::memcpy(PixelAddress(left, y), first, bytes);
    }
}

void MemoryDC::MoveTo(int x, int y) {
    m_x = x;
    m_y = y;
    m_dashStep = 0;
}

// Bresenham along the major axis. The error term decides a minor step only when the true line
// lies strictly beyond the midpoint between two pixels; on an exact tie the pixel nearer the
// start point's row (or column) is kept.
void MemoryDC::LineTo(int x, int y) {
    const long long dx = std::llabs(static_cast<long long>(x) - m_x);
    const long long dy = std::llabs(static_cast<long long>(y) - m_y);
    const int stepX = x > m_x ? 1 : -1;
    const int stepY = y > m_y ? 1 : -1;
    const bool xMajor = dx >= dy;
    const long long major = xMajor ? dx : dy;
    const long long minor = xMajor ? dy : dx;
    long long error = 2 * minor - major;
    int px = m_x;
    int py = m_y;
    m_x = x;
    m_y = y;
    if (!CanDraw()) {
        m_dashStep = static_cast<int>((m_dashStep + major) % kDashPeriod);
        return;
    }
    for (long long k = 0; k < major; ++k) {
        SetPixel(px, py, NextPenColor());
        if (error > 0) {
            (xMajor ? py : px) += xMajor ? stepY : stepX;
            error -= 2 * major;
        }
        error += 2 * minor;
        (xMajor ? px : py) += xMajor ? stepX : stepY;
    }
}

COLORREF MemoryDC::GetPixel(int x, int y) const {
    if (!CanDraw() || x < 0 || y < 0 || x >= m_bitmap->width || y >= m_bitmap->height) {
        return CLR_INVALID;
    }
    const uint8_t* p = m_bitmap->bits.data() + PixelOffset(x, y);
    return RGB(p[2], p[1], p[0]);
}

void MemoryDC::SetPixel(int x, int y, COLORREF color) {
    if (x < 0 || y < 0 || x >= m_bitmap->width || y >= m_bitmap->height) {
        return;
    }
    uint8_t* p = PixelAddress(x, y);
    p[0] = GetBValue(color);
    p[1] = GetGValue(color);
    p[2] = GetRValue(color);
}

// Rows are stored bottom-up.
std::size_t MemoryDC::PixelOffset(int x, int y) const {
    return static_cast<std::size_t>(m_bitmap->height - 1 - y) * m_bitmap->stride +
           static_cast<std::size_t>(x) * 3;
}

uint8_t* MemoryDC::PixelAddress(int x, int y) {
    return m_bitmap->bits.data() + PixelOffset(x, y);
}

COLORREF MemoryDC::NextPenColor() {
    if (m_pen.style != PS_DASH) {
        return m_pen.color;
    }
    const bool on = m_dashStep < kDashOn;
    m_dashStep = (m_dashStep + 1) % kDashPeriod;
    return on ? m_pen.color : kBackground;
}

} // namespace korvane
