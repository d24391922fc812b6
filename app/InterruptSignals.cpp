#include "app/InterruptSignals.h"

#include "platform/SignalCleanup.h"

#include <atomic>

namespace korvane {

namespace {
std::atomic<int> g_received{0};
std::atomic<int> g_held{0};    // SecondSignalHeld alive
std::atomic<int> g_pending{0}; // a second signal that came while held
static_assert(std::atomic<int>::is_always_lock_free, "read and written in a signal handler");

void EndBy(int signal) {
    // Named temporaries are removed first, as a save ended by the signal removes them.
    RemoveArmedTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void OnSignal(int signal) {
    int none = 0;
    if (g_received.compare_exchange_strong(none, signal)) {
        return;
    }
    // Asked twice: the user wants out now, once the outputs being named have their lines.
    g_pending.store(signal);
    if (g_held.load() == 0) {
        EndBy(signal);
    }
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
    g_pending.store(0);
    Catch(SIGINT, m_previousInt);
    Catch(SIGTERM, m_previousTerm);
    struct sigaction hangUp {};
    m_hangUpCaught = ::sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler != SIG_IGN;
    if (m_hangUpCaught) {
        Catch(SIGHUP, m_previousHup);
    }
}

InterruptSignals::~InterruptSignals() {
    ::sigaction(SIGINT, &m_previousInt, nullptr);
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
    if (m_hangUpCaught) {
        ::sigaction(SIGHUP, &m_previousHup, nullptr);
    }
}

int InterruptSignals::Received() {
    return g_received.load();
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
