#include "gfx/CDib.h"

#include "gfx/MemoryDC.h"
#include "gfx/PictureTarget.h"

#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace korvane {
namespace {

constexpr std::size_t kHeaderSize = 40;

int32_t ColorCountFor(int32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

// Geometry that does not fit the 32-bit fields is stored as 0, so no section can be made for it.
int32_t Fit(long long value) {
    if (value < 0 || value > std::numeric_limits<int32_t>::max()) {
        return 0;
    }
    return static_cast<int32_t>(value);
}

} // namespace

DibGeometry GeometryOf(const BITMAPINFOHEADER& header) {
    if (header.biSize != kHeaderSize) {
        throw std::logic_error("bitmap header size is not 40");
    }
    const long long rowBits = static_cast<long long>(header.biBitCount) * header.biWidth;
    const long long stride = 4 * ((rowBits + 31) / 32);
    const int32_t fitStride = Fit(stride);
    const long long imageSize = header.biSizeImage != 0
                                    ? static_cast<long long>(header.biSizeImage)
                                    : static_cast<long long>(header.biHeight) * fitStride;
    return {fitStride, Fit(imageSize)};
}

CDib::CDib() = default;

CDib::CDib(int32_t width, int32_t height, int32_t bitsPerPixel) {
    Create(width, height, bitsPerPixel);
}

CDib::~CDib() {
    Clear();
}

void CDib::Create(int32_t width, int32_t height, int32_t bitsPerPixel) {
    Clear();
    const int32_t n = ColorCountFor(bitsPerPixel);
    m_headerBlockSize = kHeaderSize + 4 * static_cast<std::size_t>(n);
    m_headerBlock = std::make_unique<std::byte[]>(m_headerBlockSize);
    m_headerOwned = true;
    m_header = new (m_headerBlock.get()) BITMAPINFOHEADER{};
    m_header->biSize = kHeaderSize;
    m_header->biWidth = width;
    m_header->biHeight = height;
    m_header->biPlanes = 1;
    m_header->biBitCount = static_cast<uint16_t>(bitsPerPixel);
    m_header->biCompression = BI_RGB;
    m_header->biClrUsed = static_cast<uint32_t>(n);
    m_header->biClrImportant = static_cast<uint32_t>(n);

    const DibGeometry geometry = GeometryOf(*m_header);
    m_stride = geometry.stride;
    m_imageSize = geometry.imageSize;
    m_colorCount = n;
    if (n > 0) {
        m_colorTable = new (m_headerBlock.get() + kHeaderSize) RGBQUAD[n]{};
        for (int32_t i = 0; i < n; ++i) {
            const auto grey = static_cast<uint8_t>(static_cast<double>(i) / n * 256);
            m_colorTable[i] = RGBQUAD{grey, grey, grey, 0};
        }
    }
    m_width = width;
    m_height = height;
}

HBITMAP CDib::CreateSection(MemoryDC* /*dc*/) {
    if (m_header == nullptr || m_pixels != nullptr) {
        return nullptr;
    }
    if (m_width <= 0 || m_height <= 0 || m_stride <= 0 || m_imageSize <= 0 ||
        m_header->biBitCount == 0) {
        return nullptr;
    }
    try {
        auto section = std::make_unique<DibSection>();
        section->width = m_width;
        section->height = m_height;
        section->stride = m_stride;
        section->bitCount = m_header->biBitCount;
        section->bits.resize(static_cast<std::size_t>(m_imageSize));
        m_section = std::move(section);
    } catch (const std::bad_alloc&) {
        return nullptr; // like a failed CreateDIBSection: the surface stays without pixels
    }
    m_pixels = m_section->bits.data();
    return m_section.get();
}

HBITMAP CDib::SelectInto(MemoryDC* dc) {
    if (dc == nullptr) {
        return nullptr;
    }
    return dc->SelectObject(m_section.get());
}

bool CDib::Draw(PictureTarget& dc, int x, int y) {
    if (m_header == nullptr) {
        return false;
    }
    // The picture targets are true colour: only 24-bit rows are shown.
    if (m_pixels != nullptr && m_header->biBitCount == 24) {
        dc.ShowPicture(x, y, m_width, m_height, m_stride, m_pixels);
    }
    return true;
}

void CDib::Clear() {
    m_headerBlock.reset();
    m_section.reset();
    m_header = nullptr;
    m_colorTable = nullptr;
    m_pixels = nullptr;
    m_headerOwned = false;
    m_headerBlockSize = 0;
    m_stride = 0;
    m_imageSize = 0;
    m_colorCount = 0;
    m_width = 0;
    m_height = 0;
}

} // namespace korvane
