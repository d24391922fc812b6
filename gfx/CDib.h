#pragma once

#include "gfx/DibSection.h"
#include "gfx/GdiTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace korvane {

class MemoryDC;
class PictureTarget;

// Stride, image size and colour table offset read from a bitmap header. A header whose biSize
// is not 40 is a programming error: std::logic_error, which nothing catches.
struct DibGeometry {
    int32_t stride;
    int32_t imageSize;
};
DibGeometry GeometryOf(const BITMAPINFOHEADER& header);

// An off-screen device-independent bitmap: a header block (40-byte header and grey-ramp colour
// table), and a section of bottom-up pixel rows. Not copyable.
// A section selected into a MemoryDC must be deselected (or the DC destroyed) before the
// surface is cleared or destroyed.
class CDib {
  public:
    CDib();
    CDib(int32_t width, int32_t height, int32_t bitsPerPixel);
    ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    void Create(int32_t width, int32_t height, int32_t bitsPerPixel);
    // Makes the pixel memory; null when there is no header, a section exists already, or the
    // geometry cannot be held in memory. The device context is not needed for RGB colours.
    HBITMAP CreateSection(MemoryDC* dc);
    HBITMAP SelectInto(MemoryDC* dc);
    // Hands the rows 1:1 to the target. False only without a header. A surface without
    // pixels, or of another depth than 24 bits, puts nothing on the target.
    bool Draw(PictureTarget& dc, int x, int y);
    void Clear();

    const BITMAPINFOHEADER* Header() const { return m_header; }
    const RGBQUAD* ColorTable() const { return m_colorTable; }
    std::size_t HeaderBlockSize() const { return m_headerBlockSize; }
    bool HeaderOwned() const { return m_headerOwned; }
    int32_t Stride() const { return m_stride; }
    int32_t ImageSize() const { return m_imageSize; }
    int32_t ColorCount() const { return m_colorCount; }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    HBITMAP Section() const { return m_section.get(); }
    uint8_t* Pixels() const { return m_pixels; }

  private:
    RGBQUAD* m_colorTable = nullptr;
    int32_t m_stride = 0;
    BITMAPINFOHEADER* m_header = nullptr;
    std::unique_ptr<std::byte[]> m_headerBlock;
    std::size_t m_headerBlockSize = 0;
    bool m_headerOwned = false;
    int32_t m_imageSize = 0;
    int32_t m_colorCount = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::unique_ptr<DibSection> m_section;
    uint8_t* m_pixels = nullptr;
};

} // namespace korvane
