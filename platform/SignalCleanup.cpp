#include "platform/SignalCleanup.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace korvane {
namespace {
// Slots come in blocks that are added as saves need them and never freed, so the handler can
// walk them at any moment: a group of outputs may hold hundreds of named temporaries at once.
constexpr int kBlockSlots = 64;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

enum SlotState : int { kFree, kFilling, kArmed, kTaken };

// A slot's path is written only while the slot is kFilling and read by the handler only after
// it took the slot from kArmed, so no path is read while it changes. A slot the handler took
// is never handed out again: the process is about to die.
struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};
struct Block {
    Slot slots[kBlockSlots];
    std::atomic<Block*> next{nullptr};
};
Block g_first;
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free slots");
static_assert(std::atomic<Block*>::is_always_lock_free, "the signal handler walks the blocks");

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

// The block after block, added when there is none yet.
Block* NextBlock(Block& block) {
    Block* next = block.next.load();
    if (next != nullptr) {
        return next;
    }
    auto* added = new Block;
    if (block.next.compare_exchange_strong(next, added)) {
        return added;
    }
    delete added; // another thread added one first
    return next;
}

Slot* SlotAt(int index) {
    Block* block = &g_first;
    for (; index >= kBlockSlots && block != nullptr; index -= kBlockSlots) {
        block = block->next.load();
    }
    return block == nullptr || index < 0 ? nullptr : &block->slots[index];
}
} // namespace

int ArmRemovalOnSignal(const std::string& path) {
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    int first = 0;
    for (Block* block = &g_first;; block = NextBlock(*block), first += kBlockSlots) {
        for (int i = 0; i < kBlockSlots; ++i) {
            int expected = kFree;
            if (block->slots[i].state.compare_exchange_strong(expected, kFilling)) {
                std::memcpy(block->slots[i].path, path.c_str(), path.size() + 1);
                block->slots[i].state.store(kArmed);
                return first + i;
            }
        }
    }
}

void DisarmRemovalOnSignal(int slot) {
    Slot* const armed = SlotAt(slot);
    if (armed == nullptr) {
        return;
    }
    int expected = kArmed;
    armed->state.compare_exchange_strong(expected, kFree);
}

void RemoveArmedTemporaries() {
    for (Block* block = &g_first; block != nullptr; block = block->next.load()) {
        for (Slot& slot : block->slots) {
            int expected = kArmed;
            if (slot.state.compare_exchange_strong(expected, kTaken)) {
                ::unlink(slot.path);
            }
        }
    }
}

} // namespace korvane
