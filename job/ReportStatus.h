#pragma once

#include "job/JobMessage.h"
#include "midi/NoteGain.h"
#include "midi/RepairCounts.h"

namespace korvane {

// The status words of a report line and of every host that shows one, so a script reads the
// same word wherever the file was converted.

// A pass that completed: "repaired" when it mended anything, else "converted"; a pass that
// wrote nothing (checked) says "would-repair" instead of "repaired".
const char* CompletedStatus(const RepairCounts& repairs, bool checked);

// The gain a peak level put on the velocities, as reports give it: to four decimals.
double ReportedGain(const NoteGain& gain);

// A pass that failed with message: "refused" when the run chose to (see IsRefusal), else
// "failed".
const char* FailedStatus(JobMessage message);

} // namespace korvane
