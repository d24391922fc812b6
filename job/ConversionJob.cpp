#include "job/ConversionJob.h"

#include "job/ChunkPass.h"
#include "job/OutputPath.h"
#include "platform/FileSystem.h"

#include <optional>

namespace korvane {

ConversionJob::ConversionJob(JobHost& host, size_t windowSize)
    : m_preview(host), m_host(host), m_windowSize(windowSize) {}

void ConversionJob::ApplyTexts(const LanguageTexts* texts) {
    if (texts == nullptr) {
        return;
    }
    m_textWelcome = texts->textWelcome;
    m_textLoaded = texts->textLoaded;
    m_textSaved = texts->textSaved;
    m_msgOutputNotCreated = texts->msgOutputNotCreated;
    m_msgInputNotOpened = texts->msgInputNotOpened;
    m_msgPleaseLoad = texts->msgPleaseLoad;
    m_msgOutputIsInput = texts->msgOutputIsInput;
    m_msgOutputNotWritten = texts->msgOutputNotWritten;
    m_msgNotMidi = texts->msgNotMidi;
}

bool ConversionJob::RunConversion(bool save) {
    bool completed = false;
    const bool taken = m_host.TakeWindowValues();
    if (taken) {
        m_preview.Suspend();
        ReleasePlayer();
        if (!save) {
            m_outputPath = DeriveOutputPath(m_inputPath);
        }
        m_engine.m_levels.clear();
        m_engine.KeepLevels(m_host.WantsLevels());
        m_engine.BeginPass(m_adjustments, save ? &m_fileOutput : nullptr);
        // The output is checked first but made only once the input is known to be usable, so a
        // refused input never leaves a temporary behind.
        if ((!save || CheckOutput()) && OpenInput() && (!save || CreateOutput())) {
            completed = Convert(save);
        }
    }
    DiscardFiles();
    m_engine.EndPass();
    if (taken) {
        TellPreview(save, completed);
    }
    m_host.Redraw();
    return completed;
}

void ConversionJob::TellPreview(bool save, bool completed) {
    if (save && completed) {
        m_preview.Saved(m_adjustments.m_speedPercent);
    } else if (save) {
        m_preview.SaveFailed();
    } else if (completed) {
        m_preview.Loaded(m_inputPath, m_adjustments);
    } else {
        m_preview.LoadFailed();
    }
}

void ConversionJob::DiscardFiles() {
    m_inFile.Abort();
    m_outFile.Abort();
    m_tempOutput = TempOutput();
}

bool ConversionJob::Convert(bool save) {
    Outcome outcome = ChunkLoop();
    m_inFile.Abort();
    if (outcome == Outcome::Completed && save && !FinishOutput()) {
        outcome = Outcome::OutputFailed;
    }
    // A failed save's temporary is gone before its message shows.
    DiscardFiles();
    if (outcome == Outcome::InputFailed || outcome == Outcome::NotMidi) {
        m_host.ShowMessage(outcome == Outcome::NotMidi ? m_msgNotMidi : m_msgInputNotOpened,
                           MessageIcon::Stop);
        return false;
    }
    if (outcome == Outcome::OutputFailed) {
        m_host.ShowMessage(m_msgOutputNotWritten, MessageIcon::Stop);
        return false;
    }
    Complete(save);
    return true;
}

void ConversionJob::ReleasePlayer() {
    PlayerControl& player = m_host.Player();
    player.SetFileName("");
    player.StopAndRewind();
    player.SetAutoStart(false);
    player.SetRepeat(false);
}

bool ConversionJob::CheckOutput() {
    if (!m_outputPath.empty() && SameFile(m_outputPath, m_inputPath)) {
        m_host.ShowMessage(m_msgOutputIsInput, MessageIcon::Stop);
        return false;
    }
    const std::optional<std::string> target = OutputTarget(m_outputPath);
    if (!target) {
        m_host.ShowMessage(m_msgOutputNotCreated, MessageIcon::Stop);
        return false;
    }
    m_finalOutputPath = *target;
    return true;
}

bool ConversionJob::CreateOutput() {
    m_tempOutput = TempOutput::Create(m_finalOutputPath);
    const int fd = m_tempOutput.IsValid() ? m_tempOutput.OpenWriter() : -1;
    if (fd < 0) {
        m_tempOutput = TempOutput();
        m_host.ShowMessage(m_msgOutputNotCreated, MessageIcon::Stop);
        return false;
    }
    m_outFile.Attach(fd, m_finalOutputPath);
    return true;
}

bool ConversionJob::OpenInput() {
    if (m_inFile.Open(m_inputPath, BufferedFile::modeRead)) {
        return true;
    }
    m_host.ShowMessage(m_msgInputNotOpened, MessageIcon::Stop);
    return false;
}

ConversionJob::Outcome ConversionJob::ChunkLoop() {
    try {
        RunChunkPass(m_inFile, m_windowSize, m_engine,
                     m_engine.IsSavePass() ? &m_fileOutput : nullptr);
        return Outcome::Completed;
    } catch (const NotMidiError&) {
        return Outcome::NotMidi;
    } catch (const ChunkReadError&) {
        return Outcome::InputFailed;
    } catch (const BufferedFileException&) {
        return Outcome::OutputFailed;
    }
}

bool ConversionJob::FinishOutput() {
    try {
        m_outFile.Close();
    } catch (const BufferedFileException&) {
        return false;
    }
    if (m_deferCommit) {
        m_finishedOutput = std::move(m_tempOutput);
        return true;
    }
    return m_tempOutput.Commit();
}

void ConversionJob::Complete(bool save) {
    if (save) {
        m_host.Player().SetFileName(m_outputPath);
        m_host.Player().StopAndRewind();
    }
    m_instructionText = save ? m_textSaved : m_textLoaded;
    m_host.ShowValues();
    m_loaded = true;
    m_host.EnableAdjustmentControls();
}

} // namespace korvane
