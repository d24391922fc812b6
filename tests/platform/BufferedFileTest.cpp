#include "platform/BufferedFile.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

#include <algorithm>
#include <span>
#include <vector>

namespace korvane {
namespace {
std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31 + 7);
    }
    return bytes;
}

TEST(BufferedFile, BufferedWritesSeeksAndPatchesGiveTheUnbufferedBytes) {
    TempFolder folder;
    const std::string path = folder.File("out.bin");
    std::vector<uint8_t> expected = Pattern(3 << 20);
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, BufferedFile::modeCreate | BufferedFile::modeWrite));
    file.Write(expected.data(), 10);
    EXPECT_EQ(file.GetPosition(), 10u);
    for (size_t at = 10; at < expected.size(); at += 4096) {
        file.Write(expected.data() + at, std::min<size_t>(4096, expected.size() - at));
    }
    EXPECT_EQ(file.GetPosition(), expected.size());
    // A length patch in the middle, then back to the end.
    const uint8_t patch[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    file.Seek(1000, BufferedFile::begin);
    file.Write(patch, 4);
    std::copy(patch, patch + 4, expected.begin() + 1000);
    EXPECT_EQ(file.Seek(0, BufferedFile::end), expected.size());
    // The step back: the next byte replaces the last one written.
    const uint8_t last = 0x90;
    const uint8_t replacement = 0x80;
    file.Write(&last, 1);
    file.Seek(-1, BufferedFile::current);
    file.Write(&replacement, 1);
    expected.push_back(replacement);
    file.Close();
    EXPECT_EQ(ReadTextFile(path), std::string(expected.begin(), expected.end()));
}

// A track writer's way: room filled in place and committed, small writes between, a room that
// does not fit the buffer's rest sending the buffer off unfilled, and patches of lengths.
TEST(BufferedFile, RoomFilledInPlaceGivesTheBytesWritten) {
    TempFolder folder;
    const std::string path = folder.File("out.bin");
    const std::vector<uint8_t> pattern = Pattern(5 << 20);
    std::vector<uint8_t> expected;
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, BufferedFile::modeCreate | BufferedFile::modeWrite));
    size_t taken = 0;
    for (const size_t used :
         {size_t{40000}, size_t{65536}, size_t{0}, size_t{1000}, size_t{65536}}) {
        for (int round = 0; round < 12; ++round) {
            const std::span<uint8_t> room = file.Room(65536);
            ASSERT_GE(room.size(), 65536u);
            std::copy_n(pattern.begin() + static_cast<ptrdiff_t>(taken), used, room.begin());
            file.Commit(used);
            expected.insert(expected.end(), pattern.begin() + static_cast<ptrdiff_t>(taken),
                            pattern.begin() + static_cast<ptrdiff_t>(taken + used));
            taken += used;
            const uint8_t frame[3] = {0xAA, static_cast<uint8_t>(round), 0xBB};
            file.Write(frame, sizeof frame);
            expected.insert(expected.end(), frame, frame + sizeof frame);
            ASSERT_EQ(file.GetPosition(), expected.size());
        }
    }
    const uint8_t patch[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    for (const size_t at : {size_t{10}, size_t{(1 << 20) + 5}, expected.size() - 4}) {
        file.Patch(at, patch, sizeof patch);
        std::copy(patch, patch + 4, expected.begin() + static_cast<ptrdiff_t>(at));
    }
    file.Close();
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(BufferedFile, ReadsWhatIsThereAndRefusesWhatIsNoFile) {
    TempFolder folder;
    const std::string path = folder.File("in.bin");
    WriteTextFile(path, "abcdef");
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, BufferedFile::modeRead));
    EXPECT_EQ(file.GetLength(), 6u);
    char buffer[10] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(file.Read(buffer, 10), 2u);
    EXPECT_EQ(file.Read(buffer, 10), 0u);
    EXPECT_FALSE(file.Open(folder.File("missing.bin"), BufferedFile::modeRead));
    EXPECT_FALSE(file.Open(folder.Path(), BufferedFile::modeRead));
    // A FIFO nobody writes to is refused at once instead of waiting for a writer.
    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(file.Open(fifo, BufferedFile::modeRead));
    EXPECT_FALSE(file.Open("/dev/null", BufferedFile::modeRead));
    EXPECT_FALSE(file.IsOpen());
}

