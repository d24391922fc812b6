#include "app/RunLimits.h"

#include "job/InputWindow.h"
#include "platform/BufferedFile.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace korvane {

namespace {
constexpr uint64_t kMiB = 1 << 20;
// The run's budget: 64 MB, and 200 bytes for each input's place in the plan and report.
constexpr uint64_t kBudget = 64'000'000;
constexpr uint64_t kPerInput = 200;
// What the program holds besides its conversions: code, libraries, the report, progress.
constexpr uint64_t kProgram = 12 * kMiB;
// The job's sizes, as job/ and platform/ allocate them: an input window (no larger than the
// file) and a second one read ahead for files larger than that; a second output buffer in the
// background writer for outputs past the first.
constexpr uint64_t kWindow = InputWindow::kDefaultSize;
constexpr uint64_t kOutputBuffer = BufferedFile::kBufferSize;
// What a thread holds between files (its job keeps a 1 MiB output buffer; stack, engine and
// allocator take the rest): measured, about 2.2 MB a thread with the smallest files.
constexpr uint64_t kThreadKept = 9 * kMiB / 4;
// Descriptors a conversion holds: input, output, its writer, and a folder or a link looked at.
constexpr size_t kDescriptorsPerJob = 4;
// Standard streams, the report, the output folders of a group commit, and spare.
constexpr size_t kDescriptorsKept = 16;
constexpr size_t kMostAhead = 4096;
// A thread's stack under an address-space limit: the conversions recurse nowhere.
constexpr uint64_t kThreadStack = kMiB;

uint64_t AddressSpaceUsed() {
    std::ifstream status("/proc/self/statm");
    uint64_t pages = 0;
    status >> pages;
    return pages * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
}

// Under an address-space limit (ulimit -v, as batch schedulers set it) threads take small
// stacks and share one allocator arena (one of their own would reserve 64 MiB each), and no more
// are started than the space left holds with the buffers of a large file each. Returns that
// number of threads; with no limit, as many as asked.
uint64_t PrepareForAddressSpaceLimit() {
    rlimit space{};
    if (::getrlimit(RLIMIT_AS, &space) != 0 || space.rlim_cur == RLIM_INFINITY) {
        return UINT64_MAX;
    }
    ::mallopt(M_ARENA_MAX, 1);
    pthread_attr_t attributes;
    if (::pthread_attr_init(&attributes) == 0) {
        ::pthread_attr_setstacksize(&attributes, kThreadStack);
        ::pthread_setattr_default_np(&attributes);
        ::pthread_attr_destroy(&attributes);
    }
    const uint64_t left = space.rlim_cur - std::min<uint64_t>(space.rlim_cur, AddressSpaceUsed());
    return left / 2 / (kThreadStack + kThreadKept + ConversionMemory(UINT64_MAX));
}

size_t RaisedDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return 256;
    }
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ::getrlimit(RLIMIT_NOFILE, &limit);
    return limit.rlim_cur == RLIM_INFINITY ? size_t{1} << 20 : limit.rlim_cur;
}
} // namespace

uint64_t ConversionMemory(uint64_t inputBytes) {
    const uint64_t windows = inputBytes > kWindow ? 2 * kWindow : inputBytes;
    return windows + (inputBytes > kOutputBuffer ? kOutputBuffer : 0);
}

RunLimits RaiseDescriptorLimitAndShare(unsigned jobsAsked, size_t files) {
    RunLimits limits;
    const uint64_t available = kBudget + kPerInput * files - kProgram;
    const size_t descriptors = RaisedDescriptorLimit();
    // A waiting output holds a descriptor, and a group names half of them with a folder each.
    limits.ahead = std::min(kMostAhead, descriptors / 4);
    const size_t free =
        descriptors - std::min(descriptors, limits.ahead * 3 / 2 + kDescriptorsKept);
    // Threads keep at most half the budget between files, so the other half always holds the
    // windows of the largest file.
    const uint64_t byMemory = available / 2 / kThreadKept;
    const uint64_t byDescriptors = free / kDescriptorsPerJob;
    limits.jobs = static_cast<unsigned>(std::max<uint64_t>(
        1,
        std::min<uint64_t>({jobsAsked, byMemory, byDescriptors, PrepareForAddressSpaceLimit()})));
    limits.memory = available - limits.jobs * kThreadKept;
    return limits;
}

void MemoryBudget::Take(uint64_t bytes) {
    std::unique_lock lock(m_mutex);
    m_freed.wait(lock, [this, bytes] { return m_taken == 0 || m_taken + bytes <= m_total; });
    m_taken += bytes;
}

void MemoryBudget::Give(uint64_t bytes) {
    {
        const std::lock_guard lock(m_mutex);
        m_taken -= bytes;
    }
    m_freed.notify_all();
}

} // namespace korvane
