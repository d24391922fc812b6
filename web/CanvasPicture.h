#pragma once

#include "gfx/PictureTarget.h"

#include <cstdint>
#include <vector>

namespace korvane {

// The plot's picture as a canvas takes it: top-down rows of red, green, blue and alpha.
class CanvasPicture : public PictureTarget {
  public:
    void ShowPicture(int x, int y, int width, int height, int stride,
                     const uint8_t* bottomUpRows) override;

    const std::vector<uint8_t>& Rgba() const { return m_rgba; }

  private:
    std::vector<uint8_t> m_rgba;
};

} // namespace korvane
