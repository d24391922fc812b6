#include "job/OutputPath.h"
#include "platform/gui/MessageBox.h"
#include "ui/MainDialog.h"
#include "ui/PlayerStrip.h"

namespace korvane {

bool MainDialog::RunLoad(bool showFailure) {
    const Adjustments adjustments = DefaultAdjustments();
    ConversionOutcome outcome = m_job.RunConversion(
        {.inputPath = m_inputPath, .adjustments = adjustments, .keepLevels = true});
    if (!outcome.Completed()) {
        if (showFailure) {
            ShowFailure(outcome);
        }
        if (m_loaded) {
            // The file loaded before is still what the plot, the player and Save work on.
            m_inputPath = m_loadedPath;
            UpdateData(false);
        } else {
            m_preview->LoadFailed();
        }
        return false;
    }
    ReleasePlayer();
    LeaveCollection();
    m_loadedPath = m_inputPath;
    m_outputPath = DeriveOutputPath(m_inputPath);
    RestoreDefaults();
    m_loaded = true;
    SetAdjustmentControlsEnabled(true);
    ShowInstruction(Instruction::Loaded);
    m_preview->Loaded(m_inputPath, m_adjustments);
    TakeLevels(outcome);
    Redraw();
    return true;
}

bool MainDialog::RunSave() {
    ReleasePlayer();
    ConversionOutcome outcome = m_job.RunConversion({.inputPath = m_inputPath,
                                                     .outputPath = m_outputPath,
                                                     .adjustments = m_adjustments,
                                                     .output = OutputTo::File,
                                                     .keepLevels = true});
    if (!outcome.Completed()) {
        ShowFailure(outcome);
        // A failed save leaves the plot of the loaded file as it was.
        ShowSaved(std::nullopt, outcome.tickSpeed);
        return false;
    }
    TakeLevels(outcome);
    Redraw();
    ShowSaved(m_outputPath, outcome.tickSpeed);
    return true;
}

void MainDialog::ShowSaved(const std::optional<std::string>& output, int tickSpeed) {
    if (!output) {
        m_preview->SaveFailed();
        return;
    }
    m_player->SetFileName(*output);
    m_player->StopAndRewind();
    m_preview->Saved(*output, tickSpeed);
    if (m_collectionPaths.empty()) {
        ShowInstruction(Instruction::Saved);
    }
}

void MainDialog::TakeLevels(ConversionOutcome& outcome) {
    m_levels = std::move(outcome.levels);
    m_levelsMarked = m_adjustments.m_levelChannels != Adjustments::kAllChannels;
    m_noteOnMarks = std::move(outcome.noteOnMarks);
    m_loudestNoteOn = outcome.loudestNoteOn;
}

void MainDialog::ReleasePlayer() {
    m_preview->Suspend();
    m_player->SetFileName("");
    m_player->StopAndRewind();
    m_player->SetAutoStart(false);
    m_player->SetRepeat(false);
}

void MainDialog::ShowFailure(const ConversionOutcome& outcome) {
    ShowMessage(m_texts != nullptr ? MessageText(*m_texts, outcome.message) : "", MessageIcon::Stop,
                outcome.reason);
}

void MainDialog::ShowMessage(const std::string& text, MessageIcon icon,
                             const std::string& details) {
    // Before the window is shown (a batch run) a box over it would sit where the hidden window
    // is, in a corner; without a parent it is centred on the screen.
    ShowMessageBox(text, icon, isVisible() ? this : nullptr, details);
}

std::string MainDialog::Text(const char* LanguageTexts::*member) const {
    return m_texts != nullptr ? m_texts->*member : "";
}

void MainDialog::Redraw() {
    m_levelSummary = SummarizeLevels(m_levels, m_noteOnMarks);
    OnPaint();
}

} // namespace korvane
