#include "job/ReportStatus.h"

#include "job/ErrorCode.h"

namespace korvane {

const char* CompletedStatus(const RepairCounts& repairs, bool checked) {
    if (!repairs.Any()) {
        return "converted";
    }
    return checked ? "would-repair" : "repaired";
}

const char* FailedStatus(std::string_view code) {
    return IsRefusal(code) ? "refused" : "failed";
}

} // namespace korvane
