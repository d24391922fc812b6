#include "web/CanvasPicture.h"

#include <cstddef>

namespace korvane {

// The plot is always drawn whole at (0, 0), so the picture is the canvas.
void CanvasPicture::ShowPicture(int /*x*/, int /*y*/, int width, int height, int stride,
                                const uint8_t* bottomUpRows) {
    m_rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    uint8_t* out = m_rgba.data();
    for (int row = height - 1; row >= 0; --row) {
        const uint8_t* in = bottomUpRows + static_cast<ptrdiff_t>(row) * stride;
        for (int column = 0; column < width; ++column, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 0xFF;
        }
    }
}

} // namespace korvane
