#pragma once

#include <string>

namespace korvane {

// Named temporary files that SIGINT, SIGTERM and SIGHUP remove before the process dies of the
// same signal, so an interrupted save leaves no hidden file behind. The handlers are installed
// on first use for each of the three signals still at its default action; a host that handles
// them itself calls RemoveArmedTemporaries from its handler.

// Records path for removal; returns its slot, or -1 when the path is too long to hold.
int ArmRemovalOnSignal(const std::string& path);
// Forgets the slot again (the file was renamed or removed).
void DisarmRemovalOnSignal(int slot);
// Removes every armed file. Safe inside a signal handler: it only reads prepared paths and
// calls unlink.
void RemoveArmedTemporaries();

} // namespace korvane
