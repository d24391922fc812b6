#include "job/ReportStatus.h"

#include "job/ErrorCode.h"

#include <cmath>

namespace korvane {

const char* CompletedStatus(const RepairCounts& repairs, bool checked) {
    if (!repairs.Any()) {
        return "converted";
    }
    return checked ? "would-repair" : "repaired";
}

const char* FailedStatus(JobMessage message) {
    return IsRefusal(message) ? "refused" : "failed";
}

double ReportedGain(const NoteGain& gain) {
    return std::round(gain.Factor() * 1e4) / 1e4;
}

} // namespace korvane
