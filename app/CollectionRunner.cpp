#include "app/CollectionRunner.h"

#include <algorithm>
#include <sys/stat.h>
#include <system_error>
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

std::vector<std::thread> CollectionRunner::StartThreads() {
    std::vector<std::thread> threads;
    // A file alone is converted on the calling thread: no thread to start.
    const size_t count = m_plan.size() == 1 ? 0 : std::min<size_t>(m_jobs, m_plan.size());
    for (size_t i = 0; i < count; ++i) {
        try {
            threads.emplace_back([this, converter = m_makeConverter()] { Work(*converter); });
        } catch (const std::system_error&) {
            break; // a process or memory limit: the run goes on with the threads it has
        }
    }
    return threads;
}

void CollectionRunner::Run(const FinishGroup& finish, const Tick& tick) {
    std::vector<std::thread> threads = StartThreads();
    // Without a thread of its own the run converts here, one file between two looks.
    const std::unique_ptr<FileConverter> here = threads.empty() ? m_makeConverter() : nullptr;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (here && HasRoom()) {
            const size_t index = m_next++;
            FileOutcome outcome = Convert(*here, index, lock);
            // A stop asked for meanwhile abandons the file, as it does on a thread.
            if (AskedToStop(tick, lock)) {
                break;
            }
            m_outcomes[index % m_ahead] = std::move(outcome);
        }
        m_ready.wait_for(lock, kTickEvery, [this] {
            return m_gathered < m_next && m_outcomes[m_gathered % m_ahead].has_value();
        });
        Gather(false);
        // Told before the group is named, so a count shown never lags the outputs on disk.
        if (AskedToStop(tick, lock)) {
            break;
        }
        const bool ended = m_gathered == m_plan.size();
        if (GroupIsDue(ended)) {
            Flush(lock, finish);
        }
        if (ended) {
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

bool CollectionRunner::AskedToStop(const Tick& tick, std::unique_lock<std::mutex>& lock) {
    const size_t converted = m_gathered;
    lock.unlock();
    const bool stop = tick(converted);
    lock.lock();
    if (stop) {
        m_stopping = true;
        m_room.notify_all();
    }
    return stop;
}

bool CollectionRunner::HasRoom() const {
    return !m_stopping && m_next < m_plan.size() && m_next < m_released + m_ahead;
}

void CollectionRunner::Work(FileConverter& converter) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_room.wait(lock, [this] { return m_stopping || m_next >= m_plan.size() || HasRoom(); });
        if (!HasRoom()) {
            return;
        }
        const size_t index = m_next++;
        FileOutcome outcome = Convert(converter, index, lock);
        if (!m_stopping && !outcome.abandoned) {
            m_outcomes[index % m_ahead] = std::move(outcome);
            m_ready.notify_one();
        }
    }
}

FileOutcome CollectionRunner::Convert(FileConverter& converter, size_t index,
                                      std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    struct stat st {};
    const bool sized = ::stat(m_plan[index].ReadPath().c_str(), &st) == 0;
    const uint64_t memory = ConversionMemory(sized ? static_cast<uint64_t>(st.st_size) : 0);
    m_memory.Take(memory);
    FileOutcome outcome = converter.Convert(m_plan[index], sized ? &st : nullptr);
    m_memory.Give(memory);
    lock.lock();
    return outcome;
}

} // namespace korvane
