#include "app/CollectionRunner.h"

#include <chrono>
#include <thread>

namespace korvane {

namespace {
constexpr auto kTickEvery = std::chrono::milliseconds(100);
} // namespace

void CollectionRunner::Run(const Report& report, const Tick& tick) {
    std::vector<std::thread> threads;
    const size_t count = std::min<size_t>(m_jobs, m_plan.size());
    for (size_t i = 0; i < count; ++i) {
        threads.emplace_back([this, converter = m_makeConverter()] { Work(*converter); });
    }
    std::unique_lock lock(m_mutex);
    while (m_reported < m_plan.size() && !m_stopping) {
        m_ready.wait_for(lock, kTickEvery,
                         [this] { return m_outcomes[m_reported % kAhead].has_value(); });
        ReportReady(lock, report);
        lock.unlock();
        const bool stop = tick();
        lock.lock();
        if (stop) {
            m_stopping = true;
            m_room.notify_all();
        }
    }
    lock.unlock();
    for (std::thread& thread : threads) {
        thread.join();
    }
    lock.lock();
    ReportReady(lock, report);
}

void CollectionRunner::ReportReady(std::unique_lock<std::mutex>& lock, const Report& report) {
    while (m_reported < m_next && m_outcomes[m_reported % kAhead]) {
        const size_t index = m_reported;
        const FileOutcome outcome = std::move(*m_outcomes[index % kAhead]);
        m_outcomes[index % kAhead].reset();
        lock.unlock();
        report(index, outcome);
        lock.lock();
        ++m_reported;
        m_room.notify_all();
    }
}

void CollectionRunner::Work(FileConverter& converter) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_room.wait(lock, [this] {
            return m_stopping || m_next >= m_plan.size() || m_next < m_reported + kAhead;
        });
        if (m_stopping || m_next >= m_plan.size()) {
            return;
        }
        const size_t index = m_next++;
        lock.unlock();
        FileOutcome outcome = converter.Convert(m_plan[index]);
        lock.lock();
        m_outcomes[index % kAhead] = std::move(outcome);
        m_ready.notify_one();
    }
}

} // namespace korvane
