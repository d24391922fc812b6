#include "gfx/CDib.h"
#include "gfx/MemoryDC.h"
#include "tests/gfx/CapturedPicture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <vector>

namespace korvane {
namespace {

std::vector<uint8_t> HeaderBytes(const CDib& dib) {
    const auto* begin = reinterpret_cast<const uint8_t*>(dib.Header());
    return std::vector<uint8_t>(begin, begin + 40);
}

struct StrideCase {
    int width;
    int bits;
    int stride;
};

void PrintTo(const StrideCase& c, std::ostream* os) {
    *os << c.width << " at " << c.bits;
}

class CDibStride : public testing::TestWithParam<StrideCase> {};

TEST_P(CDibStride, PadsRowsToFourBytes) {
    const StrideCase& c = GetParam();
    CDib dib(c.width, 2, c.bits);
    EXPECT_EQ(dib.Stride(), c.stride);
    EXPECT_EQ(dib.ImageSize(), 2 * c.stride);
}

INSTANTIATE_TEST_SUITE_P(Widths, CDibStride,
                         testing::Values(StrideCase{3, 24, 12}, StrideCase{5, 24, 16},
                                         StrideCase{10, 1, 4}, StrideCase{33, 1, 8},
                                         StrideCase{32, 1, 4}, StrideCase{520, 24, 1560}),
                         [](const auto& testCase) {
                             return "Width" + std::to_string(testCase.param.width) + "Bits" +
                                    std::to_string(testCase.param.bits);
                         });

TEST(CDib, HeaderOf24BitSurfaceHasNoTable) {
    CDib dib(5, 7, 24);
    EXPECT_EQ(dib.ImageSize(), 112);
    EXPECT_EQ(dib.ColorCount(), 0);
    EXPECT_EQ(dib.ColorTable(), nullptr);
    EXPECT_EQ(dib.HeaderBlockSize(), 40u);
    EXPECT_TRUE(dib.HeaderOwned());
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(dib.Height(), 7);
    EXPECT_EQ(dib.Pixels(), nullptr);
    const std::vector<uint8_t> expected{
        40, 0, 0, 0,             // biSize
        5,  0, 0, 0,             // biWidth
        7,  0, 0, 0,             // biHeight: bottom-up
        1,  0,                   // biPlanes
        24, 0,                   // biBitCount
        0,  0, 0, 0,             // biCompression BI_RGB
        0,  0, 0, 0,             // biSizeImage
        0,  0, 0, 0, 0, 0, 0, 0, // pixels per metre
        0,  0, 0, 0, 0, 0, 0, 0, // colours used, important
    };
    EXPECT_EQ(HeaderBytes(dib), expected);
}

TEST(CDib, HeaderOf8BitSurfaceCountsItsColours) {
    CDib dib(3, 2, 8);
    const std::vector<uint8_t> expected{
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0, 0, 0, 0, 0,
        0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0,
    };
    EXPECT_EQ(HeaderBytes(dib), expected);
    EXPECT_EQ(dib.Stride(), 4);
    EXPECT_EQ(dib.HeaderBlockSize(), 40u + 4 * 256);
    // The colour table follows the header inside the same block.
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(dib.ColorTable()),
              reinterpret_cast<const uint8_t*>(dib.Header()) + 40);
}

struct TableCase {
    int bits;
    std::vector<uint8_t> greys;
};

void PrintTo(const TableCase& c, std::ostream* os) {
    *os << c.bits << " bits";
}

class CDibColourTable : public testing::TestWithParam<TableCase> {};

TEST_P(CDibColourTable, IsAGreyRamp) {
    const TableCase& c = GetParam();
    CDib dib(4, 4, c.bits);
    ASSERT_EQ(dib.ColorCount(), static_cast<int>(c.greys.size()));
    ASSERT_EQ(dib.HeaderBlockSize(), 40 + 4 * c.greys.size());
    for (std::size_t i = 0; i < c.greys.size(); ++i) {
        const RGBQUAD& q = dib.ColorTable()[i];
        EXPECT_EQ(q.rgbRed, c.greys[i]) << i;
        EXPECT_EQ(q.rgbGreen, c.greys[i]) << i;
        EXPECT_EQ(q.rgbBlue, c.greys[i]) << i;
        EXPECT_EQ(q.rgbReserved, 0) << i;
    }
}

std::vector<uint8_t> Ramp(int count, int step) {
    std::vector<uint8_t> greys;
    for (int i = 0; i < count; ++i) {
        greys.push_back(static_cast<uint8_t>(i * step));
    }
    return greys;
}

INSTANTIATE_TEST_SUITE_P(Depths, CDibColourTable,
                         testing::Values(TableCase{1, {0, 128}}, TableCase{4, Ramp(16, 16)},
                                         TableCase{8, Ramp(256, 1)}),
                         [](const auto& testCase) {
                             return "Bits" + std::to_string(testCase.param.bits);
                         });

TEST(CDib, NoColourTableAtOtherDepths) {
    for (const int bits : {2, 16, 24, 32, 3}) {
        CDib dib(4, 4, bits);
        EXPECT_EQ(dib.ColorCount(), 0) << bits;
        EXPECT_EQ(dib.ColorTable(), nullptr) << bits;
        EXPECT_EQ(dib.HeaderBlockSize(), 40u) << bits;
        EXPECT_EQ(dib.Header()->biClrUsed, 0u) << bits;
    }
}

TEST(CDib, SectionIsMadeOncePerCreate) {
    CDib empty;
    EXPECT_EQ(empty.CreateSection(nullptr), nullptr);
    EXPECT_EQ(empty.Header(), nullptr);

    CDib dib(5, 7, 24);
    const HBITMAP section = dib.CreateSection(nullptr);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->bits.size(), 112u);
    EXPECT_EQ(dib.Pixels(), section->bits.data());
    EXPECT_EQ(dib.CreateSection(nullptr), nullptr);
    EXPECT_EQ(dib.Section(), section);
}

