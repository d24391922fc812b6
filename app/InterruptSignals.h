#pragma once

#include <atomic>
#include <csignal>

namespace korvane {

// While a run over many files lasts, SIGINT, SIGTERM and SIGHUP (the terminal closed) ask it to
// stop instead of ending the process: no new file starts, and the run ends as its own exit
// status says. A second signal ends the process at once, as it would have without the run,
// except while outputs are being named: then it waits until each named output has its report
// line. A signal ignored at start (nohup, a script's background job) stays ignored.
class InterruptSignals {
  public:
    InterruptSignals();
    ~InterruptSignals();
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

    // The signal received first; 0 while none has come.
    static int Received();
    // Set with the first signal: a conversion under way stops at its next block, abandoned.
    static const std::atomic<bool>& StopAsked();

  private:
    // SIGINT, SIGTERM, SIGHUP: the action each had, and whether the run catches it.
    struct sigaction m_previous[3]{};
    bool m_caught[3]{};
};

// While one lives, a second signal does not end the process; it ends it when the last one
// goes. Outputs are named and reported under it, so no output has its name without its line.
class SecondSignalHeld {
  public:
    SecondSignalHeld();
    ~SecondSignalHeld();
    SecondSignalHeld(const SecondSignalHeld&) = delete;
    SecondSignalHeld& operator=(const SecondSignalHeld&) = delete;
};

} // namespace korvane
