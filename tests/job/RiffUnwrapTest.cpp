#include "job/RiffUnwrap.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;

struct RangeCase {
    const char* name;
    Bytes file;
    std::optional<std::pair<uint64_t, uint64_t>> range; // offset, end
};

// RIFF lengths are little-endian; the odd "DISP" chunk is followed by one pad byte.
const RangeCase kCases[] = {
    {"PlainFile", {'M', 'T', 'h', 'd', 0, 0, 0, 0}, std::pair<uint64_t, uint64_t>{0, 8}},
    {"ShorterThanAnId", {'R', 'I', 'F'}, std::pair<uint64_t, uint64_t>{0, 3}},
    {"Empty", {}, std::pair<uint64_t, uint64_t>{0, 0}},
    {"DataFirst",
     {'R', 'I', 'F', 'F', 16, 0, 0, 0, 'R', 'M', 'I', 'D',
      'd', 'a', 't', 'a', 4,  0, 0, 0, 1,   2,   3,   4},
     std::pair<uint64_t, uint64_t>{20, 24}},
    {"DataAfterOddChunk",
     {'R', 'I', 'F', 'F', 24, 0, 0,   0,   'R', 'M', 'I', 'D', 'D', 'I', 'S', 'P',
      1,   0,   0,   0,   9,  0, 'd', 'a', 't', 'a', 2,   0,   0,   0,   1,   2},
     std::pair<uint64_t, uint64_t>{30, 32}},
    {"DataCutByFileEnd",
     {'R', 'I', 'F', 'F', 16,  0,    0,    0,    'R',  'M', 'I',
      'D', 'd', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 1,   2},
     std::pair<uint64_t, uint64_t>{20, 22}},
    {"SkippedChunkLongerThanFile",
     {'R', 'I', 'F',  'F',  16,   0,    0,   0,   'R', 'M', 'I', 'D', 'D', 'I',
      'S', 'P', 0xFF, 0xFF, 0xFF, 0xFF, 'd', 'a', 't', 'a', 0,   0,   0,   0},
     std::nullopt},
    {"WaveFile",
     {'R', 'I', 'F', 'F', 12, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a', 0, 0, 0, 0},
     std::nullopt},
    {"NoDataChunk",
     {'R', 'I', 'F', 'F', 12, 0, 0, 0, 'R', 'M', 'I', 'D', 'L', 'I', 'S', 'T', 0, 0, 0, 0},
     std::nullopt},
    {"FormCutShort", {'R', 'I', 'F', 'F', 12, 0, 0, 0, 'R', 'M'}, std::nullopt},
};

class FindMidiRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(FindMidiRangeTest, FindsTheMidiBytesAndStandsAtThem) {
    TempFolder folder;
    const std::string path = folder.File("input");
    WriteFileBytes(path, GetParam().file);
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, BufferedFile::modeRead));
    const std::optional<MidiRange> range = FindMidiRange(file);
    ASSERT_EQ(range.has_value(), GetParam().range.has_value());
    if (range) {
        EXPECT_EQ(range->offset, GetParam().range->first);
        EXPECT_EQ(range->end, GetParam().range->second);
        EXPECT_EQ(file.GetPosition(), range->offset);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, FindMidiRangeTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<RangeCase>& param) {
                             return param.param.name;
                         });
} // namespace
} // namespace korvane
