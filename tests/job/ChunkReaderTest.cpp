#include "job/ChunkReader.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>
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

struct ReadPlan {
    const char* name;
    uint32_t overlapFrom;
    uint64_t aheadLimit;
};

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

class ChunkReaderPlans : public testing::TestWithParam<ReadPlan> {
  protected:
    Chunks ReadAll(const Bytes& file, std::optional<uint64_t> end = std::nullopt) {
        WriteFileBytes(folder.File("in.mid"), file);
        CFile input;
        EXPECT_TRUE(input.Open(folder.File("in.mid"), CFile::modeRead));
        ChunkReader reader(input, GetParam().overlapFrom, GetParam().aheadLimit);
        if (end) {
            reader.StopAt(*end);
        }
        InputChunk chunk;
        Chunks got;
        while (reader.Next(chunk)) {
            got.emplace_back(chunk.id, Bytes(chunk.data.get(), chunk.data.get() + chunk.length));
        }
        return got;
    }

    TempFolder folder;
};

// Whether the next chunk is read ahead, read ahead without its data, or read when asked for,
// the caller sees the same chunks: in order, a cut-short one with the bytes that are there,
// and the end at a cut-short ID or length.
TEST_P(ChunkReaderPlans, GivesTheSameChunksWhateverIsReadAhead) {
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

// The chunks of a RIFF file's data chunk end where it ends, whatever follows in the file.
TEST_P(ChunkReaderPlans, StopsWhereTheInputEnds) {
    Bytes file = FileOf(kChunks);
    const size_t dataEnd = file.size();
    const Bytes after = Chunk("LIST", 4, {'I', 'N', 'F', 'O'});
    file.insert(file.end(), after.begin(), after.end());
    EXPECT_EQ(ReadAll(file, dataEnd), kChunks);

    Chunks cut(kChunks.begin(), kChunks.end() - 1);
    cut.emplace_back("MTrk", Filled(12, 50)); // the last chunk cut after 12 of its 30 bytes
    EXPECT_EQ(ReadAll(file, dataEnd - 18), cut);
    // Room for an ID but not for its length: no chunk.
    EXPECT_EQ(ReadAll(file, dataEnd - 30 - 4), Chunks(kChunks.begin(), kChunks.end() - 1));
}

INSTANTIATE_TEST_SUITE_P(Plans, ChunkReaderPlans,
                         testing::Values(ReadPlan{"NothingAhead", 1000, 1000},
                                         ReadPlan{"EverythingAhead", 0, 1000},
                                         ReadPlan{"LargeOnesNotAhead", 0, 20},
                                         ReadPlan{"AheadAfterLargeOnes", 35, 1000}),
                         [](const auto& plan) { return std::string(plan.param.name); });
} // namespace
} // namespace korvane
