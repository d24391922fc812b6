#include "ui/PlayerStrip.h"

#include "ui/ElidedLabel.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSlider>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace korvane {
namespace {
constexpr int kEnglish = 1;
constexpr int kProgressIntervalMs = 100;

QPushButton* MakeButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    // As tall as a line of the font, as the captions beside it grow with it.
    const int side = QFontMetrics(parent->font()).height();
    button->setIconSize(QSize(side, side));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}
} // namespace

PlayerStrip::PlayerStrip(QWidget* parent)
    : QWidget(parent), m_playButton(MakeButton(this, "playButton", QStyle::SP_MediaPlay)),
      m_pauseButton(MakeButton(this, "pauseButton", QStyle::SP_MediaPause)),
      m_stopButton(MakeButton(this, "stopButton", QStyle::SP_MediaStop)),
      m_positionSlider(new QSlider(Qt::Horizontal, this)), m_status(new ElidedLabel(this)),
      m_texts(LanguageTextsFor(kEnglish)) {
    m_positionSlider->setObjectName("positionSlider");
    m_positionSlider->setRange(0, 0);
    m_status->setObjectName("playerStatus");

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_playButton);
    layout->addWidget(m_pauseButton);
    layout->addWidget(m_stopButton);
    // However long the file name, the slider keeps its share of the width.
    layout->addWidget(m_positionSlider, 1);
    layout->addWidget(m_status, 1);

    connect(m_playButton, &QPushButton::clicked, this, &PlayerStrip::OnPlay);
    connect(m_pauseButton, &QPushButton::clicked, this, &PlayerStrip::OnPause);
    connect(m_stopButton, &QPushButton::clicked, this, &PlayerStrip::OnStop);
    connect(m_positionSlider, &QSlider::actionTriggered, this, &PlayerStrip::OnSliderAction);
    m_progressTimer.setInterval(kProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &PlayerStrip::OnProgress);
    NameControls(*ControlTextsFor(kEnglish));
    UpdateStrip();
}

PlayerStrip::~PlayerStrip() {
    m_progressTimer.stop();
    m_filePlayer.reset();
    m_session.reset();
}

void PlayerStrip::SetFileName(const std::string& path) {
    ReleaseFile();
    // A new file is shown by its name; a missing sound is reported again when Play fails again.
    m_problem = Problem::None;
    m_fileName = path;
    UpdateStrip();
    if (m_autoStart && !m_fileName.empty()) {
        OnPlay();
    }
}

void PlayerStrip::HoldBytes(MidiBytes bytes, const std::string& name, bool preview,
                            double positionScale) {
    const State state = m_state;
    const int tick = m_filePlayer ? m_filePlayer->CurrentTick() : 0;
    const int total = m_positionSlider->maximum();
    ReleaseFile();
    m_fileName = name;
    m_inMemory = true;
    m_bytes = std::move(bytes);
    m_preview = preview;
    Resume(state, static_cast<int>(std::lround(tick * positionScale)),
           static_cast<int>(std::lround(total * positionScale)));
    if (m_autoStart && m_state == State::Stopped) {
        OnPlay();
    }
    emit BytesHeld();
}

void PlayerStrip::Resume(State state, int tick, int totalTicks) {
    if (state == State::Stopped || !m_soundReady) {
        UpdateStrip();
        return;
    }
    if (m_bytes) {
        m_filePlayer = MakeFilePlayer();
        m_filePlayer->Seek(tick);
        // Until FluidSynth has read the file, the old length stands in for the new one.
        m_positionSlider->setRange(0, std::max(tick, totalTicks));
        m_positionSlider->setValue(tick);
        if (state == State::Playing) {
            m_filePlayer->Play();
        }
    }
    SetState(state);
}

void PlayerStrip::ShowTooLarge() {
    ReleaseFile();
    m_tooLarge = true;
    UpdateStrip();
}

void PlayerStrip::StopAndRewind() {
    Rewind();
}

void PlayerStrip::SetAutoStart(bool value) {
    m_autoStart = value;
}

void PlayerStrip::SetRepeat(bool value) {
    m_repeat = value;
    if (m_filePlayer) {
        m_filePlayer->SetLoop(value);
    }
}

void PlayerStrip::ApplyLanguage(int language) {
    if (const LanguageTexts* texts = LanguageTextsFor(language)) {
        m_texts = texts;
        NameControls(*ControlTextsFor(language));
        UpdateStrip();
    }
}

void PlayerStrip::NameControls(const ControlTexts& texts) {
    m_playButton->setAccessibleName(QString::fromUtf8(texts.play));
    m_pauseButton->setAccessibleName(QString::fromUtf8(texts.pause));
    m_stopButton->setAccessibleName(QString::fromUtf8(texts.stop));
    m_positionSlider->setAccessibleName(QString::fromUtf8(texts.playbackPosition));
}

