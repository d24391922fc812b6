#pragma once

#include "job/JobHost.h"

#include <optional>
#include <string>
#include <utility>

namespace korvane {

// Runs the conversion job without a window: the values are set by the command line, not taken
// from controls, and the job's message (a pass shows one at most) is kept for the run to print
// and report in its place.
class ConsoleHost : public JobHost {
  public:
    bool TakeWindowValues() override { return true; }
    void ShowValues() override {}
    void ShowMessage(const std::string& text, MessageIcon) override { m_message = text; }
    void EnableAdjustmentControls() override {}
    PlayerControl& Player() override { return m_player; }
    void Redraw() override {}
    // A command-line conversion draws no plot.
    bool WantsLevels() const override { return false; }

    // The message shown since the last call, if any.
    std::optional<std::string> TakeMessage() { return std::exchange(m_message, std::nullopt); }

  private:
    std::optional<std::string> m_message;
    NullPlayer m_player;
};

} // namespace korvane
