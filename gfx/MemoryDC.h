#pragma once

#include "gfx/DibSection.h"
#include "gfx/GdiTypes.h"

#include <cstddef>
#include <cstdint>

namespace korvane {

// A memory device context that draws straight into the 24-bit section selected into it, by the
// rules of GDI: cosmetic one-pixel pens, LineTo leaves its end point unpainted, dashed pens
// paint their gaps in the opaque white background colour. Without a 24-bit section selected,
// drawing calls paint nothing. Everything outside the section is clipped.
class MemoryDC {
  public:
    // Returns the section selected before (null at first).
    HBITMAP SelectObject(HBITMAP bitmap);
    // Returns the pen selected before (a black solid pen at first).
    Pen SelectObject(const Pen& pen);

    // Fills left <= x < right, top <= y < bottom.
    void FillRect(const RECT& rect, const SolidBrush& brush);
    // Sets the current position; restarts the dash pattern.
    void MoveTo(int x, int y);
    // Paints from the current position up to, but not including, (x, y); then moves there.
    void LineTo(int x, int y);

    // The colour at (x, y), or CLR_INVALID outside the section.
    COLORREF GetPixel(int x, int y) const;
    static constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

  private:
    bool CanDraw() const { return m_bitmap != nullptr && m_bitmap->bitCount == 24; }
    void SetPixel(int x, int y, COLORREF color);
    std::size_t PixelOffset(int x, int y) const;
    uint8_t* PixelAddress(int x, int y);
    COLORREF NextPenColor();

    HBITMAP m_bitmap = nullptr;
    Pen m_pen{PS_SOLID, RGB(0, 0, 0)};
    int m_x = 0;
    int m_y = 0;
    int m_dashStep = 0;
};

} // namespace korvane
