#include "ui/CMediaPlayer2.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>

namespace korvane {
namespace {
constexpr int kEnglish = 1;
constexpr int kProgressIntervalMs = 100;

QPushButton* MakeButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}
} // namespace

CMediaPlayer2::CMediaPlayer2(QWidget* parent)
    : QWidget(parent), m_playButton(MakeButton(this, "playButton", QStyle::SP_MediaPlay)),
      m_pauseButton(MakeButton(this, "pauseButton", QStyle::SP_MediaPause)),
      m_stopButton(MakeButton(this, "stopButton", QStyle::SP_MediaStop)),
      m_positionSlider(new QSlider(Qt::Horizontal, this)), m_status(new QLabel(this)),
      m_texts(LanguageTextsFor(kEnglish)) {
    m_positionSlider->setObjectName("positionSlider");
    m_positionSlider->setRange(0, 0);
    m_status->setObjectName("playerStatus");

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_playButton);
    layout->addWidget(m_pauseButton);
    layout->addWidget(m_stopButton);
    // However long the file name, the slider keeps most of the width.
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_positionSlider, 2);
    layout->addWidget(m_status, 1);

    connect(m_playButton, &QPushButton::clicked, this, &CMediaPlayer2::OnPlay);
    connect(m_pauseButton, &QPushButton::clicked, this, &CMediaPlayer2::OnPause);
    connect(m_stopButton, &QPushButton::clicked, this, &CMediaPlayer2::OnStop);
    connect(m_positionSlider, &QSlider::actionTriggered, this, &CMediaPlayer2::OnSliderAction);
    m_progressTimer.setInterval(kProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &CMediaPlayer2::OnProgress);
    NameControls(*ControlTextsFor(kEnglish));
    UpdateStrip();
}

CMediaPlayer2::~CMediaPlayer2() {
    m_progressTimer.stop();
    m_filePlayer.reset();
    m_session.reset();
}

void CMediaPlayer2::SetFileName(const std::string& path) {
    ReleaseFile();
    // A new file is shown by its name; a missing sound is reported again when Play fails again.
    m_problem = Problem::None;
    m_fileName = path;
    UpdateStrip();
    if (m_autoStart && !m_fileName.empty()) {
        OnPlay();
    }
}

void CMediaPlayer2::Command2003() {
    Rewind();
}

void CMediaPlayer2::SetFlag1107(bool value) {
    m_autoStart = value;
}

void CMediaPlayer2::SetFlag24(bool value) {
    m_repeat = value;
    if (m_filePlayer) {
        m_filePlayer->SetLoop(value);
    }
}

void CMediaPlayer2::ApplyLanguage(int language) {
    if (const LanguageTexts* texts = LanguageTextsFor(language)) {
        m_texts = texts;
        NameControls(*ControlTextsFor(language));
        UpdateStrip();
    }
}

void CMediaPlayer2::NameControls(const ControlTexts& texts) {
    m_playButton->setAccessibleName(QString::fromUtf8(texts.play));
    m_pauseButton->setAccessibleName(QString::fromUtf8(texts.pause));
    m_stopButton->setAccessibleName(QString::fromUtf8(texts.stop));
    m_positionSlider->setAccessibleName(QString::fromUtf8(texts.playbackPosition));
}

void CMediaPlayer2::SetSoundFontPaths(std::vector<std::string> paths) {
    m_soundFontPaths = std::move(paths);
}

void CMediaPlayer2::SetAudioDrivers(std::vector<std::string> drivers) {
    m_audioDrivers = std::move(drivers);
}

void CMediaPlayer2::UseSession(std::unique_ptr<FluidSession> session) {
    ReleaseFile();
    m_session = std::move(session);
    m_soundReady = m_session != nullptr;
    m_problem = Problem::None;
    UpdateStrip();
}

void CMediaPlayer2::OnPlay() {
    if (m_fileName.empty() || m_state == State::Playing || !EnsureSound()) {
        UpdateStrip();
        return;
    }
    if (!m_filePlayer) {
        m_filePlayer = std::make_unique<FluidFilePlayer>(*m_session, m_fileName);
        m_filePlayer->SetLoop(m_repeat);
    }
    m_filePlayer->Play();
    SetState(State::Playing);
}

void CMediaPlayer2::OnPause() {
    if (m_state != State::Playing) {
        return;
    }
    m_filePlayer->Pause();
    SetState(State::Paused);
}

void CMediaPlayer2::OnStop() {
    Rewind();
}

void CMediaPlayer2::OnSliderAction() {
    if (m_filePlayer) {
        m_filePlayer->Seek(m_positionSlider->sliderPosition());
    }
}

void CMediaPlayer2::OnProgress() {
    if (!m_filePlayer) {
        return;
    }
    if (m_state == State::Playing && !m_filePlayer->IsPlaying()) {
        Rewind(); // the end of the file
        return;
    }
    m_positionSlider->setMaximum(m_filePlayer->TotalTicks());
    if (!m_positionSlider->isSliderDown()) {
        m_positionSlider->setValue(m_filePlayer->CurrentTick());
    }
}

bool CMediaPlayer2::EnsureSound() {
    if (m_soundReady) {
        return true;
    }
    if (!m_session) {
        auto session = std::make_unique<FluidSession>();
        if (!session->LoadSoundFont(m_soundFontPaths)) {
            m_problem = Problem::NoSoundFont;
            return false;
        }
        m_session = std::move(session);
    }
    if (!m_session->StartAudio(m_audioDrivers)) {
        m_problem = Problem::NoAudioDevice;
        return false;
    }
    m_soundReady = true;
    m_problem = Problem::None;
    return true;
}

void CMediaPlayer2::ReleaseFile() {
    m_filePlayer.reset();
    m_fileName.clear();
    m_positionSlider->setRange(0, 0);
    SetState(State::Stopped);
}

void CMediaPlayer2::Rewind() {
    if (m_filePlayer) {
        m_filePlayer->Stop();
    }
    m_positionSlider->setValue(0);
    SetState(State::Stopped);
}

void CMediaPlayer2::SetState(State state) {
    m_state = state;
    if (m_state == State::Playing) {
        m_progressTimer.start();
    } else {
        m_progressTimer.stop();
    }
    UpdateStrip();
}

void CMediaPlayer2::UpdateStrip() {
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
    } else if (holding) {
        status = QFileInfo(QString::fromStdString(m_fileName)).fileName();
    }
    m_status->setText(status);
    m_status->setToolTip(QString::fromStdString(m_fileName));
}

} // namespace korvane
