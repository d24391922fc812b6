#include "app/CollectionRunner.h"

#include <algorithm>
#include <sys/stat.h>
#include <thread>

namespace korvane {
namespace {
constexpr auto kTickEvery = std::chrono::milliseconds(100);
// A group is committed when it is this large or this old, so that a sync is shared by many
// files while the report and the progress line still follow closely.
constexpr uint64_t kGroupBytes = 64 << 20;
constexpr auto kGroupAge = std::chrono::milliseconds(250);
} // namespace

CollectionRunner::CollectionRunner(const std::vector<PlannedInput>& plan, unsigned jobs,
                                   size_t ahead, MemoryBudget& memory, MakeConverter makeConverter)
    : m_plan(plan), m_jobs(jobs), m_ahead(std::max<size_t>(std::min(ahead, plan.size()), 2)),
      m_memory(memory), m_makeConverter(std::move(makeConverter)), m_outcomes(m_ahead) {}

void CollectionRunner::Run(const FinishGroup& finish, const Tick& tick) {
    std::vector<std::thread> threads;
    if (m_plan.size() == 1) {
        Work(*m_makeConverter()); // a file alone is converted here: no thread to start
    }
    const size_t count = std::min<size_t>(m_jobs, m_plan.size() - m_next);
    for (size_t i = 0; i < count; ++i) {
        threads.emplace_back([this, converter = m_makeConverter()] { Work(*converter); });
    }
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_ready.wait_for(lock, kTickEvery, [this] {
            return m_gathered < m_next && m_outcomes[m_gathered % m_ahead].has_value();
        });
        Gather(false);
        const bool ended = m_gathered == m_plan.size();
        if (GroupIsDue(ended)) {
            Flush(lock, finish);
        }
        if (ended) {
            break;
        }
        lock.unlock();
        const bool stop = tick();
        lock.lock();
        if (stop) {
            m_stopping = true;
            m_room.notify_all();
            break;
        }
    }
    lock.unlock();
    for (std::thread& thread : threads) {
        thread.join();
    }
    lock.lock();
    do {
        Gather(true);
        Flush(lock, finish);
    } while (m_gathered < m_next);
}

void CollectionRunner::Gather(bool all) {
    while (m_gathered < m_next && m_group.size() < m_ahead / 2) {
        std::optional<FileOutcome>& slot = m_outcomes[m_gathered % m_ahead];
        if (!slot && !all) {
            return;
        }
        if (slot) {
            if (m_group.empty()) {
                m_groupStart = std::chrono::steady_clock::now();
            }
            m_groupBytes += slot->bytesIn.value_or(0);
            m_group.push_back(std::move(*slot));
            m_groupIndices.push_back(m_gathered);
            slot.reset();
        }
        ++m_gathered;
    }
}

bool CollectionRunner::GroupIsDue(bool ended) const {
    return !m_group.empty() &&
           (ended || m_group.size() >= m_ahead / 2 || m_groupBytes >= kGroupBytes ||
            std::chrono::steady_clock::now() - m_groupStart >= kGroupAge);
}

void CollectionRunner::Flush(std::unique_lock<std::mutex>& lock, const FinishGroup& finish) {
    std::vector<FileOutcome> group = std::move(m_group);
    std::vector<size_t> indices = std::move(m_groupIndices);
    m_group.clear();
    m_groupIndices.clear();
    m_groupBytes = 0;
    lock.unlock();
    if (!group.empty()) {
        finish(group, indices);
    }
    group.clear(); // outputs closed before their places are given back
    lock.lock();
    m_released = m_gathered;
    m_room.notify_all();
}

void CollectionRunner::Work(FileConverter& converter) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_room.wait(lock, [this] {
            return m_stopping || m_next >= m_plan.size() || m_next < m_released + m_ahead;
        });
        if (m_stopping || m_next >= m_plan.size()) {
            return;
        }
        const size_t index = m_next++;
        lock.unlock();
        struct stat st {};
        const bool sized = ::stat(m_plan[index].ReadPath().c_str(), &st) == 0;
        const uint64_t memory = ConversionMemory(sized ? static_cast<uint64_t>(st.st_size) : 0);
        m_memory.Take(memory);
        FileOutcome outcome = converter.Convert(m_plan[index]);
        m_memory.Give(memory);
        lock.lock();
        if (!m_stopping) {
            m_outcomes[index % m_ahead] = std::move(outcome);
            m_ready.notify_one();
        }
    }
}

} // namespace korvane
