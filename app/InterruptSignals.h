#pragma once

#include <csignal>

namespace korvane {

// While a run over many files lasts, SIGINT and SIGTERM ask it to stop instead of ending the
// process: no new file starts, and the run ends as its own exit status says. A second signal
// ends the process at once, as it would have without the run.
class InterruptSignals {
  public:
    InterruptSignals();
    ~InterruptSignals();
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

    // The signal received first; 0 while none has come.
    static int Received();

  private:
    struct sigaction m_previousInt {};
    struct sigaction m_previousTerm {};
};

} // namespace korvane
