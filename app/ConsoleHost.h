#pragma once

#include "job/JobHost.h"

#include <ostream>
#include <string>

namespace korvane {

// Runs the conversion job without a window: every message goes to the error stream as
// "korvane: INPUT: message"; the values are set by the command line, not taken from controls.
class ConsoleHost : public JobHost {
  public:
    explicit ConsoleHost(std::ostream& errors) : m_errors(errors) {}

    void SetInputName(const std::string& input) { m_input = input; }

    bool TakeWindowValues() override { return true; }
    void ShowValues() override {}
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void EnableAdjustmentControls() override {}
    PlayerControl& Player() override { return m_player; }
    void Redraw() override {}
    // A command-line conversion draws no plot.
    bool WantsLevels() const override { return false; }

  private:
    std::ostream& m_errors;
    std::string m_input;
    NullPlayer m_player;
};

} // namespace korvane
