#pragma once

#include <csignal>

namespace korvane {

// While a run over many files lasts, SIGINT, SIGTERM and SIGHUP (the terminal closed) ask it to
// stop instead of ending the process: no new file starts, and the run ends as its own exit
// status says. A second signal ends the process at once, as it would have without the run,
// except while outputs are being named: then it waits until each named output has its report
// line. A SIGHUP ignored at start (nohup) stays ignored.
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
    struct sigaction m_previousHup {};
    bool m_hangUpCaught = false;
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
