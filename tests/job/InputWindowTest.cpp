#include "job/InputWindow.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31 + i / 251);
    }
    return bytes;
}

struct WindowCase {
    const char* name;
    size_t window;
    size_t fileSize;
};

class InputWindowReads : public testing::TestWithParam<WindowCase> {
  protected:
    TempFolder folder;
    const std::string path = folder.File("in.mid");
};

// Forward a window at a time, then again with a header straddling each window's end, back into a
// window left behind, and far ahead: every answer holds the file's bytes and at least what was
// asked for.
TEST_P(InputWindowReads, HoldTheFilesBytesWhereverAsked) {
    const size_t window = GetParam().window;
    const Bytes file = Pattern(GetParam().fileSize);
    WriteFileBytes(path, file);
    BufferedFile input;
    ASSERT_TRUE(input.Open(path, BufferedFile::modeRead));
    InputWindow reader(input, window);
    EXPECT_EQ(reader.Length(), file.size());

    std::vector<std::pair<uint64_t, size_t>> asks;
    for (uint64_t at = 0; at < file.size(); at += window) {
        asks.emplace_back(at, 1); // where the window read ahead begins
    }
    for (uint64_t at = 0; at < file.size(); at += window) {
        asks.emplace_back(at, 1);
        asks.emplace_back(at + window - 3, 8);
    }
    asks.emplace_back(window / 2, 8);
    asks.emplace_back(file.size() - window / 3, 1);
    asks.emplace_back(3, 5);
    asks.emplace_back(file.size() - 2, 8); // fewer than asked for remain
    asks.emplace_back(file.size(), 8);
    for (const auto& [at, least] : asks) {
        if (at > file.size()) {
            continue;
        }
        const std::span<const uint8_t> got = reader.At(at, least);
        const size_t remaining = file.size() - at;
        ASSERT_GE(got.size(), std::min(least, remaining)) << "at " << at;
        ASSERT_LE(got.size(), std::min(window, remaining)) << "at " << at;
        ASSERT_TRUE(std::equal(got.begin(), got.end(), file.begin() + static_cast<ptrdiff_t>(at)))
            << "at " << at;
        // A peek anywhere leaves the window as it was.
        const uint64_t elsewhere = (at * 7 + window * 3) % file.size();
        const std::span<const uint8_t> peeked = reader.Peek(elsewhere, 8);
        ASSERT_EQ(peeked.size(), std::min<uint64_t>(8, file.size() - elsewhere));
        ASSERT_TRUE(std::equal(peeked.begin(), peeked.end(),
                               file.begin() + static_cast<ptrdiff_t>(elsewhere)));
        ASSERT_TRUE(std::equal(got.begin(), got.end(), file.begin() + static_cast<ptrdiff_t>(at)))
            << "after a peek, at " << at;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, InputWindowReads,
    testing::Values(WindowCase{"HeaderSized", 8, 1000}, WindowCase{"Odd", 13, 1000},
                    WindowCase{"LargerThanTheFile", 4096, 1000},
                    WindowCase{"ReadAhead", size_t{1} << 20, 5 << 20},
                    WindowCase{"ReadAheadPartLast", size_t{1} << 20, (5 << 20) + 77}),
    [](const auto& param) { return std::string(param.param.name); });

// The length is taken once: bytes added later are not read, and a file cut short while it is
// read is an input that cannot be read, not a shorter file.
TEST(InputWindow, LengthIsTakenOnceAndACutShortFileFails) {
    for (const size_t window : {size_t{64}, size_t{1} << 20}) {
        TempFolder folder;
        const std::string path = folder.File("in.mid");
        const Bytes file = Pattern(3 << 20);
        WriteFileBytes(path, file);
        BufferedFile input;
        ASSERT_TRUE(input.Open(path, BufferedFile::modeRead));
        InputWindow reader(input, window);
        WriteFileBytes(path, Pattern(4 << 20));
        EXPECT_EQ(reader.Length(), file.size());
        EXPECT_EQ(reader.At(file.size() - 10, 8).size(), 10u);
        reader.At(0, 8);
        ASSERT_EQ(::truncate(path.c_str(), 1 << 20), 0);
        EXPECT_THROW(
            {
                for (uint64_t at = 0; at < file.size(); at += window) {
                    reader.At(at, 1);
                }
            },
            ChunkReadError)
            << "window " << window;
    }
}
// While a conversion changes no length, the byte it reads at an offset and the byte it writes
// there must not share their place in an address span: a processor would hold each read back
// until the write before it was done.
TEST(InputWindow, AnInputByteLiesHalfASpanFromItsOutputByte) {
    TempFolder folder;
    const std::string inPath = folder.File("in.mid");
    WriteFileBytes(inPath, Pattern(3 << 20));
    BufferedFile input;
    ASSERT_TRUE(input.Open(inPath, BufferedFile::modeRead));
    InputWindow reader(input, InputWindow::kDefaultSize);
    BufferedFile output;
    ASSERT_TRUE(
        output.Open(folder.File("out.mid"), BufferedFile::modeWrite | BufferedFile::modeCreate));
    uint64_t written = 0;
    // Across the output's first buffers and the input's first windows, and back.
    for (const uint64_t at : {0, 5, 4095, 4097, (1 << 20) + 3, (5 << 19) + 11, 77}) {
        const auto in = reinterpret_cast<uintptr_t>(reader.At(at, 1).data());
        if (at > written) {
            const Bytes fill(at - written);
            output.Write(fill.data(), fill.size());
            written = at;
        }
        const auto out = reinterpret_cast<uintptr_t>(output.Room(1).data());
        const uint64_t outAt = written;
        EXPECT_EQ((in - at) % kAddressSpan, kAddressSpan / 2) << "at " << at;
        EXPECT_EQ((out - outAt) % kAddressSpan, 0u) << "at " << outAt;
    }
    output.Abort();
}
} // namespace
} // namespace korvane
