#pragma once

#include "job/ConversionOutcome.h"
#include "job/ConversionRequest.h"
#include "job/FileOutput.h"
#include "job/InputWindow.h"
#include "midi/MidiEngine.h"
#include "platform/BufferedFile.h"
#include "platform/TempOutput.h"

#include <string>

namespace korvane {

// One load or save pass over a MIDI file, chunk by chunk, read through a window of windowSize
// bytes. It is handed every value it needs in the request and answers with the outcome; it
// shows nothing itself. A save into a file writes a temporary beside the output and renames it
// over the output only when the pass has completed, so a failure never costs the user an
// earlier output. One job runs one pass at a time; each thread of a run has its own.
class ConversionJob {
  public:
    explicit ConversionJob(size_t windowSize = InputWindow::kDefaultSize)
        : m_windowSize(windowSize) {}

    ConversionOutcome RunConversion(const ConversionRequest& request);

  private:
    struct Failure {
        JobMessage message;
        std::string reason;
    };

    // The file a save replaces, links followed, and whether something holds its name.
    struct OutputPlace {
        std::string path;
        TempOutput::OutputThere there = TempOutput::OutputThere::Maybe;
    };

    // Decides the file the save replaces; throws Failure when it may not be.
    OutputPlace CheckOutput(const ConversionRequest& request) const;
    // Returns the input's length.
    uint64_t OpenInput(const std::string& path);
    void CreateOutput(const OutputPlace& place);
    // The read-only first pass of a request with a peak level: the loudest Note On of the
    // mapped channels, as read.
    unsigned FindLoudestNoteOn(const ConversionRequest& request);
    void Convert(const ConversionRequest& request, PassOutput* output, ConversionOutcome& outcome);
    void FinishOutput(const ConversionRequest& request, ConversionOutcome& outcome);
    // Closes the input and output and drops the temporary, leaving nothing behind.
    void DiscardFiles();

    const size_t m_windowSize;
    MidiEngine m_engine;
    BufferedFile m_inFile;
    BufferedFile m_outFile;
    FileOutput m_fileOutput{m_outFile};
    TempOutput m_tempOutput;
};

} // namespace korvane
