#include "job/OutputPath.h"
#include "platform/gui/MessageBox.h"
#include "ui/MainDialog.h"
#include "ui/PlayerStrip.h"

namespace korvane {

bool MainDialog::RunConversion(bool save, bool showFailure) {
    ReleasePlayer();
    if (!save) {
        m_outputPath = DeriveOutputPath(m_inputPath);
    }
    ConversionOutcome outcome =
        m_job.RunConversion({.inputPath = m_inputPath,
                             .outputPath = m_outputPath,
                             .adjustments = m_adjustments,
                             .output = save ? OutputTo::File : OutputTo::Nothing,
                             .keepLevels = true});
    if (outcome.Completed() || showFailure) {
        ShowOutcome(save, outcome);
    }
    TellPreview(save, outcome.Completed(), outcome.tickSpeed);
    // A failed save leaves the plot of the loaded file as it was.
    if (outcome.Completed() || !save) {
        TakeLevels(outcome);
    }
    Redraw();
    return outcome.Completed();
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

void MainDialog::ShowOutcome(bool save, const ConversionOutcome& outcome) {
    if (!outcome.Completed()) {
        ShowMessage(m_texts != nullptr ? MessageText(*m_texts, outcome.message) : "",
                    MessageIcon::Stop, outcome.reason);
        return;
    }
    if (save) {
        m_player->SetFileName(m_outputPath);
        m_player->StopAndRewind();
    }
    m_instructionText = Text(save ? &LanguageTexts::textSaved : &LanguageTexts::textLoaded);
    UpdateData(false);
    m_loaded = true;
    SetAdjustmentControlsEnabled(true);
}

void MainDialog::TellPreview(bool save, bool completed, int tickSpeed) {
    if (save && completed) {
        m_preview->Saved(m_outputPath, tickSpeed);
    } else if (save) {
        m_preview->SaveFailed();
    } else if (completed) {
        m_preview->Loaded(m_inputPath, m_adjustments);
    } else {
        m_preview->LoadFailed();
    }
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
