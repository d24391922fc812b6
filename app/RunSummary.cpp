#include "app/RunSummary.h"

#include <cstdio>

namespace korvane {

void RunTotals::Add(const FileOutcome& outcome) {
    switch (outcome.status) {
    case FileStatus::Checked:
    case FileStatus::Converted:
        ++converted;
        repaired += outcome.repairs.Any();
        break;
    case FileStatus::Failed:
        ++failed;
        break;
    case FileStatus::Skipped:
        ++skipped;
        break;
    }
    bytesIn += outcome.bytesIn.value_or(0);
}

std::string WithThousands(uint64_t value) {
    // Appended in order rather than inserted: GCC 12 warns of a false overlap in the insert.
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

std::string SummaryLine(const RunTotals& totals, bool interrupted, double seconds) {
    std::string line =
        "korvane: " + WithThousands(totals.files) + (totals.files == 1 ? " file: " : " files: ") +
        WithThousands(totals.converted) + (totals.checked ? " checked, " : " converted, ") +
        WithThousands(totals.repaired) +
        (totals.checked ? " of them in need of a repair, " : " of them repaired, ") +
        WithThousands(totals.failed) + " failed, " + WithThousands(totals.skipped) + " skipped, ";
    if (interrupted) {
        line += WithThousands(totals.files - totals.Reported()) + " not reached, ";
    }
    char time[32];
    std::snprintf(time, sizeof time, "in %.1f s", seconds);
    return line + time;
}

} // namespace korvane
