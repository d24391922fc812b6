#pragma once

#include "midi/RepairCounts.h"

namespace korvane {

// Whether a kind of count stands in a report's "repairs" (the command line's report, the Python
// module's results), under its reportKey: every kind but the vendor chunks, which the report
// gives apart as chunks_kept.
constexpr bool InReportRepairs(const RepairKind& kind) {
    return kind.role != RepairRole::Kept;
}

} // namespace korvane
