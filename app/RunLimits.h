#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace korvane {

// What a run over many files may hold at once, whatever --jobs asks: memory within
// 64 MB + 200 bytes per input, and no more descriptors than the system allows.
struct RunLimits {
    size_t ahead = 0;    // outputs that may wait for their group, each holding a descriptor
    unsigned jobs = 0;   // threads converting
    uint64_t memory = 0; // bytes the conversions may hold together beyond what threads keep
};

// Raises the process's soft descriptor limit to the hard one (an effect that outlasts the
// call), then shares the descriptors, memory and address space out among the run.
RunLimits RaiseDescriptorLimitAndShare(unsigned jobsAsked, size_t files);

// The memory one conversion of an input of this size holds at most beyond what its thread
// keeps between files.
uint64_t ConversionMemory(uint64_t inputBytes);

// The memory the conversions of a run share: a conversion waits until its share is free, so
// large files converted at once stay within the run's budget.
class MemoryBudget {
  public:
    explicit MemoryBudget(uint64_t total) : m_total(total) {}

    // Waits until bytes are free, then takes them; one conversion alone always may start.
    void Take(uint64_t bytes);
    void Give(uint64_t bytes);

  private:
    const uint64_t m_total;
    uint64_t m_taken = 0;
    std::mutex m_mutex;
    std::condition_variable m_freed;
};

} // namespace korvane
