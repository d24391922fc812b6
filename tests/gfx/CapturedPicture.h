#pragma once

#include "gfx/GdiTypes.h"
#include "gfx/PictureTarget.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// Keeps what a surface hands over, top row first, and shows it as one character per pixel:
// '.' white, '#' black, 'r' the reference red, '?' anything else.
class CapturedPicture : public PictureTarget {
  public:
    void ShowPicture(int x, int y, int width, int height, int stride,
                     const uint8_t* bottomUpRows) override {
        ++m_calls;
        m_x = x;
        m_y = y;
        m_width = width;
        m_height = height;
        m_stride = stride;
        m_rowsAddress = bottomUpRows;
        m_pixels.assign(static_cast<std::size_t>(width) * height, 0);
        for (int row = 0; row < height; ++row) {
            const uint8_t* p = bottomUpRows + static_cast<std::size_t>(height - 1 - row) * stride;
            for (int column = 0; column < width; ++column, p += 3) {
                m_pixels[static_cast<std::size_t>(row) * width + column] = RGB(p[2], p[1], p[0]);
            }
        }
    }

    COLORREF At(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
    char Char(int x, int y) const {
        switch (At(x, y)) {
        case RGB(255, 255, 255):
            return '.';
        case RGB(0, 0, 0):
            return '#';
        case RGB(200, 0, 0):
            return 'r';
        default:
            return '?';
        }
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int y = 0; y < m_height; ++y) {
            std::string row;
            for (int x = 0; x < m_width; ++x) {
                row += Char(x, y);
            }
            rows.push_back(row);
        }
        return rows;
    }

    int m_calls = 0;
    int m_x = -1;
    int m_y = -1;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    const uint8_t* m_rowsAddress = nullptr;
    std::vector<COLORREF> m_pixels;
};

} // namespace korvane
