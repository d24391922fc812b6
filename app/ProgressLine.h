#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>

namespace korvane {

// One line on a terminal telling how far a run has come: files done of all, MB/s and the time
// left. Redrawn at most ten times a second; erased before other text is printed and at the end.
class ProgressLine {
  public:
    ProgressLine(std::ostream& out, bool shown) : m_out(out), m_shown(shown) {}

    void Update(uint64_t done, uint64_t total, uint64_t bytes, double seconds);
    void Erase();

  private:
    std::ostream& m_out;
    const bool m_shown;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDrawn;
};

} // namespace korvane
