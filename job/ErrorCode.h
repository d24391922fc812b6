#pragma once

#include "job/JobMessage.h"
#include "job/LanguageTable.h"

namespace korvane {

// Each message of the job once, in one table (ErrorCode.cpp): the stable code a report gives
// for scripts that must not parse the text of a language ("not-midi", "input-unreadable",
// "output-uncreatable", "write-failed", ...; empty for JobMessage::None), whether the run chose
// the failure, and its text in the language tables.

const char* ErrorCode(JobMessage message);

// Failures the run chose (what is no MIDI file, colliding outputs), reported as "refused" apart
// from those the system caused.
bool IsRefusal(JobMessage message);

// The message's field of LanguageTexts and that field's name ("msgNotMidi"), the key the page
// looks its text up by; nullptr and "" for JobMessage::None.
const char* LanguageTexts::*MessageField(JobMessage message);
const char* MessageKey(JobMessage message);

} // namespace korvane
