#include "app/InterruptSignals.h"

#include "platform/SignalCleanup.h"

#include <atomic>
#include <iterator>

namespace korvane {

namespace {
std::atomic<int> g_received{0};
std::atomic<bool> g_stop{false}; // set with g_received, for the conversions under way
std::atomic<int> g_held{0};      // SecondSignalHeld alive
std::atomic<int> g_pending{0};   // a second signal that came while held
static_assert(std::atomic<int>::is_always_lock_free, "read and written in a signal handler");
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void EndBy(int signal) {
    // Named temporaries are removed first, as a save ended by the signal removes them.
    RemoveArmedTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void OnSignal(int signal) {
    int none = 0;
    if (g_received.compare_exchange_strong(none, signal)) {
        g_stop.store(true);
        return;
    }
    // Asked twice: the user wants out now, once the outputs being named have their lines.
    g_pending.store(signal);
    if (g_held.load() == 0) {
        EndBy(signal);
    }
}

} // namespace

InterruptSignals::InterruptSignals() {
    g_received.store(0);
    g_stop.store(false);
    g_pending.store(0);
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        struct sigaction& previous = m_previous[i];
        // A signal ignored at start (nohup, a script's background job) stays ignored.
        m_caught[i] =
            ::sigaction(kSignals[i], nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN;
        if (m_caught[i]) {
            struct sigaction action {};
            action.sa_handler = OnSignal;
            action.sa_flags = SA_RESTART; // the files being converted meanwhile see no EINTR
            sigemptyset(&action.sa_mask);
            ::sigaction(kSignals[i], &action, nullptr);
        }
    }
}

InterruptSignals::~InterruptSignals() {
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        if (m_caught[i]) {
            ::sigaction(kSignals[i], &m_previous[i], nullptr);
        }
    }
}

int InterruptSignals::Received() {
    return g_received.load();
}

const std::atomic<bool>& InterruptSignals::StopAsked() {
    return g_stop;
}

SecondSignalHeld::SecondSignalHeld() {
    g_held.fetch_add(1);
}

SecondSignalHeld::~SecondSignalHeld() {
    // A signal after the count drops ends the process in its handler; one before it is pending.
    if (g_held.fetch_sub(1) == 1 && g_pending.load() != 0) {
        EndBy(g_pending.load());
    }
}

} // namespace korvane
