#include "app/InterruptSignals.h"

#include "platform/SignalCleanup.h"

#include <atomic>

namespace korvane {

namespace {
std::atomic<int> g_received{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written in a signal handler");

void OnSignal(int signal) {
    int none = 0;
    if (g_received.compare_exchange_strong(none, signal)) {
        return;
    }
    // Asked twice: the user wants out now. Named temporaries are removed first, as a save
    // ended by the signal removes them.
    RemoveArmedTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Catch(int signal, struct sigaction& previous) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART; // the files being converted meanwhile see no EINTR
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, &previous);
}
} // namespace

InterruptSignals::InterruptSignals() {
    g_received.store(0);
    Catch(SIGINT, m_previousInt);
    Catch(SIGTERM, m_previousTerm);
}

InterruptSignals::~InterruptSignals() {
    ::sigaction(SIGINT, &m_previousInt, nullptr);
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
}

int InterruptSignals::Received() {
    return g_received.load();
}

} // namespace korvane
