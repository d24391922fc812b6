#pragma once

#include "job/JobHost.h"

#include <string>
#include <vector>

namespace korvane {

// Records every call the job makes, in order, as text.
class RecordingPlayer : public PlayerControl {
  public:
    explicit RecordingPlayer(std::vector<std::string>& log) : m_log(log) {}
    void SetFileName(const std::string& path) override {
        m_log.push_back("SetFileName(" + path + ")");
    }
    void StopAndRewind() override { m_log.push_back("StopAndRewind"); }
    void SetAutoStart(bool value) override {
        m_log.push_back(value ? "SetAutoStart(1)" : "SetAutoStart(0)");
    }
    void SetRepeat(bool value) override {
        m_log.push_back(value ? "SetRepeat(1)" : "SetRepeat(0)");
    }
    void HoldBytes(MidiBytes bytes, const std::string& name, bool preview,
                   double positionScale) override {
        m_log.push_back("HoldBytes(" + std::to_string(bytes ? bytes->size() : 0) + ", " + name +
                        (preview ? ", preview, " : ", original, ") + std::to_string(positionScale) +
                        ")");
        held = std::move(bytes);
    }
    void ShowTooLarge() override { m_log.push_back("ShowTooLarge"); }
    bool CanPlay() const override { return canPlay; }

    MidiBytes held;
    bool canPlay = true;

  private:
    std::vector<std::string>& m_log;
};

class RecordingHost : public JobHost {
  public:
    bool TakeWindowValues() override {
        log.push_back("TakeWindowValues");
        return acceptValues;
    }
    void ShowValues() override { log.push_back("ShowValues"); }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        log.push_back(std::string(icon == MessageIcon::Stop ? "Stop: " : "Info: ") + text);
    }
    void EnableAdjustmentControls() override { log.push_back("Enable"); }
    PlayerControl& Player() override { return player; }
    void Redraw() override { log.push_back("Redraw"); }
    bool WantsLevels() const override { return wantsLevels; }

    std::vector<std::string> log;
    bool acceptValues = true;
    bool wantsLevels = true;
    RecordingPlayer player{log};
};

} // namespace korvane