TEST(BufferedFile, ReadAtLeavesThePositionAndStopsAtTheEnd) {
    TempFolder folder;
    const std::string path = folder.File("in.bin");
    WriteTextFile(path, "abcdef");
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, BufferedFile::modeRead));
    struct Case {
        uint64_t offset;
        size_t count;
        std::string expected;
    };
    for (const Case& c : {Case{0, 6, "abcdef"}, Case{2, 3, "cde"}, Case{4, 10, "ef"},
                          Case{6, 4, ""}, Case{100, 4, ""}}) {
        char buffer[10] = {};
        const size_t got = file.ReadAt(c.offset, buffer, c.count);
        EXPECT_EQ(std::string(buffer, got), c.expected) << "at " << c.offset;
    }
    char buffer[3] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

// A length patch lands where it belongs whether its bytes are still buffered, already handed to
// the background writer, or half of each; the position stays at the end either way.
TEST(BufferedFile, PatchesBufferedAndWrittenBytes) {
    TempFolder folder;
    const std::string path = folder.File("out.bin");
    // Two buffers go to the background writer, the rest of the third stays buffered.
    const size_t size = (3 << 20) - 1000;
    std::vector<uint8_t> expected = Pattern(size);
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, BufferedFile::modeCreate | BufferedFile::modeWrite));
    file.Write(expected.data(), expected.size());
    const uint8_t patch[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    // Buffered ones first: a patch of written bytes writes out what is buffered.
    for (const size_t at :
         {size - 4, (size_t{2} << 20) + 100, size - 2, (size_t{2} << 20) - 2, size_t{10}}) {
        const size_t count = std::min<size_t>(4, size - at);
        file.Patch(at, patch, count);
        std::copy(patch, patch + count, expected.begin() + static_cast<ptrdiff_t>(at));
        EXPECT_EQ(file.GetPosition(), size) << "after a patch at " << at;
    }
    file.Write(patch, 4);
    expected.insert(expected.end(), patch, patch + 4);
    file.Close();
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(BufferedFile, CreateTruncates) {
    TempFolder folder;
    const std::string path = folder.File("old.bin");
    WriteTextFile(path, "a long old content");
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, BufferedFile::modeCreate | BufferedFile::modeWrite));
    file.Write("new", 3);
    file.Close();
    EXPECT_EQ(ReadTextFile(path), "new");
}

TEST(BufferedFile, FailuresRaise) {
    BufferedFile full;
    ASSERT_TRUE(full.Open("/dev/full", BufferedFile::modeWrite));
    full.Write("x", 1);
    EXPECT_THROW(full.Close(), BufferedFileException);
}
// Full buffers are written in the background: a failure there must still reach the caller, with
// its cause, no later than the call that waits for it.
TEST(BufferedFile, FailedBackgroundWriteRaisesItsCause) {
    const std::vector<uint8_t> block = Pattern(1 << 20);
    for (const bool closeAfterOne : {true, false}) {
        BufferedFile full;
        ASSERT_TRUE(full.Open("/dev/full", BufferedFile::modeWrite));
        int error = 0;
        try {
            full.Write(block.data(), block.size() - 1);
            full.Write(block.data(), 2); // the first buffer goes to the background
            if (!closeAfterOne) {
                for (int i = 0; i < 4; ++i) {
                    full.Write(block.data(), block.size() - 1);
                }
            }
            full.Close();
        } catch (const BufferedFileException& e) {
            error = e.Error();
        }
        EXPECT_EQ(error, ENOSPC) << (closeAfterOne ? "at close" : "at a later write");
    }
}
} // namespace
} // namespace korvane
