#include "platform/BackgroundWriter.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace korvane {
namespace {
// An open descriptor, closed at the end of the test.
class Descriptor {
  public:
    Descriptor(const std::string& path, int flags) : m_fd(::open(path.c_str(), flags, 0600)) {}
    ~Descriptor() { ::close(m_fd); }
    int Get() const { return m_fd; }

  private:
    int m_fd;
};

AlignedBytes Filled(size_t size, uint8_t value) {
    return AlignedBytes(size, value);
}

TEST(BackgroundWriter, WritesInOrderAndHandsBuffersBack) {
    TempFolder folder;
    const std::string path = folder.File("out.bin");
    const Descriptor fd(path, O_WRONLY | O_CREAT | O_TRUNC);
    ASSERT_GE(fd.Get(), 0);
    {
        BackgroundWriter writer(fd.Get());
        int error = -1;
        AlignedBytes back = writer.Submit(Filled(100000, 'a'), error);
        EXPECT_EQ(error, 0);
        EXPECT_TRUE(back.empty());
        back = writer.Submit(Filled(3, 'b'), error);
        EXPECT_EQ(error, 0);
        EXPECT_EQ(back.size(), 100000u); // the first buffer, for reuse without a zero fill
        EXPECT_EQ(writer.Wait(), 0);
    }
    EXPECT_EQ(ReadTextFile(path), std::string(100000, 'a') + "bbb");
}

TEST(BackgroundWriter, KeepsTheFirstFailureAndWritesNothingAfterIt) {
    const Descriptor full("/dev/full", O_WRONLY);
    ASSERT_GE(full.Get(), 0);
    BackgroundWriter writer(full.Get());
    int error = -1;
    writer.Submit(Filled(10, 'a'), error);
    EXPECT_EQ(error, 0); // not known yet
    EXPECT_EQ(writer.Wait(), ENOSPC);
    writer.Submit(Filled(10, 'b'), error);
    EXPECT_EQ(error, ENOSPC);
    EXPECT_EQ(writer.Wait(), ENOSPC);
}
} // namespace
} // namespace korvane