void PlayerStrip::SetSoundFontPaths(std::vector<std::string> paths) {
    m_soundFontPaths = std::move(paths);
}

void PlayerStrip::SetAudioDrivers(std::vector<std::string> drivers) {
    m_audioDrivers = std::move(drivers);
}

void PlayerStrip::UseSession(std::unique_ptr<FluidSession> session) {
    ReleaseFile();
    m_session = std::move(session);
    m_soundReady = m_session != nullptr;
    m_problem = Problem::None;
    UpdateStrip();
}

void PlayerStrip::OnPlay() {
    if (m_fileName.empty() || m_state == State::Playing || !EnsureSound()) {
        UpdateStrip();
        return;
    }
    if (m_inMemory && !m_bytes) {
        // Playing as soon as the bytes come.
        SetState(State::Playing);
        emit BytesWanted();
        return;
    }
    if (!m_filePlayer) {
        m_filePlayer = MakeFilePlayer();
    }
    m_filePlayer->Play();
    SetState(State::Playing);
}

std::unique_ptr<FluidFilePlayer> PlayerStrip::MakeFilePlayer() const {
    auto player = m_bytes ? std::make_unique<FluidFilePlayer>(*m_session, *m_bytes)
                          : std::make_unique<FluidFilePlayer>(*m_session, m_fileName);
    player->SetLoop(m_repeat);
    return player;
}

void PlayerStrip::OnPause() {
    if (m_state != State::Playing) {
        return;
    }
    if (m_filePlayer) {
        m_filePlayer->Pause();
    }
    SetState(State::Paused);
}

void PlayerStrip::OnStop() {
    Rewind();
}

void PlayerStrip::OnSliderAction() {
    if (m_filePlayer) {
        m_filePlayer->Seek(m_positionSlider->sliderPosition());
    }
}

void PlayerStrip::OnProgress() {
    const std::optional<FluidFilePlayer::Progress> progress =
        m_filePlayer ? m_filePlayer->TryProgress() : std::nullopt;
    if (!progress) {
        return; // nothing playing yet, or the synth is busy: the next tick will tell
    }
    if (m_state == State::Playing && !progress->playing) {
        Rewind(); // the end of the file
        return;
    }
    if (progress->totalTicks == 0) {
        return; // not read yet: the slider keeps the position it was given
    }
    m_positionSlider->setMaximum(progress->totalTicks);
    if (!m_positionSlider->isSliderDown()) {
        m_positionSlider->setValue(progress->tick);
    }
}

bool PlayerStrip::EnsureSound() {
    if (m_soundReady) {
        return true;
    }
    if (!m_session) {
        auto session = std::make_unique<FluidSession>();
        if (!session->LoadSoundFont(m_soundFontPaths)) {
            m_problem = Problem::NoSoundFont;
            m_soundFailed = true;
            return false;
        }
        m_session = std::move(session);
    }
    if (!m_session->StartAudio(m_audioDrivers)) {
        m_problem = Problem::NoAudioDevice;
        m_soundFailed = true;
        return false;
    }
    m_soundReady = true;
    m_problem = Problem::None;
    return true;
}

void PlayerStrip::ReleaseFile() {
    m_filePlayer.reset();
    m_fileName.clear();
    m_inMemory = false;
    m_bytes.reset();
    m_preview = false;
    m_tooLarge = false;
    m_positionSlider->setRange(0, 0);
    SetState(State::Stopped);
}

void PlayerStrip::Rewind() {
    if (m_filePlayer) {
        m_filePlayer->Stop();
    }
    m_positionSlider->setValue(0);
    SetState(State::Stopped);
}

void PlayerStrip::SetState(State state) {
    m_state = state;
    if (m_state == State::Playing) {
        m_progressTimer.start();
    } else {
        m_progressTimer.stop();
    }
    UpdateStrip();
}

void PlayerStrip::UpdateStrip() {
    const bool holding = !m_fileName.empty();
    m_playButton->setEnabled(holding && m_state != State::Playing);
    m_pauseButton->setEnabled(m_state == State::Playing);
    m_stopButton->setEnabled(m_state != State::Stopped);
    m_positionSlider->setEnabled(holding);

    QString status;
    if (m_problem == Problem::NoSoundFont) {
        status = QString::fromUtf8(m_texts->noSoundFont);
    } else if (m_problem == Problem::NoAudioDevice) {
        status = QString::fromUtf8(m_texts->noAudioDevice);
    } else if (m_tooLarge) {
        status = QString::fromUtf8(m_texts->tooLargeToPreview);
    } else if (holding) {
        const QString name = QFileInfo(QString::fromStdString(m_fileName)).fileName();
        status = m_preview ? QString::fromUtf8(m_texts->preview) + " " + name : name;
    }
    m_status->SetFullText(status);
}

} // namespace korvane
