#pragma once

#include "job/JobMessage.h"

#include <string_view>

namespace korvane {

// The stable code a report gives for a message, for scripts that must not parse the text of a
// language: "not-midi", "input-unreadable", "output-uncreatable", "write-failed", ...; empty for
// JobMessage::None.
const char* ErrorCode(JobMessage message);

// Failures the run chose (what is no MIDI file, colliding outputs), reported as "refused" apart
// from those the system caused.
bool IsRefusal(std::string_view code);

} // namespace korvane
