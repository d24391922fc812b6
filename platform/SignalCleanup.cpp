#include "platform/SignalCleanup.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace korvane {
namespace {
// Enough for every save a process runs at once.
constexpr int kSlots = 64;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

enum SlotState : int { kFree, kFilling, kArmed, kTaken };

// A slot's path is written only while the slot is kFilling and read by the handler only after
// it took the slot from kArmed, so no path is read while it changes. A slot the handler took
// is never handed out again: the process is about to die.
struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};
Slot g_slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free slots");

void RemoveAndDie(int signal) {
    RemoveArmedTemporaries();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction(signal, &fallback, nullptr);
    // Delivered when the handler returns, so the exit status names the signal.
    ::raise(signal);
}

void InstallHandlers() {
    for (const int signal : kSignals) {
        struct sigaction current {};
        ::sigaction(signal, nullptr, &current);
        // An ignored signal (nohup) stays ignored and a host's own handler stays in place.
        if (current.sa_handler != SIG_DFL || (current.sa_flags & SA_SIGINFO) != 0) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = RemoveAndDie;
        sigemptyset(&action.sa_mask);
        for (const int other : kSignals) {
            sigaddset(&action.sa_mask, other);
        }
        ::sigaction(signal, &action, nullptr);
    }
}
} // namespace

int ArmRemovalOnSignal(const std::string& path) {
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (g_slots[i].state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
            g_slots[i].state.store(kArmed);
            return i;
        }
    }
    return -1;
}

void DisarmRemovalOnSignal(int slot) {
    if (slot < 0 || slot >= kSlots) {
        return;
    }
    int expected = kArmed;
    g_slots[slot].state.compare_exchange_strong(expected, kFree);
}

void RemoveArmedTemporaries() {
    for (Slot& slot : g_slots) {
        int expected = kArmed;
        if (slot.state.compare_exchange_strong(expected, kTaken)) {
            ::unlink(slot.path);
        }
    }
}

} // namespace korvane
