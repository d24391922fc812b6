#pragma once

#include "app/FileConverter.h"
#include "app/FileOutcome.h"
#include "app/PlannedInput.h"
#include "app/RunLimits.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace korvane {

// Converts the inputs of a run on several threads at once and hands the outcomes to the
// calling thread in input order, a group at a time, so that what a run prints and reports
// does not depend on how many threads it has, and many outputs can be made durable together.
class CollectionRunner {
  public:
    using MakeConverter = std::function<std::unique_ptr<FileConverter>()>;
    // Called on the calling thread with the next outcomes in input order and their input
    // indices: commits their outputs and reports them.
    using FinishGroup =
        std::function<void(std::vector<FileOutcome>& group, const std::vector<size_t>& indices)>;
    // Called on the calling thread at least ten times a second, and before each group is
    // committed, with how many inputs in a row from the first have been converted (their outputs
    // written, not yet named): true asks the run to stop.
    using Tick = std::function<bool(size_t converted)>;

    // ahead: how many inputs past the one being reported may be converted and held (each
    // holds an open output); a group holds at most half of them. Each conversion takes its
    // memory from memory first.
    CollectionRunner(const std::vector<PlannedInput>& plan, unsigned jobs, size_t ahead,
                     MemoryBudget& memory, MakeConverter makeConverter);

    // Returns when every input is reported or, once a stop is asked for, when the files begun
    // have ended. Files begun before the stop but ending after it are abandoned and, like the
    // files never begun, not reported; every file that ended before it is.
    void Run(const FinishGroup& finish, const Tick& tick);

  private:
    // As many of the jobs' threads as the system gives (none for a file alone).
    std::vector<std::thread> StartThreads();
    // A thread's loop: converts inputs while there is room ahead and no stop.
    void Work(FileConverter& converter);
    // Asks tick (with the lock released) and marks the run stopping when it says so.
    bool AskedToStop(const Tick& tick, std::unique_lock<std::mutex>& lock);
    // True when the next input may be converted now. Called with the lock held.
    bool HasRoom() const;
    // Converts input index with the lock released; the lock is held on entry and exit.
    FileOutcome Convert(FileConverter& converter, size_t index, std::unique_lock<std::mutex>& lock);
    // Moves the outcomes ready in input order into the group; after a stop, every outcome
    // there is, abandoned inputs left out. Called with the lock held.
    void Gather(bool all);
    bool GroupIsDue(bool ended) const;
    // Commits and reports the group; the lock is held on entry and exit.
    void Flush(std::unique_lock<std::mutex>& lock, const FinishGroup& finish);

    const std::vector<PlannedInput>& m_plan;
    const unsigned m_jobs;
    const size_t m_ahead;
    MemoryBudget& m_memory;
    const MakeConverter m_makeConverter;

    std::mutex m_mutex;
    std::condition_variable m_room;  // a thread may take the next input
    std::condition_variable m_ready; // an outcome has come
    std::vector<std::optional<FileOutcome>> m_outcomes;
    size_t m_next = 0;     // the next input to convert
    size_t m_gathered = 0; // the next input to gather into the group
    size_t m_released = 0; // inputs before this one no longer hold a place among those ahead
    bool m_stopping = false;
    std::vector<FileOutcome> m_group;
    std::vector<size_t> m_groupIndices;
    uint64_t m_groupBytes = 0;
    std::chrono::steady_clock::time_point m_groupStart;
};

} // namespace korvane
