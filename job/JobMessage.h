#pragma once

namespace korvane {

// A message of the job, turned into text in the language of the place that shows it.
enum class JobMessage {
    None,
    OutputNotCreated,
    InputNotOpened,
    OutputIsInput,
    OutputNotWritten,
    InputsCollide, // two inputs of one run, one output
    FolderNotRead, // a folder of a command-line collection
    NotMidi,       // an input with no MIDI header near its start
    NoTrack,       // an input of which no track is left, where its header declares some
};

} // namespace korvane
