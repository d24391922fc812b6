#pragma once

#include "job/LanguageTable.h"
#include "job/PlayerControl.h"
#include "ui/FluidFilePlayer.h"
#include "ui/FluidSession.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QPushButton;
class QSlider;

namespace korvane {

class ElidedLabel;

// Control 1010: the preview strip (Play, Pause, Stop, position, status) over FluidSynth. It holds
// at most one MIDI file, on disk or given in memory. Sound (synth, SoundFont, audio driver) is
// set up on the first Play, so a machine without sound starts as fast as any other; once made it
// stays until the strip goes. Changing files swaps FluidSynth's file player, never the synth, so
// the SoundFont is not loaded again.
class PlayerStrip : public QWidget, public PlayerControl {
    Q_OBJECT
  public:
    explicit PlayerStrip(QWidget* parent = nullptr);
    // Stops playback and the audio thread before anything it uses goes.
    ~PlayerStrip() override;

    // The empty name stops playback and releases the file, so that it can be rewritten; a path
    // is held ready, not playing (unless auto-start is on).
    void SetFileName(const std::string& path);
    // Stop and rewind: playback stops and the position goes back to the start.
    void StopAndRewind();
    // Auto-start: when on, a file given by SetFileName starts playing at once.
    void SetAutoStart(bool value);
    // Repeat: when on, playback starts over at the end of the file instead of stopping.
    void SetRepeat(bool value);
    void HoldBytes(MidiBytes bytes, const std::string& name, bool preview,
                   double positionScale) override;
    void ShowTooLarge() override;
    bool CanPlay() const override { return m_soundReady || !m_soundFailed; }

    // The file held, or the name of the one held in memory.
    const std::string& FileName() const { return m_fileName; }
    // The bytes held in memory; null for a file on disk.
    const MidiBytes& HeldBytes() const { return m_bytes; }
    void ApplyLanguage(int language);

    // Where to look for a SoundFont and which audio drivers to try, in order; used by the next
    // set-up of the sound.
    void SetSoundFontPaths(std::vector<std::string> paths);
    void SetAudioDrivers(std::vector<std::string> drivers);
    // Plays through session from now on instead of setting up sound of its own; whoever made the
    // session renders it (tests render it into memory).
    void UseSession(std::unique_ptr<FluidSession> session);

    bool IsPlaying() const { return m_state == State::Playing; }

  signals:
    // Play was pressed with sound ready while the file held in memory has no bytes yet.
    void BytesWanted();
    // The strip now holds a file given in memory (a preview or the original), not one on disk.
    void BytesHeld();

  private:
    enum class State { Stopped, Playing, Paused };
    enum class Problem { None, NoSoundFont, NoAudioDevice };

    void OnPlay();
    void OnPause();
    void OnStop();
    void OnSliderAction();
    void OnProgress();

    // Makes the synth, SoundFont and audio driver unless they exist; reports what is missing.
    bool EnsureSound();
    // Names the buttons and the position slider for screen readers.
    void NameControls(const ControlTexts& texts);
    std::unique_ptr<FluidFilePlayer> MakeFilePlayer() const;
    // Carries playback over to the bytes now held: from tick of about totalTicks, playing or
    // paused as before.
    void Resume(State state, int tick, int totalTicks);
    void ReleaseFile();
    void Rewind();
    void SetState(State state);
    void UpdateStrip();

    QPushButton* m_playButton;
    QPushButton* m_pauseButton;
    QPushButton* m_stopButton;
    QSlider* m_positionSlider;
    ElidedLabel* m_status;
    QTimer m_progressTimer;

    std::vector<std::string> m_soundFontPaths = FluidSession::DefaultSoundFonts();
    std::vector<std::string> m_audioDrivers = FluidSession::DefaultDrivers();
    const LanguageTexts* m_texts;
    std::string m_fileName;
    bool m_inMemory = false; // m_fileName names the bytes held, which may still be coming
    MidiBytes m_bytes;
    bool m_preview = false;
    bool m_tooLarge = false;
    State m_state = State::Stopped;
    Problem m_problem = Problem::None;
    bool m_autoStart = false;
    bool m_repeat = false;

    // Declared in this order so that the file player goes before the session it drives.
    std::unique_ptr<FluidSession> m_session;
    bool m_soundReady = false;
    // A Play found no SoundFont or no audio device: kept after the strip stops saying so.
    bool m_soundFailed = false;
    std::unique_ptr<FluidFilePlayer> m_filePlayer;
};

} // namespace korvane
