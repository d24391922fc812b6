#pragma once

#include <cstdint>

namespace korvane {

// Where a surface's finished picture goes: the screen side keeps the rows and shows them 1:1.
class PictureTarget {
  public:
    virtual ~PictureTarget() = default;
    // Rows are 24-bit blue-green-red pixels, `stride` bytes apart, the bottom row first; they
    // are valid only during the call. (x, y) is the destination's top left corner.
    virtual void ShowPicture(int x, int y, int width, int height, int stride,
                             const uint8_t* bottomUpRows) = 0;
};

} // namespace korvane
