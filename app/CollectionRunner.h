#pragma once

#include "app/FileConverter.h"
#include "app/FileOutcome.h"
#include "app/PlannedInput.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace korvane {

// Converts the inputs of a run on several threads at once and hands every outcome to the
// calling thread in input order, so that what a run prints and reports does not depend on how
// many threads it has.
class CollectionRunner {
  public:
    using MakeConverter = std::function<std::unique_ptr<FileConverter>()>;
    // Called on the calling thread, in input order.
    using Report = std::function<void(size_t index, const FileOutcome& outcome)>;
    // Called on the calling thread at least ten times a second: true asks the run to stop.
    using Tick = std::function<bool()>;

    CollectionRunner(const std::vector<PlannedInput>& plan, unsigned jobs,
                     MakeConverter makeConverter)
        : m_plan(plan), m_jobs(jobs), m_makeConverter(std::move(makeConverter)) {}

    // Returns when every input is reported or, once a stop is asked for, when the files begun
    // have ended; files still unconverted then are not reported.
    void Run(const Report& report, const Tick& tick);

  private:
    // How far ahead of the input being reported the threads may convert: bounds the outcomes
    // held while one slow file is waited for.
    static constexpr size_t kAhead = 4096;

    void Work(FileConverter& converter);
    // Reports the outcomes ready from m_reported on; called with the lock held.
    void ReportReady(std::unique_lock<std::mutex>& lock, const Report& report);

    const std::vector<PlannedInput>& m_plan;
    const unsigned m_jobs;
    const MakeConverter m_makeConverter;

    std::mutex m_mutex;
    std::condition_variable m_room;  // a thread may take the next input
    std::condition_variable m_ready; // an outcome has come
    std::vector<std::optional<FileOutcome>> m_outcomes =
        std::vector<std::optional<FileOutcome>>(kAhead);
    size_t m_next = 0;     // the next input to convert
    size_t m_reported = 0; // the next input to report
    bool m_stopping = false;
};

} // namespace korvane