TEST(CDib, NoSectionForAnEmptyGeometry) {
    for (const auto& [width, height] : {std::pair{0, 5}, {5, 0}, {-3, 5}, {5, -3}}) {
        CDib dib(width, height, 24);
        EXPECT_EQ(dib.CreateSection(nullptr), nullptr) << width << "x" << height;
        EXPECT_EQ(dib.Pixels(), nullptr);
    }
    CDib huge(100000, 100000, 32); // 40 GB: more than the 32-bit image size can say
    EXPECT_EQ(huge.ImageSize(), 0);
    EXPECT_EQ(huge.CreateSection(nullptr), nullptr);
}

TEST(CDib, CreateOnAUsedSurfaceGivesTheNewGeometry) {
    CDib dib(10, 10, 8);
    MemoryDC dc;
    ASSERT_NE(dib.CreateSection(&dc), nullptr);
    dib.SelectInto(&dc);
    dc.SelectObject(HBITMAP{nullptr}); // deselect before the section goes

    dib.Create(5, 7, 24);
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(dib.Height(), 7);
    EXPECT_EQ(dib.Stride(), 16);
    EXPECT_EQ(dib.ImageSize(), 112);
    EXPECT_EQ(dib.ColorCount(), 0);
    EXPECT_EQ(dib.ColorTable(), nullptr);
    EXPECT_EQ(dib.Section(), nullptr);
    EXPECT_EQ(dib.Pixels(), nullptr);
    EXPECT_EQ(dib.Header()->biBitCount, 24);
    const HBITMAP section = dib.CreateSection(&dc);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->bits.size(), 112u);
}

TEST(CDib, ClearEmptiesTheSurface) {
    CDib dib(4, 4, 8);
    dib.CreateSection(nullptr);
    dib.Clear();
    EXPECT_EQ(dib.Header(), nullptr);
    EXPECT_EQ(dib.ColorTable(), nullptr);
    EXPECT_FALSE(dib.HeaderOwned());
    EXPECT_EQ(dib.Section(), nullptr);
    EXPECT_EQ(dib.Pixels(), nullptr);
    EXPECT_EQ(dib.Stride() + dib.ImageSize() + dib.ColorCount() + dib.Width() + dib.Height(), 0);
    CapturedPicture target;
    EXPECT_FALSE(dib.Draw(target, 0, 0));
    EXPECT_EQ(target.m_calls, 0);
}

TEST(CDib, SelectIntoReturnsWhatWasSelected) {
    CDib first(2, 2, 24);
    CDib second(2, 2, 24);
    MemoryDC dc;
    first.CreateSection(&dc);
    second.CreateSection(&dc);
    EXPECT_EQ(first.SelectInto(&dc), nullptr);
    EXPECT_EQ(second.SelectInto(&dc), first.Section());
    EXPECT_EQ(first.SelectInto(nullptr), nullptr);
}

TEST(CDib, DrawHandsAllRowsOnceAtOneToOne) {
    CDib dib(3, 2, 24);
    MemoryDC dc;
    dib.CreateSection(&dc);
    dib.SelectInto(&dc);
    dc.FillRect(RECT{0, 0, 3, 2}, SolidBrush{RGB(255, 255, 255)});
    dc.FillRect(RECT{0, 0, 1, 1}, SolidBrush{RGB(0, 0, 0)});
    CapturedPicture target;
    EXPECT_TRUE(dib.Draw(target, 4, 9));
    EXPECT_EQ(target.m_calls, 1);
    EXPECT_EQ(target.m_x, 4);
    EXPECT_EQ(target.m_y, 9);
    EXPECT_EQ(target.m_width, 3);
    EXPECT_EQ(target.m_height, 2);
    EXPECT_EQ(target.m_stride, 12);
    EXPECT_EQ(target.m_rowsAddress, dib.Pixels());
    EXPECT_EQ(target.Rows(), (std::vector<std::string>{"#..", "..."}));
}

TEST(CDib, DrawWithoutPixelsPutsNothing) {
    CapturedPicture target;
    CDib noSection(3, 2, 24);
    EXPECT_TRUE(noSection.Draw(target, 0, 0));
    CDib failedSection(0, 2, 24);
    failedSection.CreateSection(nullptr);
    EXPECT_TRUE(failedSection.Draw(target, 0, 0));
    EXPECT_EQ(target.m_calls, 0);
}

TEST(CDib, HeaderOfAnotherSizeIsAProgrammingError) {
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = 5;
    header.biHeight = 7;
    header.biBitCount = 24;
    EXPECT_EQ(GeometryOf(header).stride, 16);
    EXPECT_EQ(GeometryOf(header).imageSize, 112);
    header.biSizeImage = 200;
    EXPECT_EQ(GeometryOf(header).imageSize, 200);
    for (const uint32_t size : {0u, 12u, 39u, 41u, 108u, 124u}) {
        header.biSize = size;
        EXPECT_THROW(GeometryOf(header), std::logic_error) << size;
    }
}

} // namespace
} // namespace korvane
