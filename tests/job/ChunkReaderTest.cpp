#include "job/ChunkReader.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;

Bytes Chunk(const std::string& id, uint32_t declared, const Bytes& data) {
    Bytes bytes(id.begin(), id.end());
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<uint8_t>(declared >> shift));
    }
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

Bytes Filled(size_t size, uint8_t first) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(first + i);
    }
    return bytes;
}

using Chunks = std::vector<std::pair<std::string, Bytes>>;

const Chunks kChunks{{"MThd", Filled(6, 0)},
                     {"MTrk", Filled(40, 10)},
                     {"XFIH", Filled(5, 90)},
                     {"MTrk", {}},
                     {"MTrk", Filled(30, 50)}};

Bytes FileOf(const Chunks& chunks) {
    Bytes file;
    for (const auto& [id, data] : chunks) {
        const Bytes chunk = Chunk(id, static_cast<uint32_t>(data.size()), data);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

// Windows smaller than a chunk, as large as a header, straddling every header, and the default.
class ChunkReaderWindows : public testing::TestWithParam<size_t> {
  protected:
    Chunks ReadAll(const Bytes& file, uint64_t begin = 0,
                   uint64_t end = std::numeric_limits<uint64_t>::max()) {
        WriteFileBytes(folder.File("in.mid"), file);
        BufferedFile input;
        EXPECT_TRUE(input.Open(folder.File("in.mid"), BufferedFile::modeRead));
        InputWindow window(input, GetParam());
        ChunkReader reader(window, begin, end);
        ChunkFrame chunk;
        Chunks got;
        while (reader.Next(chunk)) {
            Bytes data;
            for (uint32_t done = 0; done < chunk.length;) {
                const std::span<const uint8_t> part = window.At(chunk.offset + done, 1);
                const size_t n = std::min<size_t>(part.size(), chunk.length - done);
                data.insert(data.end(), part.begin(), part.begin() + static_cast<ptrdiff_t>(n));
                done += static_cast<uint32_t>(n);
            }
            got.emplace_back(std::string(chunk.id.begin(), chunk.id.end()), data);
        }
        return got;
    }

    TempFolder folder;
};

// Whatever the window, the caller sees the same chunks: in order, a cut-short one with the bytes
// that are there, and the end at a cut-short ID or length.
TEST_P(ChunkReaderWindows, GivesTheSameChunksWhateverTheWindow) {
    Bytes file = FileOf(kChunks);
    const Bytes cutShort = Chunk("MTrk", 100, Filled(7, 200));
    file.insert(file.end(), cutShort.begin(), cutShort.end());
    Chunks expected = kChunks;
    expected.emplace_back("MTrk", Filled(7, 200));
    EXPECT_EQ(ReadAll(file), expected);

    file = FileOf(kChunks);
    file.insert(file.end(), {'M', 'T', 'r', 'k', 0, 0}); // an ID and half a length
    EXPECT_EQ(ReadAll(file), kChunks);
}

// The chunks of a RIFF file's data chunk begin and end where it does, whatever is around it.
TEST_P(ChunkReaderWindows, StopsWhereTheInputEnds) {
    Bytes file = FileOf(kChunks);
    const size_t dataEnd = file.size();
    const Bytes after = Chunk("LIST", 4, {'I', 'N', 'F', 'O'});
    file.insert(file.end(), after.begin(), after.end());
    EXPECT_EQ(ReadAll(file, 0, dataEnd), kChunks);

    Chunks cut(kChunks.begin(), kChunks.end() - 1);
    cut.emplace_back("MTrk", Filled(12, 50)); // the last chunk cut after 12 of its 30 bytes
    EXPECT_EQ(ReadAll(file, 0, dataEnd - 18), cut);
    // Room for an ID but not for its length: no chunk.
    EXPECT_EQ(ReadAll(file, 0, dataEnd - 30 - 4), Chunks(kChunks.begin(), kChunks.end() - 1));

    const Bytes before{'R', 'I', 'F', 'F', 1, 2, 3, 4, 'R', 'M', 'I', 'D', 'd', 'a', 't', 'a', 5};
    file.insert(file.begin(), before.begin(), before.end());
    EXPECT_EQ(ReadAll(file, before.size(), before.size() + dataEnd), kChunks);
}

INSTANTIATE_TEST_SUITE_P(Windows, ChunkReaderWindows,
                         testing::Values(size_t{1}, size_t{8}, size_t{9}, size_t{13}, size_t{64},
                                         InputWindow::kDefaultSize),
                         [](const auto& window) { return std::to_string(window.param); });
} // namespace
} // namespace korvane
