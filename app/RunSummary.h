#pragma once

#include "app/FileOutcome.h"

#include <cstdint>
#include <string>

namespace korvane {

// The counts a run's summary line gives.
struct RunTotals {
    uint64_t files = 0; // every planned input, reached or not
    uint64_t converted = 0;
    uint64_t repaired = 0; // converted files with at least one repair
    uint64_t failed = 0;
    uint64_t skipped = 0;
    bool checked = false; // --check: files read, none written
    uint64_t bytesIn = 0; // of the inputs reported

    void Add(const FileOutcome& outcome);
    uint64_t Reported() const { return converted + failed + skipped; }
};

// "korvane: 20,244 files: 20,200 converted, 3,112 of them repaired, 40 failed, 4 skipped, in
// 2.1 s"; an interrupted run says how many files it did not reach before the time.
std::string SummaryLine(const RunTotals& totals, bool interrupted, double seconds);

// 20244 as "20,244".
std::string WithThousands(uint64_t value);

} // namespace korvane
