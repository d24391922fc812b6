#pragma once

#include <cstdint>

namespace korvane {

// The in-memory shapes of the bitmap records the surface keeps. Their layout is the
// one every DIB reader expects, so the header block can be handed on byte for byte.

using COLORREF = uint32_t; // 0x00BBGGRR

constexpr COLORREF RGB(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<COLORREF>(red) | static_cast<COLORREF>(green) << 8 |
           static_cast<COLORREF>(blue) << 16;
}
constexpr uint8_t GetRValue(COLORREF color) {
    return static_cast<uint8_t>(color);
}
constexpr uint8_t GetGValue(COLORREF color) {
    return static_cast<uint8_t>(color >> 8);
}
constexpr uint8_t GetBValue(COLORREF color) {
    return static_cast<uint8_t>(color >> 16);
}

constexpr uint32_t BI_RGB = 0;

struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};
static_assert(sizeof(RGBQUAD) == 4);

struct RECT {
    int left;
    int top;
    int right;
    int bottom;
};

enum PenStyle { PS_SOLID = 0, PS_DASH = 1 };

// Cosmetic pen (width 0): always one pixel wide.
struct Pen {
    PenStyle style;
    COLORREF color;
};

struct SolidBrush {
    COLORREF color;
};

} // namespace korvane
