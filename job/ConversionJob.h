#pragma once

#include "job/FileOutput.h"
#include "job/InputWindow.h"
#include "job/JobHost.h"
#include "job/LanguageTable.h"
#include "job/Preview.h"
#include "midi/MidiEngine.h"
#include "platform/BufferedFile.h"
#include "platform/TempOutput.h"

#include <string>
#include <utility>

namespace korvane {

// One load or save pass over a MIDI file, chunk by chunk, read through a window of windowSize
// bytes. A save pass writes a temporary file beside the output and renames it over the output
// only when the pass has completed, so a failure never costs the user an earlier output.
class ConversionJob {
  public:
    explicit ConversionJob(JobHost& host, size_t windowSize = InputWindow::kDefaultSize);

    // Runs a load pass (false) or a save pass (true); returns true when the pass completed.
    // The job reports its own failures through the host.
    bool RunConversion(bool save);

    // Sets the message and instruction texts; null (a language index out of range) keeps them.
    void ApplyTexts(const LanguageTexts* texts);

    // Converts the preview again with the adjustments now in m_adjustments.
    void RefreshPreview() { m_preview.Refresh(m_adjustments); }

    // Members the window exchanges with its controls.
    std::string m_inputPath;
    std::string m_outputPath;
    std::string m_instructionText;
    bool m_loaded = false;
    Adjustments m_adjustments;
    MidiEngine m_engine;
    // What the player plays before a save: made after each load, passes stop it.
    Preview m_preview;

    // Texts of the current language (empty until a language is applied).
    std::string m_textWelcome;
    std::string m_textLoaded;
    std::string m_textSaved;
    std::string m_msgOutputNotCreated;
    std::string m_msgInputNotOpened;
    std::string m_msgPleaseLoad;
    std::string m_msgOutputIsInput;
    std::string m_msgOutputNotWritten;
    std::string m_msgNotMidi;

    // A save pass leaves its finished output, written but not yet synced or named, to be taken
    // with TakeFinishedOutput: a run over many files makes its outputs durable in groups.
    bool m_deferCommit = false;
    TempOutput TakeFinishedOutput() { return std::move(m_finishedOutput); }

  private:
    enum class Outcome { Completed, InputFailed, OutputFailed, NotMidi };

    void ReleasePlayer();
    // Decides the file the save replaces; reports and returns false when it may not.
    bool CheckOutput();
    // Makes the temporary output; reports and returns false on failure.
    bool CreateOutput();
    bool OpenInput();
    // Closes the input and output and drops the temporary, leaving nothing behind.
    void DiscardFiles();
    // Runs the chunk loop on the open files, finishes a save and reports its outcome.
    bool Convert(bool save);
    Outcome ChunkLoop();
    bool FinishOutput();
    void Complete(bool save);
    void TellPreview(bool save, bool completed);

    JobHost& m_host;
    const size_t m_windowSize;
    BufferedFile m_inFile;
    BufferedFile m_outFile;
    FileOutput m_fileOutput{m_outFile};
    TempOutput m_tempOutput;
    TempOutput m_finishedOutput;
    std::string m_finalOutputPath;
};

} // namespace korvane
