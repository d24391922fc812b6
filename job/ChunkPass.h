#pragma once

#include "job/PassOutput.h"
#include "midi/MidiEngine.h"
#include "platform/BufferedFile.h"

#include <cstddef>

namespace korvane {

// Raised when no track is left to write although the header declares some and the input holds
// more than the header: readers would find nothing to play.
struct NoTrackError {};

// The chunk loop every pass shares, over an open input read through a window of windowSize
// bytes and an engine whose pass has begun: the MIDI data is the whole file or a RIFF file's
// data chunk; track chunks are walked, and a save pass (output given) writes every chunk framed,
// the header and other chunks copied unchanged, with each track's length patched once it is
// written. Raises NotMidiError when the MIDI data holds no header within its first 4 KiB,
// ChunkReadError when the input cannot be read or holds no MIDI data, NoTrackError when no track
// is left of a header that declares some and the chunks or bytes after it; what the output
// raises passes through.
void RunChunkPass(BufferedFile& input, size_t windowSize, MidiEngine& engine, PassOutput* output);

} // namespace korvane
