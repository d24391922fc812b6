// The context menu's adjustment items beside "Hear the original".
#include "job/LanguageTable.h"
#include "job/ProfileKeys.h"
#include "platform/Profile.h"
#include "ui/MainDialog.h"

#include <QAction>
#include <QMenu>
#include <QSlider>

namespace korvane {

namespace {
// The loudest note's level the item brings it to: full level.
constexpr int kFullLevel = Adjustments::kPeakHighest;
} // namespace

void MainDialog::CreateAdjustmentItems() {
    const LanguageTexts& english = *LanguageTextsFor(kDefaultLanguage);
    m_keepBarsAction = m_systemMenu->addAction(QString::fromUtf8(english.keepBars));
    m_keepBarsAction->setObjectName("keepBars");
    m_keepBarsAction->setCheckable(true);
    connect(m_keepBarsAction, &QAction::triggered, this, [this](bool on) { OnKeepBars(on); });
    m_leaveDrumsAction = m_systemMenu->addAction(QString::fromUtf8(english.leaveDrums));
    m_leaveDrumsAction->setObjectName("leaveDrums");
    m_leaveDrumsAction->setCheckable(true);
    connect(m_leaveDrumsAction, &QAction::triggered, this, [this](bool on) { OnLeaveDrums(on); });
    m_loudestAction = m_systemMenu->addAction(QString::fromUtf8(english.loudestToFull));
    m_loudestAction->setObjectName("loudestToFull");
    m_loudestAction->setCheckable(true);
    connect(m_loudestAction, &QAction::triggered, this, [this](bool on) { OnLoudestToFull(on); });
}

void MainDialog::ReadMenuSettings() {
    const bool keepBars = m_profile.GetProfileInt(kKeyKeepBars, 0) != 0;
    const bool leaveDrums = m_profile.GetProfileInt(kKeyLeaveDrums, 0) != 0;
    const bool loudestToFull = m_profile.GetProfileInt(kKeyLoudestToFull, 0) != 0;
    m_adjustments.m_keepBars = keepBars;
    m_adjustments.m_levelChannels =
        leaveDrums ? Adjustments::kAllButDrums : Adjustments::kAllChannels;
    m_adjustments.m_peakLevel = loudestToFull ? kFullLevel : 0;
    m_keepBarsAction->setChecked(keepBars);
    m_leaveDrumsAction->setChecked(leaveDrums);
    m_loudestAction->setChecked(loudestToFull);
}

void MainDialog::ApplyMenuTexts(const LanguageTexts& texts) {
    // The menu's entries are their own accessible names.
    m_keepBarsAction->setText(QString::fromUtf8(texts.keepBars));
    m_leaveDrumsAction->setText(QString::fromUtf8(texts.leaveDrums));
    m_loudestAction->setText(QString::fromUtf8(texts.loudestToFull));
}

void MainDialog::OnKeepBars(bool on) {
    m_adjustments.m_keepBars = on;
    m_profile.WriteProfileInt(kKeyKeepBars, on ? 1 : 0);
    // The levels do not change, so the plot stays; the preview follows.
    m_preview->Refresh(ShownAdjustments());
}

void MainDialog::OnLeaveDrums(bool on) {
    m_adjustments.m_levelChannels = on ? Adjustments::kAllButDrums : Adjustments::kAllChannels;
    m_profile.WriteProfileInt(kKeyLeaveDrums, on ? 1 : 0);
    if (m_loaded) {
        ReloadLevels(); // the plot draws the drums' levels unchanged, so it needs them marked
    }
    m_preview->Refresh(ShownAdjustments());
}

void MainDialog::ReloadLevels() {
    ConversionOutcome outcome = m_job.RunConversion(
        {.inputPath = m_inputPath, .adjustments = ShownAdjustments(), .keepLevels = true});
    if (!outcome.Completed()) {
        ShowMessage(m_texts != nullptr ? MessageText(*m_texts, outcome.message) : "",
                    MessageIcon::Stop, outcome.reason);
        return;
    }
    TakeLevels(outcome);
    Redraw();
}

void MainDialog::OnLoudestToFull(bool on) {
    m_adjustments.m_peakLevel = on ? kFullLevel : 0;
    m_profile.WriteProfileInt(kKeyLoudestToFull, on ? 1 : 0);
    if (m_loaded) {
        ReloadLevels(); // the plot draws the Note Ons with the gain, so it needs them marked
    }
    m_preview->Refresh(ShownAdjustments());
}

} // namespace korvane
